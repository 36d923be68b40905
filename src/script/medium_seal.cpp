// The seal of a setup medium: see medium_seal.h.
#include "script/medium_seal.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace {

// Slicing by eight: eight table lookups a step of eight bytes, some ten
// times the speed of a byte at a time, so that the check keeps up with the
// disk.
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables()
{
    CrcTables tables{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        tables[0][i] = crc;
    }
    for (uint32_t i = 0; i < 256; ++i)
        for (size_t t = 1; t < 8; ++t)
            tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFF];
    return tables;
}

constexpr CrcTables kCrcTables = MakeCrcTables();

constexpr char kHeader[] = "medium manifest 1\r\n";
constexpr char kEnd[] = "end ";

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool ParseHex8(std::string_view text, uint32_t& value)
{
    if (text.size() != 8)
        return false;
    value = 0;
    for (char c : text) {
        if (!IsHexDigit(c))
            return false;
        value = (value << 4) | static_cast<uint32_t>(c <= '9' ? c - '0' : c - 'a' + 10);
    }
    return true;
}

// Decimal without sign or leading zero, within 64 bits.
bool ParseDecimal(std::string_view text, uint64_t& value)
{
    if (text.empty() || text.size() > 20 || (text.size() > 1 && text[0] == '0'))
        return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return false;
        value = value * 10 + digit;
    }
    return true;
}

// A name a medium can hold under its root: relative, no empty, "." or ".."
// element, no drive, no control character.
bool IsMediumName(std::string_view name)
{
    if (name.empty())
        return false;
    size_t start = 0;
    for (;;) {
        const size_t end = std::min(name.find_first_of("\\/", start), name.size());
        const std::string_view element = name.substr(start, end - start);
        if (element.empty() || element == "." || element == "..")
            return false;
        if (end == name.size())
            break;
        start = end + 1;
    }
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == ':' || c == 0x7F;
    });
}

std::string Hex8(uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(value));
    return text;
}

// Splits off the text up to the first blank.
bool TakeField(std::string_view& line, std::string_view& field)
{
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos)
        return false;
    field = line.substr(0, blank);
    line.remove_prefix(blank + 1);
    return true;
}

}  // namespace

uint32_t Crc32Update(uint32_t state, const void* data, size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    const auto& t = kCrcTables;
    while (size >= 8) {
        const uint32_t low = state ^ (static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                      static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
        state = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
                t[3][bytes[4]] ^ t[2][bytes[5]] ^ t[1][bytes[6]] ^ t[0][bytes[7]];
        bytes += 8;
        size -= 8;
    }
    while (size-- > 0)
        state = (state >> 8) ^ t[0][(state ^ *bytes++) & 0xFF];
    return state;
}

uint32_t Crc32(std::string_view bytes)
{
    return Crc32Final(Crc32Update(Crc32Init, bytes.data(), bytes.size()));
}

std::string SealKey(std::string_view utf8Name)
{
    std::string key(utf8Name);
    for (size_t i = 0; i < key.size(); ++i) {
        const auto c = static_cast<unsigned char>(key[i]);
        if (c >= 'a' && c <= 'z')
            key[i] = static_cast<char>(c - 'a' + 'A');
        else if (c == '/')
            key[i] = '\\';
        // U+00E0..U+00FE but U+00F7 (C3 A0..C3 BE but C3 B7): the accented
        // small letters of Latin-1, whose capitals lie 0x20 below.
        // The byte after is not skipped: in a name that is no UTF-8 it may
        // be a letter, to be folded like any other.
        else if (c == 0xC3 && i + 1 < key.size()) {
            const auto next = static_cast<unsigned char>(key[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
                key[i + 1] = static_cast<char>(next - 0x20);
        }
    }
    return key;
}

std::string DamagedMediumMessage(std::string_view name)
{
    return "Damaged medium: " + std::string(name);
}

bool MediumSeal::Parse(std::string_view bytes)
{
    entries_.clear();
    keys_.clear();
    if (bytes.size() > kManifestMaxSize || bytes.substr(0, sizeof kHeader - 1) != kHeader)
        return false;
    size_t at = sizeof kHeader - 1;
    std::vector<SealEntry> entries;
    for (;;) {
        const size_t lineEnd = bytes.find("\r\n", at);
        if (lineEnd == std::string_view::npos)
            return false;
        std::string_view line = bytes.substr(at, lineEnd - at);
        const size_t lineStart = at;
        at = lineEnd + 2;
        std::string_view first;
        if (!TakeField(line, first))
            return false;
        if (first == "end") {
            std::string_view count;
            uint64_t listed = 0;
            uint32_t crc = 0;
            if (at != bytes.size() || !TakeField(line, count) || !ParseDecimal(count, listed) ||
                listed != entries.size() || !ParseHex8(line, crc) || Crc32(bytes.substr(0, lineStart)) != crc)
                return false;
            break;
        }
        SealEntry entry;
        std::string_view size;
        if (!ParseHex8(first, entry.crc) || !TakeField(line, size) || !ParseDecimal(size, entry.size) ||
            !IsMediumName(line))
            return false;
        entry.name = line;
        entries.push_back(std::move(entry));
    }
    std::vector<std::string> keys;
    keys.reserve(entries.size());
    for (const SealEntry& entry : entries)
        keys.push_back(SealKey(entry.name));
    // Sorted and without a name twice, as WriteSeal writes them.
    for (size_t i = 1; i < keys.size(); ++i)
        if (!(keys[i - 1] < keys[i]))
            return false;
    entries_ = std::move(entries);
    keys_ = std::move(keys);
    return true;
}

const SealEntry* MediumSeal::Find(std::string_view utf8Name) const
{
    const std::string key = SealKey(utf8Name);
    const auto found = std::lower_bound(keys_.begin(), keys_.end(), key);
    if (found == keys_.end() || *found != key)
        return nullptr;
    return &entries_[static_cast<size_t>(found - keys_.begin())];
}

bool WriteSeal(std::vector<SealEntry> entries, std::string& text)
{
    text.clear();
    std::vector<std::pair<std::string, size_t>> order;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!IsMediumName(entries[i].name))
            return false;
        order.emplace_back(SealKey(entries[i].name), i);
    }
    std::sort(order.begin(), order.end());
    std::string out = kHeader;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && order[i - 1].first == order[i].first)
            return false;
        const SealEntry& entry = entries[order[i].second];
        std::string name = entry.name;
        std::replace(name.begin(), name.end(), '/', '\\');
        out += Hex8(entry.crc) + ' ' + std::to_string(entry.size) + ' ' + name + "\r\n";
    }
    out += kEnd + std::to_string(order.size()) + ' ' + Hex8(Crc32(out)) + "\r\n";
    text = std::move(out);
    return true;
}
