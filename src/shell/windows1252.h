// Windows-1252, the character set of every file the product reads and
// writes, UTF-8, the form of every path inside the programs, and the
// Windows rule for comparing file names. Portable.
#pragma once

#include <string>
#include <string_view>

// The character of a byte, or false for the five bytes that have none
// (0x81, 0x8D, 0x8F, 0x90, 0x9D).
bool Windows1252Character(unsigned char byte, char32_t& character);

// The byte of a character, or false when the set has none (the C1 control
// of a byte without a character gives that byte back).
bool Windows1252Byte(char32_t character, unsigned char& byte);

// Appends the UTF-8 form of a character.
void AppendUtf8(std::string& out, char32_t character);

// Decodes one UTF-8 character at text[at], moving at past it. False (at
// unchanged) for a malformed, overlong or surrogate sequence.
bool NextUtf8(std::string_view text, size_t& at, char32_t& character);

// Text for people: each byte as its character in UTF-8; a byte with no
// character as \xHH.
std::string ShownText(std::string_view windows1252);

// The UTF-8 name of a host file in Windows-1252, as the platform's narrow
// calls show it: '?' for a character that has no byte (or a byte that is no
// UTF-8), and then false.
bool Utf8ToWindows1252(std::string_view utf8, std::string& out);

// The UTF-8 form of Windows-1252 text.
std::string Windows1252ToUtf8(std::string_view text);

// How many UTF-16 units Windows counts in a UTF-8 path: its limit of 259
// characters is counted so (a malformed byte counts as one).
size_t PathLength(std::string_view utf8);

// True for text that a publisher's editor saved as UTF-8: a byte order mark,
// or bytes past ASCII that all form UTF-8 characters. Windows-1252 text
// seldom does (accented letters stand alone there).
bool ReadsAsUtf8(std::string_view bytes);

// True when every byte belongs to a well-formed UTF-8 character.
bool IsUtf8(std::string_view text);

// A name with its letters in capitals, as Windows compares file names
// (accented letters included).
std::string FoldedName(std::string_view windows1252);
