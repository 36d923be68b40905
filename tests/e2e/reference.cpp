#include "reference.h"

#include <windows.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

std::string FieldText(const std::string& bytes, size_t offset, size_t size)
{
    std::string field = bytes.substr(offset, size);
    size_t nul = field.find('\0');
    return nul == std::string::npos ? field.substr(0, size - 1) : field.substr(0, nul);
}

bool FrenchLess(const std::string& a, const std::string& b)
{
    const LCID french = MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT);
    int order = CompareStringA(french, NORM_IGNORECASE | SORT_STRINGSORT, a.c_str(), -1, b.c_str(), -1);
    if (order != CSTR_EQUAL)
        return order == CSTR_LESS_THAN;
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) {
                                            return static_cast<unsigned char>(x) <
                                                   static_cast<unsigned char>(y);
                                        });
}

}  // namespace

std::string WordRecordBytes(const std::string& key, const std::string& value)
{
    std::string record(84, '\0');
    record.replace(0, key.size(), key);
    record.replace(31, value.size(), value);
    return record;
}

std::string ReversedWordList(const std::string& fromBytes)
{
    std::map<std::string, std::vector<std::string>> valuesByKey;
    for (size_t offset = 0; offset + 84 <= fromBytes.size(); offset += 84) {
        const std::string fromKey = FieldText(fromBytes, offset, 31);
        const std::string fromValue = FieldText(fromBytes, offset + 31, 51);
        // Tokens are the non-empty runs between commas; a word loses its
        // leading spaces only.
        size_t start = 0;
        while (start < fromValue.size()) {
            size_t end = fromValue.find(',', start);
            if (end == std::string::npos)
                end = fromValue.size();
            if (end > start) {
                std::string word = fromValue.substr(start, end - start);
                word.erase(0, std::min(word.find_first_not_of(' '), word.size()));
                if (word.size() <= 30)
                    valuesByKey[word].push_back(fromKey);
            }
            start = end + 1;
        }
    }
    std::vector<std::string> keys;
    for (const auto& entry : valuesByKey)
        keys.push_back(entry.first);
    std::sort(keys.begin(), keys.end(), FrenchLess);

    std::string out;
    for (const std::string& key : keys) {
        const std::vector<std::string>& values = valuesByKey[key];
        std::string joined = values.front();
        for (size_t i = 1; i < values.size(); ++i)
            if (joined.size() + 2 + values[i].size() <= 50)
                joined += ", " + values[i];
        out += WordRecordBytes(key, joined);
    }
    return out;
}

const char kSampleCatalogueHead[] =
    "# --- dict.ini --------------------------------------------------\r\n"
    "\r\n"
    "[ajouter]\r\n"
    "on\r\n"
    "\r\n"
    "[selectionn\xE9]\r\n"
    "anglais.wb\r\n"
    "\r\n"
    "[langue]\r\n";
