// Word lists that look like a dictionary's: French-like words with accents,
// ligatures, apostrophes, hyphens and capitals, values of 1 to 5 words.
// Deterministic for a given seed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

class WordMaker {
public:
    explicit WordMaker(uint32_t seed) : state_(seed ? seed : 1) {}

    uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

    std::string Word()
    {
        static const char* const onsets[] = {
            "b", "c", "ch", "d", "f", "g", "gr", "j", "l", "m", "n", "p", "pr", "qu", "r",
            "s", "t", "tr", "v", "br", "cl", "fl", "pl", "\xE7", "", "", "st", "h", "z"};
        static const char* const nuclei[] = {
            "a", "e", "i", "o", "u", "ou", "ai", "au", "eau", "\xE9", "\xE8", "\xEA", "\xE0",
            "\xE2", "\xEE", "\xF4", "\xFB", "\xEF", "\xFC", "oi", "an", "on", "in", "\x9C" "u",
            "y", "e", "a", "i"};
        static const char* const codas[] = {"", "", "", "r", "s", "t", "l", "n", "x", "c", "re", "te", "se", "le"};
        std::string word;
        if (Below(20) == 0)
            word += Below(2) ? "l'" : (Below(2) ? "d'" : "qu'");
        int syllables = 1 + static_cast<int>(Below(4));
        for (int i = 0; i < syllables; ++i) {
            word += onsets[Below(sizeof onsets / sizeof *onsets)];
            word += nuclei[Below(sizeof nuclei / sizeof *nuclei)];
        }
        word += codas[Below(sizeof codas / sizeof *codas)];
        if (Below(25) == 0) {
            word += '-';
            word += onsets[Below(sizeof onsets / sizeof *onsets)];
            word += nuclei[Below(sizeof nuclei / sizeof *nuclei)];
            word += codas[Below(sizeof codas / sizeof *codas)];
        }
        if (Below(12) == 0 && !word.empty() && word[0] >= 'a' && word[0] <= 'z')
            word[0] = static_cast<char>(word[0] - 'a' + 'A');
        else if (Below(40) == 0 && !word.empty() && static_cast<unsigned char>(word[0]) == 0xE9)
            word[0] = '\xC9';
        if (word.size() > 30)
            word.resize(30);
        return word;
    }

private:
    uint32_t state_;
};

// FROM records, one at a time: a headword and 1 to 5 words of a
// vocabulary (a third as many words as records, common words more often),
// "," or ", " between them, as many as fit in 50 characters.
class FromListMaker {
public:
    FromListMaker(uint32_t records, uint32_t seed)
        : maker_(seed), vocabulary_(std::max<uint32_t>(1000, records / 3))
    {
        for (std::string& word : vocabulary_)
            word = maker_.Word();
    }

    void Next(std::string& key, std::string& value)
    {
        key = maker_.Word();
        value.clear();
        uint32_t words = 1 + maker_.Below(5);
        for (uint32_t w = 0; w < words; ++w) {
            // Squaring a uniform draw favours the first words of the vocabulary.
            double u = (maker_.Next() & 0xFFFFFF) / double(0x1000000);
            const std::string& word = vocabulary_[static_cast<size_t>(u * u * vocabulary_.size())];
            const char* separator = w == 0 ? "" : (maker_.Below(2) ? ", " : ",");
            if (value.size() + std::string(separator).size() + word.size() > 50)
                break;
            value += separator;
            value += word;
        }
    }

private:
    WordMaker maker_;
    std::vector<std::string> vocabulary_;
};

// Writes a FROM list of the given number of 84-byte records (key at 0,
// value at 31, zero-filled) from a FromListMaker with a fixed seed.
inline bool WriteFromList(const char* path, uint32_t records)
{
    FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    FromListMaker maker(records, 12345);
    std::string key, value;
    bool ok = true;
    for (uint32_t i = 0; i < records && ok; ++i) {
        maker.Next(key, value);
        char record[84] = {};
        std::memcpy(record, key.data(), std::min<size_t>(key.size(), 30));
        std::memcpy(record + 31, value.data(), std::min<size_t>(value.size(), 50));
        ok = std::fwrite(record, sizeof record, 1, file) == 1;
    }
    return std::fclose(file) == 0 && ok;
}
