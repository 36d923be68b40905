#include "wordlist/language_list.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "catalogue/catalogue.h"
#include "shell/collation.h"
#include "shell/fatal_error.h"
#include "shell/install_record.h"
#include "shell/message_box.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "wordlist/language_entry.h"
#include "wordlist/reverse_list.h"

namespace {

const char kLanguageListFile[] = "langue.cf";

const char kCollationWarning[] =
    "Erreur de reconnaissance des caract\xE8res.\n"
    "Le tri alphab\xE9tique ne sera pas correct.\n\n"
    "Installez la prise en charge multilingue \xE0 partir de votre CD-Rom Windows.   ";

void CopyField(char* dst, size_t dstSize, std::string_view text)
{
    // The catalogue line is at most 99 bytes, so every field fits.
    CopyText(dst, dstSize, std::string(text).c_str());
}

// One more usable line of the entry; the entry must not end with the file.
void ReadEntryLine(FILE* file, char* buf)
{
    if (ReadSetupLine(file, buf))
        return;
    if (std::ferror(file))
        FatalError("Read error LANGUAGE.CF");
    FatalError("Incomplete entry in LANGUAGE.CF");
}

// The record of the installation names files by their full paths; the
// builder's files are named relative to the install directory, which is
// current, the lists relative to its list folder.
std::string InstalledPath(const char* name)
{
    return std::string(setup.installPrefix) + name;
}

std::string InstalledListPath(const char* listName)
{
    return InstalledPath(kListFolder) + listName;
}

// Before a build: the TO list and the temporary files a killed build leaves.
void RecordListBuild(const char* toListName)
{
    RecordFileToWrite(InstalledPath(kTempListPath).c_str());
    RecordFileToWrite(InstalledPath(kTempToPath).c_str());
    RecordFileToWrite(InstalledListPath(toListName).c_str());
}

}  // namespace

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

void ProcessLanguageList()
{
    // Its owner closes what a fatal error in a test leaves open; in the
    // program the process simply ends.
    ScopedFile list(OpenTextRead(kLanguageListFile));
    FILE* file = list.get();
    if (!file)
        FatalError("Can't open LANGUAGE.CF");

    // One language per three usable lines: its catalogue line, its FROM
    // list, its TO list.
    LanguageEntry entry{};
    char line[kSetupLineSize];
    for (int entryIndex = 0; ReadSetupLine(file, line); ++entryIndex) {
        if (!SplitCatalogueLine(line, entry))
            FatalError("Bad language line in LANGUAGE.CF");

        // Without French the sorts fall back to bytes; the user is told,
        // once for every language, and the lists are built all the same.
        if (!SetFrenchCollation())
            ShowMessageBox(BoxOwner::None, kCollationWarning, "Installation", BoxIcon::Warning);

        ReadEntryLine(file, entry.fromListName);
        ReadEntryLine(file, entry.toListName);
        if (IsTemporaryListName(entry.fromListName) || IsTemporaryListName(entry.toListName))
            FatalError("Bad list name in LANGUAGE.CF");

        // The catalogue, the reversed list, then the language's line. The
        // old line goes and the new one comes in one replacement of
        // dict.ini: two would lose the language's line when the second one
        // fails.
        if (entryIndex == 0)
            CreateCatalogue(entry.fromListName);
        RecordListBuild(entry.toListName);
        BuildReverseList(entry);
        RecordFileWritten(InstalledListPath(entry.toListName).c_str());
        if (InstallRecordIsOpen()) {
            for (const std::string& replaced : LanguageLinesOf(entry.languageName))
                RecordReplacedCatalogueLine(replaced.c_str());
        }
        RecordCatalogueLine(
            LanguageLine(entry.field1, entry.field2, entry.field3, entry.languageName).c_str());
        const bool replaced = ReplaceLanguageEntry(entry.field1, entry.field2, entry.field3,
                                                   entry.languageName) == 0;
        LogLine("Catalogue line %s,%s,%s,%s %s", entry.field1, entry.field2, entry.field3,
                entry.languageName, replaced ? "written" : "not written: dict.ini kept as it was");
    }

    // The list is deleted when used up; one that could not be read to its
    // end is kept for another run.
    bool readFailed = std::ferror(file) != 0;
    list.reset();
    if (readFailed)
        FatalError("Read error LANGUAGE.CF");
    std::remove(kLanguageListFile);
}
