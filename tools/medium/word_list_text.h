// Word lists as text for people: one record a line in UTF-8, key, a tab,
// value. A tab, a line feed and a backslash are written \t, \n and \\; a
// byte with no printable Windows-1252 character \xHH.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One line of the text, line feed included, for a key and a value in
// Windows-1252.
std::string ExportLine(std::string_view key, std::string_view value);

struct TextFault {
    int line;  // from 1
    std::string text;
};

// The word list the text describes, as 84-byte zero-filled records. Every
// line must hold exactly one tab; a key of 1 to 30 bytes and a value of at
// most 50 once converted; valid UTF-8 whose characters all have a
// Windows-1252 byte; only the escapes above, none of them a zero byte.
// Lines end with LF or CR LF. Returns false, with one fault for each bad
// line, when the text is refused; list is then empty.
bool ImportText(std::string_view text, std::string& list, std::vector<TextFault>& faults);
