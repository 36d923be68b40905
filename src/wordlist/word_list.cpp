#include "wordlist/word_list.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "shell/fatal_error.h"
#include "shell/progress_display.h"
#include "shell/text_file.h"

int32_t CountWordRecords(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    long size = std::ftell(file);
    std::fseek(file, 0, SEEK_SET);
    if (size < 0)
        return -1;
    const long records = size / static_cast<long>(sizeof(WordRecord));
    // A size that a count cannot hold is no word list (where long is wider).
    if (records > INT32_MAX)
        return -1;
    return static_cast<int32_t>(records);
}

std::unique_ptr<WordList> LoadWordList(FILE* file, int32_t count, bool* outOfMemory)
{
    if (outOfMemory)
        *outOfMemory = false;
    if (count < 0 || std::fseek(file, 0, SEEK_SET) != 0)
        return nullptr;
    try {
        auto list = std::make_unique<WordList>();
        const uint32_t total = static_cast<uint32_t>(count);
        list->entries.resize(total);
        list->blocks.reserve((total + WordList::kBlockRecords - 1) / WordList::kBlockRecords);
        uint32_t i = 0;
        while (i < total) {
            if (i % 100 == 0)
                DrawCounter(static_cast<int32_t>(i));
            uint32_t inBlock = i % WordList::kBlockRecords;
            if (inBlock == 0)
                list->blocks.push_back(std::make_unique<WordRecord[]>(WordList::kBlockRecords));
            // One read up to the next counter index or the block's end: the
            // same records, fewer calls.
            uint32_t run = 100 - i % 100;
            run = std::min(run, total - i);
            run = std::min(run, WordList::kBlockRecords - inBlock);
            WordRecord* first = &list->blocks.back()[inBlock];
            if (std::fread(first, sizeof(WordRecord), run, file) != run)
                return nullptr;
            for (uint32_t k = 0; k < run; ++k) {
                // Nothing reads past a field, whatever the file holds.
                first[k].key[kMaxKeyLength] = '\0';
                first[k].value[kMaxValueLength] = '\0';
                list->entries[i + k] = i + k;
            }
            i += run;
        }
        return list;
    } catch (const std::bad_alloc&) {
        if (outOfMemory)
            *outOfMemory = true;
        return nullptr;
    }
}

void WriteWordRecord(FILE* file, const char* value, const char* key)
{
    WordRecord record = {};
    while (*key == ' ')
        ++key;
    const size_t keyLength = std::strlen(key);
    const size_t valueLength = std::strlen(value);
    if (valueLength > static_cast<size_t>(kMaxValueLength) || keyLength > static_cast<size_t>(kMaxKeyLength))
        return;
    // Both fit their fields with the terminator, which the zero fill gives.
    std::memcpy(record.key, key, keyLength);
    std::memcpy(record.value, value, valueLength);
    if (!WriteToFile(file, &record, sizeof record))
        FatalError("Write error tempfile");
}
