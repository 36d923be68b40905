// Word lists: binary files of fixed 84-byte records, no header and no
// separators, and the in-memory form of a whole file. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

constexpr int kKeyFieldSize = 31;    // 30 characters and the terminator
constexpr int kValueFieldSize = 51;  // 50 characters and the terminator
constexpr int kMaxKeyLength = kKeyFieldSize - 1;
constexpr int kMaxValueLength = kValueFieldSize - 1;

struct WordRecord {
    char key[kKeyFieldSize];
    char value[kValueFieldSize];
    unsigned char reserved[2];  // 16-bit little-endian; written as 0, never read
};
static_assert(sizeof(WordRecord) == 84, "the record is the unit of the file");

// A whole word list. The records stay where they were loaded, in blocks in
// file order; the entries are their positions in the file, 4 bytes each, and
// are what a sort reorders. The list owns its records.
struct WordList {
    static constexpr uint32_t kBlockRecords = 4096;

    std::vector<std::unique_ptr<WordRecord[]>> blocks;
    std::vector<uint32_t> entries;  // file order until sorted

    int32_t Count() const { return static_cast<int32_t>(entries.size()); }
    // The record at a position in the file.
    WordRecord& RecordAt(uint32_t position) const
    {
        return blocks[position / kBlockRecords][position % kBlockRecords];
    }
    // The record of entry i in the list's current order.
    WordRecord& Entry(size_t i) const { return RecordAt(entries[i]); }
};

// The number of whole records in an open file (a trailing part of fewer than
// 84 bytes is no record), or -1 when its size cannot be determined. The
// position is left at the start.
int32_t CountWordRecords(FILE* file);

// All count records of the open file, read from its start; the counter is
// drawn at every index divisible by 100. A key or value that has no
// terminator inside its field is read as if the field's last byte were zero.
// Null on a failed seek, exhausted memory (outOfMemory, when given, says
// which) or a short read; whatever was read is released then.
std::unique_ptr<WordList> LoadWordList(FILE* file, int32_t count, bool* outOfMemory = nullptr);

// Appends one zero-filled record: key text without its leading spaces, value
// text as it is. A key over 30 or a value over 50 characters drops the record
// silently; a failed write ends the run ("Write error tempfile").
void WriteWordRecord(FILE* file, const char* value, const char* key);
