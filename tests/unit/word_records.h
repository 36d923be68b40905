// Word list files for the tests: records as bytes and back.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using KeyValue = std::pair<std::string, std::string>;

// One 84-byte record; key and value cut to their fields, zero-filled.
inline std::string RecordBytes(const std::string& key, const std::string& value)
{
    std::string bytes(84, '\0');
    std::memcpy(&bytes[0], key.data(), std::min<size_t>(key.size(), 31));
    std::memcpy(&bytes[31], value.data(), std::min<size_t>(value.size(), 51));
    return bytes;
}

inline std::string ListBytes(const std::vector<KeyValue>& records)
{
    std::string bytes;
    for (const KeyValue& record : records)
        bytes += RecordBytes(record.first, record.second);
    return bytes;
}

// The records of a file's bytes; every record must be zero-filled after its
// terminators and have 0 in reserved, or the field comes back with a '!' mark.
inline std::vector<KeyValue> ParseRecords(const std::string& bytes)
{
    std::vector<KeyValue> records;
    for (size_t at = 0; at + 84 <= bytes.size(); at += 84) {
        std::string key(bytes.c_str() + at);
        std::string value(bytes.c_str() + at + 31);
        bool clean = key.size() < 31 && value.size() < 51;
        for (size_t i = key.size(); clean && i < 31; ++i)
            clean = bytes[at + i] == '\0';
        for (size_t i = value.size(); clean && i < 51; ++i)
            clean = bytes[at + 31 + i] == '\0';
        clean = clean && bytes[at + 82] == '\0' && bytes[at + 83] == '\0';
        records.emplace_back(key, clean ? value : value + "!");
    }
    return records;
}
