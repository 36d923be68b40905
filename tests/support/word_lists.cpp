#include "word_lists.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <numeric>

namespace {

constexpr size_t kKeyField = 31, kValueField = 51, kValueAt = 31;

// A field's text: up to its terminator, or up to its last byte, which a
// reader takes as the terminator of a field that has none.
std::string FieldText(const std::string& bytes, size_t offset, size_t size)
{
    std::string field = bytes.substr(offset, size - 1);
    return field.substr(0, field.find('\0'));
}

bool BytesLess(const std::string& a, const std::string& b)
{
    return a < b;  // char_traits<char> compares as unsigned char
}

}  // namespace

std::string RecordBytes(const std::string& key, const std::string& value)
{
    std::string bytes(kRecordBytes, '\0');
    std::memcpy(&bytes[0], key.data(), std::min(key.size(), kKeyField));
    std::memcpy(&bytes[kValueAt], value.data(), std::min(value.size(), kValueField));
    return bytes;
}

std::string ListBytes(const std::vector<KeyValue>& records)
{
    std::string bytes;
    for (const KeyValue& record : records)
        bytes += RecordBytes(record.first, record.second);
    return bytes;
}

std::vector<KeyValue> ParseRecords(const std::string& bytes)
{
    std::vector<KeyValue> records;
    for (size_t at = 0; at + kRecordBytes <= bytes.size(); at += kRecordBytes) {
        std::string key(bytes.c_str() + at);
        std::string value(bytes.c_str() + at + kValueAt);
        bool clean = key.size() < kKeyField && value.size() < kValueField;
        for (size_t i = key.size(); clean && i < kKeyField; ++i)
            clean = bytes[at + i] == '\0';
        for (size_t i = value.size(); clean && i < kValueField; ++i)
            clean = bytes[at + kValueAt + i] == '\0';
        clean = clean && bytes[at + 82] == '\0' && bytes[at + 83] == '\0';
        records.emplace_back(key, clean ? value : value + "!");
    }
    return records;
}

std::vector<KeyValue> NumberedRecords(const std::string& prefix, int count)
{
    std::vector<KeyValue> records;
    for (int i = 0; i < count; ++i)
        records.emplace_back(prefix + std::to_string(i),
                             "w" + std::to_string(i % 7) + ", " + prefix + std::to_string(i % 5) + ",x");
    return records;
}

std::vector<uint32_t> SortedPositions(const std::vector<std::string>& keys, TextOrder order)
{
    std::vector<uint32_t> positions(keys.size());
    std::iota(positions.begin(), positions.end(), 0u);
    std::stable_sort(positions.begin(), positions.end(), [&](uint32_t a, uint32_t b) {
        int ordered = order(keys[a].c_str(), keys[b].c_str());
        return ordered != 0 ? ordered < 0 : BytesLess(keys[a], keys[b]);
    });
    return positions;
}

std::string ReversedWordList(const std::string& fromBytes, TextOrder order)
{
    std::map<std::string, std::vector<std::string>> valuesByKey;
    for (size_t at = 0; at + kRecordBytes <= fromBytes.size(); at += kRecordBytes) {
        const std::string fromKey = FieldText(fromBytes, at, kKeyField);
        const std::string fromValue = FieldText(fromBytes, at + kValueAt, kValueField);
        // Words are the non-empty runs between commas.
        for (size_t start = 0; start < fromValue.size();) {
            size_t end = std::min(fromValue.find(',', start), fromValue.size());
            if (end > start) {
                std::string word = fromValue.substr(start, end - start);
                word.erase(0, std::min(word.find_first_not_of(' '), word.size()));
                if (word.size() < kKeyField)
                    valuesByKey[word].push_back(fromKey);
            }
            start = end + 1;
        }
    }
    std::vector<std::string> keys;
    for (const auto& entry : valuesByKey)
        keys.push_back(entry.first);
    std::string list;
    for (uint32_t position : SortedPositions(keys, order)) {
        const std::vector<std::string>& values = valuesByKey[keys[position]];
        std::string joined = values.front();
        for (size_t i = 1; i < values.size(); ++i)
            if (joined.size() + 2 + values[i].size() < kValueField)
                joined += ", " + values[i];
        list += RecordBytes(keys[position], joined);
    }
    return list;
}
