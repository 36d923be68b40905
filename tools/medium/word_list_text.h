// Word lists as text for people: one record a line in UTF-8, key, a tab,
// value. A tab, a line feed and a backslash are written \t, \n and \\; a
// byte with no printable Windows-1252 character \xHH.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TextFault {
    int line;  // from 1
    std::string text;
};

// One line of the text, line feed included, for a key and a value in
// Windows-1252.
std::string ExportLine(std::string_view key, std::string_view value);

// The text of a whole list, one line a record, when an import gives the
// same bytes back: every record's fields ended inside themselves by a zero
// byte, only zeros after it, a key, the reserved bytes 0, and no bytes
// after the last whole record. Otherwise false, with one fault for each
// record that breaks this (its number as the line; the bytes after the last
// record count as one more), and text empty.
bool ExportText(std::string_view list, std::string& text, std::vector<TextFault>& faults);

// The word list the text describes, as 84-byte zero-filled records. Every
// line must hold exactly one tab; a key of 1 to 30 bytes and a value of at
// most 50 once converted; valid UTF-8 whose characters all have a
// Windows-1252 byte; only the escapes above, none of them a zero byte.
// Lines end with LF or CR LF; a UTF-8 byte order mark before the first and
// empty lines after the last are no records. Returns false, with one fault
// for each bad line, when the text is refused; list is then empty.
bool ImportText(std::string_view text, std::string& list, std::vector<TextFault>& faults);
