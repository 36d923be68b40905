// The catalogue dict.ini: its creation from the template, the replacement of
// one language's line and the sort of the [langue] section by language name.
// Every operation works on dict.ini and tmp.ini in the current directory and
// rewrites dict.ini by writing tmp.ini in full, flushing it to disk and then
// replacing dict.ini in one step. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr char kCatalogueFile[] = "dict.ini";
constexpr char kTempFile[] = "tmp.ini";

// --- Language lines -----------------------------------------------------

// Writes dict.ini from its template when it does not exist yet; moves the
// status lines one row down when verbose. "Can't create DICT.INI" is fatal.
void CreateCatalogue(const char* fromListName);

// Drops every line of dict.ini that belongs to the language (see the .cpp).
// 0 when dict.ini was replaced, -1 when it kept its old content.
int RemoveLanguageEntries(const char* languageName);

// The language's line as the catalogue holds it: "field1,field2,field3,languageName".
std::string LanguageLine(const char* field1, const char* field2, const char* field3,
                         const char* languageName);

// Appends "field1,field2,field3,languageName" to the end of every section
// that starts with a line beginning with "[langue]". 0 or -1 as above.
int AddLanguageEntry(const char* field1, const char* field2, const char* field3,
                     const char* languageName);

// The same for a whole line, as LanguageLine makes it or as another
// product wrote it.
int AddLanguageLine(const std::string& line);

// RemoveLanguageEntries and then AddLanguageEntry in one rewrite of
// dict.ini, so that the language's line is never missing from the file:
// when the replacement fails, the old line stays. 0 or -1 as above.
int ReplaceLanguageEntry(const char* field1, const char* field2, const char* field3,
                         const char* languageName);

// --- The section sort ---------------------------------------------------

// One language line held for the sort; slots never move, references do.
struct LanguageSlot {
    std::string text;  // the whole line without its line end
    std::string key;   // fourth field, or the first when there are fewer than four
};

// Counts the language lines of dict.ini; -1 when it cannot be opened or read.
int32_t CountLanguageEntries();

// The language lines of dict.ini that RemoveLanguageEntries would drop,
// without their line ends; none when dict.ini cannot be read.
std::vector<std::string> LanguageLinesOf(const char* languageName);

// True when a language line of dict.ini is exactly text, its line end aside;
// false too when dict.ini cannot be read.
bool HoldsLanguageLine(std::string_view text);

// Rewrites dict.ini with its language lines in collation order. 0 when it
// was rewritten, -1 when it was left as it was. Lines past the [langue]
// header that are not language lines are kept after the sorted lines, but
// for later [langue] headers, which would make sections of their own.
int SortLanguageSection(int32_t entryCount);

// Orders two slots by key: French collation once the driver has set it,
// otherwise bytes with A-Z folded.
int CompareLanguageSlots(const LanguageSlot* a, const LanguageSlot* b);
