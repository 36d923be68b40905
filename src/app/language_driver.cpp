#include "app/language_driver.h"

#include <cstdio>
#include <string>

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
#include "wordlist/language_list.h"
#include "wordlist/reverse_list.h"
#include "shell/windows1252.h"

namespace {

const char kCollationWarning[] =
    "Erreur de reconnaissance des caract\xE8res.\n"
    "Le tri alphab\xE9tique ne sera pas correct.\n\n"
    "Installez la prise en charge multilingue \xE0 partir de votre CD-Rom Windows.   ";

// The record of the installation names files by their full paths; the
// builder's files are named relative to the install directory, which is
// current, the lists relative to its list folder.
std::string InstalledPath(const char* name)
{
    return std::string(setup.installPrefix) + name;
}

// The list names of langue.cf are Windows-1252, paths UTF-8.
std::string InstalledListPath(const char* listName)
{
    return InstalledPath(kListFolder) + Windows1252ToUtf8(listName);
}

// Before a build: the temporary files a killed build leaves, and the TO
// list, put aside when there is one.
void RecordListBuild(const char* toListName)
{
    RecordFileToWrite(InstalledPath(kTempListPath).c_str());
    RecordFileToWrite(InstalledPath(kTempToPath).c_str());
    const std::string toList = InstalledListPath(toListName);
    if (!RecordFileToReplace(toList.c_str()))
        LogLine("Journal: %s cannot be put aside, a failure leaves it changed", toList.c_str());
}

}  // namespace

void ProcessLanguageList()
{
    // Its owner closes what a fatal error in a test leaves open; in the
    // program the process simply ends.
    ScopedFile list(OpenTextRead(kLanguageListFile));
    if (!list)
        FatalError(LanguageListMessage(LanguageListFault::CannotOpen));

    // One language per three usable lines: its catalogue line, its FROM
    // list, its TO list.
    LanguageListReader reader;
    reader.file = list.get();
    LanguageEntry entry{};
    for (int entryIndex = 0; ReadCatalogueLine(reader, entry); ++entryIndex) {
        // Without French the sorts fall back to bytes; the user is told,
        // once for every language, and the lists are built all the same.
        if (!SetFrenchCollation())
            ShowMessageBox(BoxOwner::None, kCollationWarning, "Installation", BoxIcon::Warning);

        if (!ReadListNames(reader, entry))
            FatalError(LanguageListMessage(reader.fault));

        // The catalogue, the reversed list, then the language's line. The
        // old line goes and the new one comes in one replacement of
        // dict.ini: two would lose the language's line when the second one
        // fails.
        if (entryIndex == 0)
            CreateCatalogue(entry.fromListName);
        RecordListBuild(entry.toListName);
        BuildReverseList(entry);
        RecordFileWritten(InstalledListPath(entry.toListName).c_str());
        if (!CurrentRunJournal().recordPath.empty()) {
            for (const std::string& replaced : LanguageLinesOf(entry.languageName))
                RecordReplacedCatalogueLine(replaced.c_str());
        }
        RecordCatalogueLine(
            LanguageLine(entry.field1, entry.field2, entry.field3, entry.languageName).c_str());
        const bool replaced = ReplaceLanguageEntry(entry.field1, entry.field2, entry.field3,
                                                   entry.languageName) == 0;
        LogLine("Catalogue line %s %s",
                Windows1252ToUtf8(LanguageLine(entry.field1, entry.field2, entry.field3, entry.languageName)).c_str(),
                replaced ? "written" : "not written: dict.ini kept as it was");
    }
    if (reader.fault == LanguageListFault::BadLanguageLine)
        FatalError(LanguageListMessage(reader.fault));

    // The list is deleted when used up; one that could not be read to its
    // end is kept for another run.
    list.reset();
    if (reader.fault != LanguageListFault::None)
        FatalError(LanguageListMessage(reader.fault));
    RemovePath(kLanguageListFile);
}
