#include "shell/windows1252.h"

#include <algorithm>

namespace {

// 0x80 to 0x9F; 0 where the byte has no character.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

bool Windows1252Character(unsigned char byte, char32_t& character)
{
    if (byte >= 0x80 && byte <= 0x9F) {
        character = kHighControls[byte - 0x80];
        return character != 0;
    }
    character = byte;
    return true;
}

bool Windows1252Byte(char32_t character, unsigned char& byte)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        byte = static_cast<unsigned char>(character);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        // The five bytes without a character come back from their C1
        // controls, as Windows converts them both ways.
        if (kHighControls[i] == character || (kHighControls[i] == 0 && character == 0x80u + i)) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool NextUtf8(std::string_view text, size_t& at, char32_t& character)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    size_t length;
    char32_t c;
    char32_t least;
    if (lead < 0x80) {
        character = lead;
        ++at;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, c = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, c = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, c = lead & 0x07, least = 0x10000;
    } else {
        return false;
    }
    if (text.size() - at < length)
        return false;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    character = c;
    at += length;
    return true;
}

std::string ShownText(std::string_view text)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown;
    for (char byte : text) {
        const unsigned char b = static_cast<unsigned char>(byte);
        char32_t c;
        if (Windows1252Character(b, c) && c >= 0x20 && c != 0x7F) {
            AppendUtf8(shown, c);
        } else {
            shown += "\\x";
            shown += kHex[b >> 4];
            shown += kHex[b & 15];
        }
    }
    return shown;
}

bool Utf8ToWindows1252(std::string_view utf8, std::string& out)
{
    out.clear();
    bool whole = true;
    for (size_t at = 0; at < utf8.size();) {
        char32_t c;
        unsigned char byte;
        if (!NextUtf8(utf8, at, c)) {
            ++at;
            byte = '?';
            whole = false;
        } else if (!Windows1252Byte(c, byte)) {
            byte = '?';
            whole = false;
        }
        out += static_cast<char>(byte);
    }
    return whole;
}

std::string Windows1252ToUtf8(std::string_view text)
{
    std::string utf8;
    utf8.reserve(text.size());
    for (char byte : text) {
        const unsigned char b = static_cast<unsigned char>(byte);
        char32_t c;
        // The five bytes without a character stay C1 controls, as Windows
        // converts them, so that a name holding one still names its file.
        AppendUtf8(utf8, Windows1252Character(b, c) ? c : b);
    }
    return utf8;
}

size_t PathLength(std::string_view utf8)
{
    size_t units = 0;
    for (size_t at = 0; at < utf8.size();) {
        char32_t c = 0;
        if (!NextUtf8(utf8, at, c))
            ++at;
        units += c >= 0x10000 ? 2 : 1;
    }
    return units;
}

bool ReadsAsUtf8(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        return true;
    const bool pastAscii = std::any_of(bytes.begin(), bytes.end(),
                                       [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
    return pastAscii && IsUtf8(bytes);
}

bool IsUtf8(std::string_view text)
{
    char32_t c;
    for (size_t at = 0; at < text.size();) {
        if (!NextUtf8(text, at, c))
            return false;
    }
    return true;
}

std::string FoldedName(std::string_view name)
{
    std::string folded(name);
    for (char& byte : folded) {
        unsigned char b = static_cast<unsigned char>(byte);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            b = static_cast<unsigned char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)  // š œ ž
            b = static_cast<unsigned char>(b - 0x10);
        else if (b == 0xFF)  // ÿ
            b = 0x9F;
        byte = static_cast<char>(b);
    }
    return folded;
}
