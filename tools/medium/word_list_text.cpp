#include "word_list_text.h"

#include <cstddef>
#include <cstdio>

#include "shell/windows1252.h"
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

// A field's text: up to its zero byte.
std::string_view TextOf(std::string_view field)
{
    return field.substr(0, field.find('\0'));
}

// Why a field of a record would not come back from its line, or "".
std::string FieldFault(std::string_view field, const char* name)
{
    const size_t end = field.find('\0');
    if (end == std::string_view::npos)
        return std::string("the ") + name + " has no zero byte in its " + std::to_string(field.size()) +
               " bytes: the text carries only the first " + std::to_string(field.size() - 1);
    if (field.find_first_not_of('\0', end) != std::string_view::npos)
        return std::string("bytes after the end of the ") + name + " are not zero: the text cannot carry them";
    return "";
}

std::string RecordFault(std::string_view record)
{
    const std::string_view key = record.substr(0, kKeyFieldSize);
    std::string fault = FieldFault(key, "key");
    if (fault.empty())
        fault = FieldFault(record.substr(offsetof(WordRecord, value), kValueFieldSize), "value");
    if (fault.empty() && key[0] == '\0')
        fault = "empty key: an import refuses it";
    const std::string_view reserved = record.substr(offsetof(WordRecord, reserved));
    if (fault.empty() && reserved.find_first_not_of('\0') != std::string_view::npos)
        fault = "the last two bytes of the record are not zero: the text cannot carry them";
    return fault;
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

bool ExportText(std::string_view list, std::string& text, std::vector<TextFault>& faults)
{
    text.clear();
    faults.clear();
    const size_t size = sizeof(WordRecord);
    int number = 1;
    for (size_t at = 0; at + size <= list.size(); at += size, ++number) {
        const std::string_view record = list.substr(at, size);
        std::string fault = RecordFault(record);
        if (!fault.empty())
            faults.push_back({number, fault});
        else if (faults.empty())
            text += ExportLine(TextOf(record.substr(0, kKeyFieldSize)),
                               TextOf(record.substr(offsetof(WordRecord, value), kValueFieldSize)));
    }
    if (list.size() % size != 0)
        faults.push_back({number, std::to_string(list.size() % size) +
                                      " bytes after the last whole record: the text cannot carry them"});
    if (!faults.empty())
        text.clear();
    return faults.empty();
}

bool ImportText(std::string_view text, std::string& list, std::vector<TextFault>& faults)
{
    list.clear();
    faults.clear();
    // What editors add around a text: a byte order mark, empty lines at the end.
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        text.remove_prefix(kByteOrderMark.size());
    while (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
    }
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
