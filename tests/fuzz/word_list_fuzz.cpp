// A FROM word list of any bytes (records cut short, fields without their
// terminators) through load, inversion, sort and merge. The TO list must be
// well formed, in key order, merged, and hold what the FROM list says.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fake_shell.h"
#include "fuzz_support.h"
#include "shell/collation.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "wordlist/key_order.h"
#include "wordlist/reverse_list.h"
#include "wordlist/word_list.h"

namespace {

constexpr size_t kRecordSize = 84;
constexpr size_t kKeyOffset = 0;
constexpr size_t kValueOffset = 31;

// A field's text: up to its terminator, or up to its last byte, which the
// loader takes as the terminator of a field that has none.
std::string FieldText(std::string_view record, size_t offset, size_t size)
{
    std::string_view field = record.substr(offset, size - 1);
    return std::string(field.substr(0, field.find('\0')));
}

struct Expected {
    std::vector<std::string> order;                      // keys by first appearance
    std::map<std::string, std::vector<std::string>> values;  // FROM keys, in file order
};

// The reversal as the format describes it, straight from the bytes.
Expected Reverse(std::string_view bytes)
{
    Expected expected;
    for (size_t at = 0; at + kRecordSize <= bytes.size(); at += kRecordSize) {
        std::string_view record = bytes.substr(at, kRecordSize);
        std::string fromKey = FieldText(record, kKeyOffset, kKeyFieldSize);
        std::string value = FieldText(record, kValueOffset, kValueFieldSize);
        size_t pos = 0;
        while ((pos = value.find_first_not_of(',', pos)) != std::string::npos) {
            size_t end = value.find(',', pos);
            if (end == std::string::npos)
                end = value.size();
            std::string token = value.substr(pos, end - pos);
            pos = end;
            size_t first = token.find_first_not_of(' ');
            token.erase(0, first == std::string::npos ? token.size() : first);
            if (token.size() > static_cast<size_t>(kMaxKeyLength))
                continue;
            auto& list = expected.values[token];
            if (list.empty())
                expected.order.push_back(token);
            list.push_back(fromKey);
        }
    }
    return expected;
}

// The values joined by ", " as far as each fits in 50 characters.
std::string Joined(const std::vector<std::string>& values)
{
    std::string joined = values.front();
    for (size_t i = 1; i < values.size(); ++i) {
        if (joined.size() + 2 + values[i].size() <= static_cast<size_t>(kMaxValueLength))
            joined += ", " + values[i];
    }
    return joined;
}

// A text field: terminated inside, zero after the terminator.
std::string CheckedField(std::string_view record, size_t offset, size_t size, const char* name)
{
    std::string_view field = record.substr(offset, size);
    size_t end = field.find('\0');
    FUZZ_CHECK(end != std::string_view::npos, std::string("a TO ") + name + " has no terminator in its field");
    FUZZ_CHECK(field.find_first_not_of('\0', end) == std::string_view::npos,
               std::string("a TO ") + name + " is not zero-filled after its terminator");
    return std::string(field.substr(0, end));
}

void CheckToList(std::string_view from, const std::string& to)
{
    FUZZ_CHECK(to.size() % kRecordSize == 0, "the TO list is not made of whole records");
    Expected expected = Reverse(from);
    FUZZ_CHECK(to.size() / kRecordSize == expected.order.size(),
               "the TO list has " + std::to_string(to.size() / kRecordSize) + " records for " +
                   std::to_string(expected.order.size()) + " distinct keys");

    std::string previous;
    for (size_t at = 0; at < to.size(); at += kRecordSize) {
        std::string_view record = std::string_view(to).substr(at, kRecordSize);
        std::string key = CheckedField(record, kKeyOffset, kKeyFieldSize, "key");
        std::string value = CheckedField(record, kValueOffset, kValueFieldSize, "value");
        FUZZ_CHECK(record[82] == '\0' && record[83] == '\0', "reserved is not 0");
        FUZZ_CHECK(value.size() <= static_cast<size_t>(kMaxValueLength), "a TO value over 50 characters");
        if (at > 0) {
            int order = CompareCollated(previous.c_str(), key.c_str());
            FUZZ_CHECK(order < 0 || (order == 0 && previous < key),
                       "keys out of order: " + Shown(previous) + " before " + Shown(key));
        }
        auto found = expected.values.find(key);
        FUZZ_CHECK(found != expected.values.end(), "a TO key no FROM value lists: " + Shown(key));
        FUZZ_CHECK(value == Joined(found->second),
                   "the TO value of " + Shown(key) + " is " + Shown(value) + ", not " + Shown(Joined(found->second)));
        previous = key;
    }
}

// The fast sort and the one that only compares texts give the same order.
void CheckSortsAgree(std::string_view bytes)
{
    FILE* file = std::fopen("langue\\sort.wb", "rb");
    FUZZ_CHECK(file != nullptr, "the sort list cannot be opened");
    int32_t count = CountWordRecords(file);
    FUZZ_CHECK(count == static_cast<int32_t>(bytes.size() / kRecordSize), "wrong record count");
    std::unique_ptr<WordList> list = LoadWordList(file, count);
    std::fclose(file);
    FUZZ_CHECK(list && list->Count() == count, "the list did not load whole");
    for (int32_t i = 0; i < count; ++i) {
        const WordRecord& record = list->Entry(static_cast<size_t>(i));
        FUZZ_CHECK(record.key[kMaxKeyLength] == '\0' && record.value[kMaxValueLength] == '\0',
                   "a loaded field runs past its end");
        FUZZ_CHECK(std::memcmp(&record, bytes.data() + static_cast<size_t>(i) * kRecordSize, kKeyFieldSize - 1) == 0,
                   "a loaded key differs from the file");
    }
    std::vector<uint32_t> fileOrder = list->entries;
    SortWordList(*list);
    std::vector<uint32_t> fast = list->entries;
    list->entries = fileOrder;
    SortWordListComparingTexts(*list);
    FUZZ_CHECK(fast == list->entries, "the two sorts disagree");
}

// A list of thousands of records grown from the input, so that the sort's
// key table grows and the loader fills more than one block: short keys, many
// of them repeated, some equal but for the case of a letter.
std::string GrownList(std::string_view bytes)
{
    std::string list;
    const size_t count = std::min<size_t>(bytes.size() * 40, 4200);
    for (size_t i = 0; i < count; ++i) {
        std::string record(kRecordSize, '\0');
        const size_t length = 1 + static_cast<unsigned char>(bytes[i % bytes.size()]) % 4;
        for (size_t k = 0; k < length; ++k) {
            char c = bytes[(i * 7 + k * 13 + i / bytes.size()) % bytes.size()];
            record[k] = c == '\0' ? 'a' : c;
        }
        record[kValueOffset] = static_cast<char>('0' + i % 10);
        list += record;
    }
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    EnterScratchDir(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ClearScratchDir();
    ResetFakeShell();
    // Both states of the display; only the comparison counter depends on it.
    setup.verbose = static_cast<int32_t>(size & 1);
    WriteBytes("langue\\from.wb", bytes);

    LanguageEntry entry{};
    CopyText(entry.languageName, sizeof entry.languageName, "Anglais");
    CopyText(entry.fromListName, sizeof entry.fromListName, "from.wb");
    CopyText(entry.toListName, sizeof entry.toListName, "to.wb");
    try {
        BuildReverseList(entry);
    } catch (const FatalErrorExit& exit) {
        FuzzFailure(__FILE__, __LINE__, "a readable FROM list ended the build: " + exit.message);
    }
    FUZZ_CHECK(!Exists("langue\\temp.wb"), "the temporary list is left");
    FUZZ_CHECK(ReadBytes("langue\\from.wb") == bytes, "the FROM list was changed");
    CheckToList(bytes, ReadBytes("langue\\to.wb"));

    // The FROM bytes read as a list to sort, keys and all.
    WriteBytes("langue\\sort.wb", bytes);
    CheckSortsAgree(bytes);
    if (size >= 16 && size % 4 == 0) {
        const std::string grown = GrownList(bytes);
        WriteBytes("langue\\sort.wb", grown);
        CheckSortsAgree(grown);
    }
    return 0;
}
