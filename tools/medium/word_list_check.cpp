#include "word_list_check.h"

#include <cstring>
#include <memory>

#include "host_files.h"
#include "medium_names.h"
#include "shell/windows1252.h"
#include "wordlist/word_list.h"

namespace {

constexpr size_t kRecordSize = sizeof(WordRecord);

// One text field: its faults, and its text as the loader gives it.
std::string CheckField(const char* field, size_t size, const char* name, const std::string& file,
                       int record, Report& report)
{
    const size_t length = strnlen(field, size);
    if (length == size) {
        report.Error(file, record,
                     std::string("the ") + name + " has no zero byte in its " + std::to_string(size) +
                         " bytes: setup.exe cuts it to " + std::to_string(size - 1) + " characters");
        return std::string(field, size - 1);
    }
    for (size_t i = length + 1; i < size; ++i) {
        if (field[i] != '\0') {
            report.Warning(file, record,
                           std::string("bytes after the end of the ") + name +
                               " are not zero: setup.exe ignores them");
            break;
        }
    }
    return std::string(field, length);
}

// The words the builder takes from a value: the runs between commas, less
// their leading blanks.
void CheckWords(const std::string& value, const std::string& file, int record, Report& report,
                WordListFacts& facts)
{
    int words = 0;
    size_t at = 0;
    while ((at = value.find_first_not_of(',', at)) != std::string::npos) {
        size_t end = value.find(',', at);
        if (end == std::string::npos)
            end = value.size();
        std::string word = value.substr(at, end - at);
        at = end;
        ++words;
        word.erase(0, word.find_first_not_of(' ') == std::string::npos ? word.size()
                                                                          : word.find_first_not_of(' '));
        if (word.empty())
            report.Warning(file, record, "a word of blanks only between commas: setup.exe makes a TO record with an empty key");
        else if (word.size() > 30)
            report.Warning(file, record,
                           "the word \"" + ShownText(word) +
                               "\" is longer than 30 characters: setup.exe leaves it out of the TO list");
    }
    if (words == 0)
        report.Warning(file, record, "the value holds no word: the record gives nothing to the TO list");
    facts.words += words;
    if (record == 1 || words < facts.fewestWords)
        facts.fewestWords = words;
    if (words > facts.mostWords)
        facts.mostWords = words;
}

}  // namespace

WordListFacts CheckWordList(const std::string& bytes, const std::string& file, Report& report)
{
    WordListFacts facts;
    // The product's reader first: what setup.exe does with the file.
    ScopedFile list = OpenBytes(bytes);
    const int32_t count = list ? CountWordRecords(list.get()) : -1;
    facts.records = count < 0 ? 0 : count;
    facts.loaded = count >= 0 && LoadWordList(list.get(), count) != nullptr;
    if (!facts.loaded) {
        report.Error(file, 0, "cannot be read whole: setup.exe stops with \"Read error input file\"");
        return facts;
    }

    for (int i = 0; i < count; ++i) {
        const int record = i + 1;
        WordRecord raw;
        std::memcpy(&raw, bytes.data() + static_cast<size_t>(i) * kRecordSize, kRecordSize);
        const std::string key = CheckField(raw.key, sizeof raw.key, "key", file, record, report);
        const std::string value = CheckField(raw.value, sizeof raw.value, "value", file, record, report);
        if (raw.reserved[0] != 0 || raw.reserved[1] != 0)
            report.Warning(file, record, "the last two bytes of the record are not zero");
        if (key.empty())
            report.Warning(file, record, "the key is empty");
        CheckWords(value, file, record, report, facts);
        if (key.size() > facts.longestKey.size())
            facts.longestKey = key;
        if (value.size() > facts.longestValue.size())
            facts.longestValue = value;
    }
    const size_t rest = bytes.size() % kRecordSize;
    if (rest != 0)
        report.Error(file, count + 1,
                     "the list ends with " + std::to_string(rest) +
                         " bytes that are no whole record: setup.exe ignores them");
    return facts;
}
