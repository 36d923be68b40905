#include "wordlist/key_order.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "shell/progress_display.h"
#include "shell/setup_state.h"
#include "wordlist/collation.h"

int32_t ComparisonCount = 0;

namespace {

// The keys of a list, each text once: a list of a million words holds far
// fewer distinct keys, and the collation is asked once per key.
struct DistinctKeys {
    std::string texts;                  // every key with its terminator
    std::vector<uint32_t> textOffsets;  // by key id (order of first appearance)
    std::vector<uint32_t> hashes;       // by key id
    std::vector<uint32_t> slots;        // key id + 1, 0 when free; a power of two long

    const char* Text(uint32_t id) const { return texts.data() + textOffsets[id]; }
    uint32_t Count() const { return static_cast<uint32_t>(textOffsets.size()); }
    uint32_t Find(const char* key, size_t length);

private:
    void Grow();
};

uint32_t Hash(const char* key, size_t length)
{
    uint32_t hash = 2166136261u;  // FNV-1a
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ static_cast<unsigned char>(key[i])) * 16777619u;
    return hash;
}

uint32_t DistinctKeys::Find(const char* key, size_t length)
{
    if ((Count() + 1) * 2 > slots.size())
        Grow();
    const uint32_t hash = Hash(key, length);
    const size_t mask = slots.size() - 1;
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        uint32_t entry = slots[slot];
        if (entry == 0) {
            uint32_t id = Count();
            slots[slot] = id + 1;
            hashes.push_back(hash);
            textOffsets.push_back(static_cast<uint32_t>(texts.size()));
            texts.append(key, length);
            texts.push_back('\0');
            return id;
        }
        uint32_t id = entry - 1;
        if (hashes[id] == hash && std::memcmp(Text(id), key, length) == 0 && Text(id)[length] == '\0')
            return id;
    }
}

void DistinctKeys::Grow()
{
    std::vector<uint32_t> larger(std::max<size_t>(1024, slots.size() * 2), 0);
    const size_t mask = larger.size() - 1;
    for (uint32_t id = 0; id < Count(); ++id) {
        size_t slot = hashes[id] & mask;
        while (larger[slot] != 0)
            slot = (slot + 1) & mask;
        larger[slot] = id + 1;
    }
    slots.swap(larger);
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
    if (ComparisonCount % 1000 == 0)
        DrawCounter(ComparisonCount);
    // Starts again at 0 rather than going negative after 2^31 comparisons.
    ComparisonCount = ComparisonCount == INT32_MAX ? 0 : ComparisonCount + 1;
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

// The key order of two entries of the list (through their keys).
int CompareWordRecords(const DistinctKeys& keys, const SortKeys& store, const SortEntry& a,
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

size_t KeyLength(const char* key)
{
    const char* end = static_cast<const char*>(std::memchr(key, '\0', kKeyFieldSize));
    return end ? static_cast<size_t>(end - key) : static_cast<size_t>(kMaxKeyLength);
}

}  // namespace

void SortWordList(WordList& list)
{
    const uint32_t count = static_cast<uint32_t>(list.entries.size());

    // The distinct keys, and for every position in the file the key it holds.
    DistinctKeys keys;
    std::vector<uint32_t> keyOfPosition(count);
    for (uint32_t position = 0; position < count; ++position) {
        const char* key = list.RecordAt(position).key;
        keyOfPosition[position] = keys.Find(key, KeyLength(key));
    }
    std::vector<uint32_t>().swap(keys.slots);
    std::vector<uint32_t>().swap(keys.hashes);

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
        return CompareWordRecords(keys, store, a, b) < 0;
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
    std::vector<uint32_t>().swap(list.entries);  // room for the new order
    std::vector<uint32_t> sorted(count);
    for (uint32_t position = 0; position < count; ++position)
        sorted[start[keyOfPosition[position]]++] = position;
    list.entries.swap(sorted);
}
