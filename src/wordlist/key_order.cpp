#include "wordlist/key_order.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "shell/collation.h"
#include "shell/progress_display.h"
#include "shell/setup_state.h"
#include "wordlist/prefetch.h"

int32_t comparisonCount = 0;

namespace {

// The keys of a list, each text once: a list of a million words holds far
// fewer distinct keys, and the collation is asked once per key.
struct DistinctKeys {
    struct Slot {
        uint32_t hash;
        uint32_t idPlusOne;  // 0: free
    };
    std::string texts;                  // every key with its terminator
    std::vector<uint32_t> textOffsets;  // by key id (order of first appearance)
    std::vector<Slot> slots;            // open addressing, a power of two long

    const char* Text(uint32_t id) const { return texts.data() + textOffsets[id]; }
    uint32_t Count() const { return static_cast<uint32_t>(textOffsets.size()); }
    // Room for `more` new keys without growing.
    void Reserve(uint32_t more)
    {
        while ((Count() + more) * 2 > slots.size())
            Grow();
    }
    const Slot* Home(uint32_t hash) const { return &slots[hash & (slots.size() - 1)]; }
    uint32_t Find(const char* key, size_t length, uint32_t hash);

private:
    void Grow();
};

// Keys are short: a plain loop beats a call into the runtime here.
bool SameText(const char* text, const char* key, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (text[i] != key[i])
            return false;
    return text[length] == '\0';
}

uint32_t DistinctKeys::Find(const char* key, size_t length, uint32_t hash)
{
    const size_t mask = slots.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        Slot& entry = slots[slot];
        if (entry.idPlusOne == 0) {
            uint32_t id = Count();
            entry = Slot{hash, id + 1};
            textOffsets.push_back(static_cast<uint32_t>(texts.size()));
            texts.append(key, length);
            texts.push_back('\0');
            return id;
        }
        uint32_t id = entry.idPlusOne - 1;
        if (entry.hash == hash && SameText(Text(id), key, length))
            return id;
    }
}

void DistinctKeys::Grow()
{
    std::vector<Slot> larger(std::max<size_t>(1024, slots.size() * 2), Slot{0, 0});
    const size_t mask = larger.size() - 1;
    for (const Slot& entry : slots) {
        if (entry.idPlusOne == 0)
            continue;
        size_t slot = entry.hash & mask;
        while (larger[slot].idPlusOne != 0)
            slot = (slot + 1) & mask;
        larger[slot] = entry;
    }
    slots.swap(larger);
}

// Length and FNV-1a hash of a key in one pass; a key field holds at most 30
// characters.
uint32_t HashKey(const char* key, size_t& length)
{
    uint32_t hash = 2166136261u;
    size_t i = 0;
    for (; i < static_cast<size_t>(kMaxKeyLength) && key[i] != '\0'; ++i)
        hash = (hash ^ static_cast<unsigned char>(key[i])) * 16777619u;
    length = i;
    return hash;
}

// A distinct key in the sort: its sort key lies in the sort key store, and
// its first 8 bytes, as a number, decide most comparisons without touching
// the store.
struct SortEntry {
    uint64_t prefix;
    uint32_t sortKeyOffset;
    uint32_t sortKeyLength;
    uint32_t id;
    bool hasSortKey;
};

struct SortKeys {
    std::string bytes;
    std::vector<SortEntry> entries;
};

uint64_t Prefix(const std::string& sortKey)
{
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < sortKey.size() ? static_cast<unsigned char>(sortKey[i]) : 0u);
    return prefix;
}

void CountComparison()
{
    if (comparisonCount % 1000 == 0)
        DrawCounter(comparisonCount);
    // Starts again at 0 rather than going negative after 2^31 comparisons.
    comparisonCount = comparisonCount == INT32_MAX ? 0 : comparisonCount + 1;
}

int CompareSortKeys(const SortKeys& store, const SortEntry& a, const SortEntry& b)
{
    if (a.prefix != b.prefix)
        return a.prefix < b.prefix ? -1 : 1;
    size_t common = std::min(a.sortKeyLength, b.sortKeyLength);
    int order = std::memcmp(store.bytes.data() + a.sortKeyOffset, store.bytes.data() + b.sortKeyOffset, common);
    if (order != 0)
        return order;
    return a.sortKeyLength < b.sortKeyLength ? -1 : (a.sortKeyLength > b.sortKeyLength ? 1 : 0);
}

// The key order of two distinct keys, for all the entries that hold them.
int CompareDistinctKeys(const DistinctKeys& keys, const SortKeys& store, const SortEntry& a,
                        const SortEntry& b)
{
    if (setup.verbose != 0)
        CountComparison();
    // 1. The collation, case ignored. A key the system cannot compare counts
    //    as greater.
    if (a.hasSortKey != b.hasSortKey)
        return a.hasSortKey ? -1 : 1;
    if (a.hasSortKey) {
        int order = CompareSortKeys(store, a, b);
        if (order != 0)
            return order;
    }
    // 2. Equal for the collation ("Chat", "chat"): the bytes, unsigned.
    // 3. Byte-equal keys are one distinct key; their records keep their
    //    positions when they are laid out (SortWordList).
    return std::strcmp(keys.Text(a.id), keys.Text(b.id));
}

// The key order of two entries of the list, straight from the collation;
// the sort that needs no memory of its own uses it.
int CompareWordRecords(const WordList& list, uint32_t a, uint32_t b)
{
    if (setup.verbose != 0)
        CountComparison();
    const char* keyA = list.RecordAt(a).key;
    const char* keyB = list.RecordAt(b).key;
    int order = CompareCollated(keyA, keyB);
    if (order == 0)
        order = std::strcmp(keyA, keyB);
    if (order == 0)
        order = a < b ? -1 : (a > b ? 1 : 0);
    return order;
}

// Ranks each distinct key once, then lays the entries out by rank. The list
// is only changed once everything it needs has been allocated.
void SortByRankedKeys(WordList& list)
{
    const uint32_t count = static_cast<uint32_t>(list.entries.size());

    // The distinct keys, and for every position in the file the key it holds.
    // The records are taken in batches: the slots of a whole batch are
    // asked for from memory before the first is looked at.
    DistinctKeys keys;
    std::vector<uint32_t> keyOfPosition(count);
    constexpr uint32_t kBatch = 16;
    uint32_t hashes[kBatch];
    size_t lengths[kBatch];
    for (uint32_t base = 0; base < count; base += kBatch) {
        const uint32_t batch = std::min(kBatch, count - base);
        keys.Reserve(batch);
        for (uint32_t k = 0; k < batch; ++k) {
            hashes[k] = HashKey(list.RecordAt(base + k).key, lengths[k]);
            Prefetch(keys.Home(hashes[k]));
        }
        for (uint32_t k = 0; k < batch; ++k) {
            const DistinctKeys::Slot* home = keys.Home(hashes[k]);
            if (home->idPlusOne != 0 && home->hash == hashes[k])
                Prefetch(keys.Text(home->idPlusOne - 1));
        }
        for (uint32_t k = 0; k < batch; ++k)
            keyOfPosition[base + k] = keys.Find(list.RecordAt(base + k).key, lengths[k], hashes[k]);
    }
    std::vector<DistinctKeys::Slot>().swap(keys.slots);

    // One sort key per distinct key.
    const uint32_t distinct = keys.Count();
    SortKeys store;
    store.entries.resize(distinct);
    std::string sortKey;
    for (uint32_t id = 0; id < distinct; ++id) {
        SortEntry& entry = store.entries[id];
        entry.id = id;
        entry.hasSortKey = CollationSortKey(keys.Text(id), sortKey);
        if (!entry.hasSortKey)
            sortKey.clear();
        entry.prefix = Prefix(sortKey);
        entry.sortKeyOffset = static_cast<uint32_t>(store.bytes.size());
        entry.sortKeyLength = static_cast<uint32_t>(sortKey.size());
        store.bytes += sortKey;
    }

    // The distinct keys in key order; no two are equal.
    std::sort(store.entries.begin(), store.entries.end(), [&](const SortEntry& a, const SortEntry& b) {
        return CompareDistinctKeys(keys, store, a, b) < 0;
    });
    std::vector<uint32_t> rank(distinct);
    for (uint32_t i = 0; i < distinct; ++i)
        rank[store.entries[i].id] = i;
    store = SortKeys{};

    // The records laid out by the rank of their key, and within one key in
    // file order: the first record of each rank goes to its rank's start.
    std::vector<uint32_t> start(static_cast<size_t>(distinct) + 1, 0);
    for (uint32_t position = 0; position < count; ++position) {
        keyOfPosition[position] = rank[keyOfPosition[position]];
        ++start[keyOfPosition[position] + 1];
    }
    for (uint32_t r = 0; r < distinct; ++r)
        start[r + 1] += start[r];
    // The order depends on the positions alone, so the entries are simply
    // written over.
    for (uint32_t position = 0; position < count; ++position)
        list.entries[start[keyOfPosition[position]]++] = position;
}

}  // namespace

void SortWordList(WordList& list)
{
    try {
        SortByRankedKeys(list);
        return;
    } catch (const std::bad_alloc&) {
        // Too little memory left beside a very large list.
    }
    SortWordListComparingTexts(list);
}

void SortWordListComparingTexts(WordList& list)
{
    // A merge sort stays inside the array even if the system's comparison
    // were not consistent, and works in place when it gets no buffer.
    std::stable_sort(list.entries.begin(), list.entries.end(), [&list](uint32_t a, uint32_t b) {
        return CompareWordRecords(list, a, b) < 0;
    });
}
