#include "wordlist/language_list.h"

#include <string>
#include <string_view>

#include "shell/text_file.h"

namespace {

void CopyField(char* dst, size_t dstSize, std::string_view text)
{
    // The catalogue line is at most 99 bytes, so every field fits.
    CopyText(dst, dstSize, std::string(text).c_str());
}

// One usable line into buf; at the end of the file, the fault that ending
// there means.
bool ReadListLine(LanguageListReader& reader, char* buf, SetupLineCursor& at, LanguageListFault atEnd)
{
    if (ReadSetupLine(reader.file, buf, &reader.cursor)) {
        at = reader.cursor;
        return true;
    }
    reader.fault = std::ferror(reader.file) ? LanguageListFault::ReadError : atEnd;
    return false;
}

}  // namespace

const char* LanguageListMessage(LanguageListFault fault)
{
    switch (fault) {
    case LanguageListFault::None:
        break;
    case LanguageListFault::CannotOpen:
        return "Can't open LANGUAGE.CF";
    case LanguageListFault::BadLanguageLine:
        return "Bad language line in LANGUAGE.CF";
    case LanguageListFault::IncompleteEntry:
        return "Incomplete entry in LANGUAGE.CF";
    case LanguageListFault::BadListName:
        return "Bad list name in LANGUAGE.CF";
    case LanguageListFault::ReadError:
        return "Read error LANGUAGE.CF";
    }
    return "";
}

bool ReadCatalogueLine(LanguageListReader& reader, LanguageEntry& entry)
{
    reader.catalogueAt = reader.fromAt = reader.toAt = SetupLineCursor{0, 0, true};
    char line[kSetupLineSize];
    if (!ReadListLine(reader, line, reader.catalogueAt, LanguageListFault::None))
        return false;
    if (!SplitCatalogueLine(line, entry)) {
        reader.fault = LanguageListFault::BadLanguageLine;
        return false;
    }
    return true;
}

bool ReadListNames(LanguageListReader& reader, LanguageEntry& entry)
{
    if (!ReadListLine(reader, entry.fromListName, reader.fromAt, LanguageListFault::IncompleteEntry) ||
        !ReadListLine(reader, entry.toListName, reader.toAt, LanguageListFault::IncompleteEntry))
        return false;
    if (IsTemporaryListName(entry.fromListName) || IsTemporaryListName(entry.toListName)) {
        reader.fault = LanguageListFault::BadListName;
        return false;
    }
    return true;
}

// Field 1 keeps the commas in front of it; fields 2 to 4 are the fields
// themselves. Whatever follows the fourth field is ignored.
bool SplitCatalogueLine(const char* line, LanguageEntry& entry)
{
    std::string_view text(line);
    FieldSpan fields[4];
    if (SplitFields(text, fields, 4) < 4)
        return false;
    CopyField(entry.field1, sizeof entry.field1, text.substr(0, fields[0].start + fields[0].length));
    CopyField(entry.field2, sizeof entry.field2, text.substr(fields[1].start, fields[1].length));
    CopyField(entry.field3, sizeof entry.field3, text.substr(fields[2].start, fields[2].length));
    CopyField(entry.languageName, sizeof entry.languageName,
              text.substr(fields[3].start, fields[3].length));
    return true;
}

// The builder's temporary lists are langue\temp.wb and langue\temp.to: a
// FROM list of either name would be emptied or moved away, a TO list
// deleted once written. Windows names ignore case and trailing dots and
// blanks.
bool IsTemporaryListName(const char* name)
{
    std::string_view text(name);
    while (!text.empty() && (text.back() == '.' || text.back() == ' '))
        text.remove_suffix(1);
    return text.size() == 7 && (KeywordMatches(name, "temp.wb") || KeywordMatches(name, "temp.to"));
}
