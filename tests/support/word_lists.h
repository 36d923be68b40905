// Word list files as the tests write and check them: 84-byte records of a
// key field (31 bytes) and a value field (51 bytes), zero-filled, and two
// reserved bytes of 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

constexpr size_t kRecordBytes = 84;

using KeyValue = std::pair<std::string, std::string>;

// One record; key and value cut to their fields.
std::string RecordBytes(const std::string& key, const std::string& value);
std::string ListBytes(const std::vector<KeyValue>& records);

// The records of a file's bytes. A record must be zero-filled after its
// terminators and hold 0 in reserved; otherwise its value comes back with a
// '!' after it.
std::vector<KeyValue> ParseRecords(const std::string& bytes);

// count records "<prefix>0", "<prefix>1", ... whose values share words,
// so that their reversal merges.
std::vector<KeyValue> NumberedRecords(const std::string& prefix, int count);

// An order of texts: negative, zero or positive, as strcmp.
using TextOrder = int (*)(const char* a, const char* b);

// The positions of keys sorted by order, then by their bytes, then by
// position: how a sort of the list must arrange it.
std::vector<uint32_t> SortedPositions(const std::vector<std::string>& keys, TextOrder order);

// The TO list a FROM list must give (both as file bytes), computed from the
// format alone: one record per byte-equal key (the words of the values, less
// their leading spaces; words over 30 characters left out), its values the
// FROM keys in file order joined by ", " as far as 50 characters allow, the
// records in the given order, then by the bytes of their keys.
std::string ReversedWordList(const std::string& fromBytes, TextOrder order);

// The French dictionary order of the platform (CompareStringA, French,
// case ignored), asked directly rather than through the program's code.
// Windows build only.
int FrenchOrder(const char* a, const char* b);
