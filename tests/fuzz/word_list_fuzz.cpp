// A FROM word list of any bytes (records cut short, fields without their
// terminators) through load, inversion, sort and merge. The TO list must be
// well formed, in key order, merged, and hold what the FROM list says.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fake_shell.h"
#include "fuzz_support.h"
#include "shell/collation.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "support/files.h"
#include "support/word_lists.h"
#include "wordlist/key_order.h"
#include "wordlist/reverse_list.h"
#include "wordlist/word_list.h"

namespace {

// The TO list must be the reversal the format describes, byte for byte.
void CheckToList(std::string_view from, const std::string& to)
{
    const std::string expected = ReversedWordList(std::string(from), CompareCollated);
    if (to == expected)
        return;
    size_t at = 0;
    while (to.compare(at, kRecordBytes, expected, at, kRecordBytes) == 0)
        at += kRecordBytes;
    FuzzFailure(__FILE__, __LINE__,
                "TO record " + std::to_string(at / kRecordBytes) + " of " + std::to_string(to.size() / kRecordBytes) +
                    " is " + Shown(to.substr(std::min(at, to.size()), kRecordBytes)) + ", not " +
                    Shown(expected.substr(std::min(at, expected.size()), kRecordBytes)));
}

// The fast sort and the one that only compares texts give the same order.
void CheckSortsAgree(std::string_view bytes)
{
    FILE* file = std::fopen("langue\\sort.wb", "rb");
    FUZZ_CHECK(file != nullptr, "the sort list cannot be opened");
    int32_t count = CountWordRecords(file);
    FUZZ_CHECK(count == static_cast<int32_t>(bytes.size() / kRecordBytes), "wrong record count");
    std::unique_ptr<WordList> list = LoadWordList(file, count);
    std::fclose(file);
    FUZZ_CHECK(list && list->Count() == count, "the list did not load whole");
    for (int32_t i = 0; i < count; ++i) {
        const WordRecord& record = list->Entry(static_cast<size_t>(i));
        FUZZ_CHECK(record.key[kMaxKeyLength] == '\0' && record.value[kMaxValueLength] == '\0',
                   "a loaded field runs past its end");
        FUZZ_CHECK(std::memcmp(&record, bytes.data() + static_cast<size_t>(i) * kRecordBytes, kKeyFieldSize - 1) == 0,
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
        std::string key(1 + static_cast<unsigned char>(bytes[i % bytes.size()]) % 4, 'a');
        for (size_t k = 0; k < key.size(); ++k) {
            char c = bytes[(i * 7 + k * 13 + i / bytes.size()) % bytes.size()];
            key[k] = c == '\0' ? 'a' : c;
        }
        list += RecordBytes(key, std::string(1, static_cast<char>('0' + i % 10)));
    }
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    StartInput();
    // Both states of the display; only the comparison counter depends on it.
    setup.verbose = static_cast<int32_t>(size & 1);
    WriteFileBytes("langue\\from.wb", std::string(bytes));

    LanguageEntry entry{};
    CopyText(entry.languageName, sizeof entry.languageName, "Anglais");
    CopyText(entry.fromListName, sizeof entry.fromListName, "from.wb");
    CopyText(entry.toListName, sizeof entry.toListName, "to.wb");
    try {
        BuildReverseList(entry);
    } catch (const FatalErrorExit& exit) {
        FuzzFailure(__FILE__, __LINE__, "a readable FROM list ended the build: " + exit.message);
    }
    FUZZ_CHECK(!PathExists("langue\\temp.wb"), "the temporary list is left");
    FUZZ_CHECK(ReadFileBytes("langue\\from.wb") == bytes, "the FROM list was changed");
    CheckToList(bytes, ReadFileBytes("langue\\to.wb"));

    // The FROM bytes read as a list to sort, keys and all.
    WriteFileBytes("langue\\sort.wb", std::string(bytes));
    CheckSortsAgree(bytes);
    if (size >= 16 && size % 4 == 0) {
        const std::string grown = GrownList(bytes);
        WriteFileBytes("langue\\sort.wb", grown);
        CheckSortsAgree(grown);
    }
    return 0;
}
