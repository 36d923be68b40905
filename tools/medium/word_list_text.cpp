#include "word_list_text.h"

#include <cstddef>
#include <cstdio>

#include "windows1252.h"
#include "wordlist/word_list.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, std::string_view text)
{
    for (char byte : text) {
        const unsigned char b = static_cast<unsigned char>(byte);
        char32_t c;
        if (byte == '\t') {
            out += "\\t";
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\\') {
            out += "\\\\";
        } else if (Windows1252Character(b, c) && c >= 0x20 && c != 0x7F) {
            AppendUtf8(out, c);
        } else {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One side of a line into Windows-1252; the reason when it cannot be.
bool Decode(std::string_view text, std::string& out, std::string& why)
{
    out.clear();
    for (size_t at = 0; at < text.size();) {
        if (text[at] == '\\') {
            const char kind = at + 1 < text.size() ? text[at + 1] : '\0';
            if (kind == 't' || kind == 'n' || kind == '\\') {
                out += kind == 't' ? '\t' : kind == 'n' ? '\n' : '\\';
                at += 2;
                continue;
            }
            const int high = kind == 'x' && at + 2 < text.size() ? HexDigit(text[at + 2]) : -1;
            const int low = high >= 0 && at + 3 < text.size() ? HexDigit(text[at + 3]) : -1;
            if (low < 0) {
                why = "a backslash must start \\t, \\n, \\\\ or \\xHH";
                return false;
            }
            if (high == 0 && low == 0) {
                why = "\\x00: a zero byte would end the text";
                return false;
            }
            out += static_cast<char>(high * 16 + low);
            at += 4;
            continue;
        }
        char32_t c;
        const size_t start = at;
        if (!NextUtf8(text, at, c)) {
            why = "not UTF-8 at byte " + std::to_string(start + 1) + " of the line";
            return false;
        }
        unsigned char byte;
        if (c == 0 || !Windows1252Byte(c, byte)) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
            why = std::string("the character ") + code + " has no Windows-1252 byte";
            return false;
        }
        out += static_cast<char>(byte);
    }
    return true;
}

// The fault of one line, or "" when it makes a record.
std::string ImportLine(std::string_view line, std::string& list)
{
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
        return "no tab between key and value";
    if (line.find('\t', tab + 1) != std::string_view::npos)
        return "more than one tab: a tab inside a text is written \\t";
    std::string key, value, why;
    if (!Decode(line.substr(0, tab), key, why))
        return "key: " + why;
    if (!Decode(line.substr(tab + 1), value, why))
        return "value: " + why;
    if (key.empty())
        return "empty key";
    if (key.size() > static_cast<size_t>(kMaxKeyLength))
        return "key of " + std::to_string(key.size()) + " bytes: at most 30";
    if (value.size() > static_cast<size_t>(kMaxValueLength))
        return "value of " + std::to_string(value.size()) + " bytes: at most 50";
    std::string record(sizeof(WordRecord), '\0');
    record.replace(0, key.size(), key);
    record.replace(offsetof(WordRecord, value), value.size(), value);
    list += record;
    return "";
}

}  // namespace

std::string ExportLine(std::string_view key, std::string_view value)
{
    std::string line;
    AppendEscaped(line, key);
    line += '\t';
    AppendEscaped(line, value);
    line += '\n';
    return line;
}

bool ImportText(std::string_view text, std::string& list, std::vector<TextFault>& faults)
{
    list.clear();
    faults.clear();
    int number = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string_view line = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end == std::string_view::npos ? text.size() : end + 1;
        ++number;
        if (end != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string fault = ImportLine(line, list);
        if (!fault.empty())
            faults.push_back({number, fault});
    }
    if (!faults.empty())
        list.clear();
    return faults.empty();
}
