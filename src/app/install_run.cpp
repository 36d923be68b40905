// The installation run: validation of the install directory and the order
// of the installing steps.
#include "app/install_run.h"

#include <windows.h>

#include "app/language_driver.h"
#include "app/main_window.h"
#include "app/program_entry.h"
#include "app/run_journal.h"
#include "app/window_globals.h"
#include "catalogue/catalogue.h"
#include "script/install_script.h"
#include "script/shortcut.h"
#include "shell/fatal_error.h"
#include "shell/install_record.h"
#include "shell/message_box.h"
#include "shell/run_log.h"
#include "shell/run_mode.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/wide_text.h"
#include "shell/windows1252.h"
#include "wordlist/language_list.h"

namespace {

// A relative name is checked against the directory the chooser left
// current, but the copy commands move the current directory to the medium:
// keep the directory that was checked, by its full name.
bool MakeAbsolute(char* dir)
{
    const std::string full = Utf8Path(FullWidePath(dir));
    return !full.empty() && JoinPath(dir, {full.c_str()});
}

// Whether the last accepted directory was made by the program: an
// uninstallation then removes it too, once empty.
bool installDirMade = false;

// The run's key in the list of installed programs.
std::string entryKey;

// A medium that asks for an uninstallation gets its record in the install
// directory (the run's entries go there when it commits), a copy of this
// program beside it and its entry in the list of installed programs.
void BeginInstallRecord()
{
    if (setup.uninstallName[0] == '\0')
        return;
    char prefix[kPathSize], recordPath[kPathSize], catalogue[kPathSize];
    char uninstaller[kPathSize];
    const std::string program = ProgramFilePath();
    if (!MakeDirPrefix(prefix, setup.installDir) || !JoinPath(recordPath, {prefix, kRecordFile}) ||
        !JoinPath(catalogue, {prefix, kCatalogueFile}) || !JoinPath(uninstaller, {prefix, kUninstallerFile}) ||
        program.empty() || !KeepRunInRecord(recordPath)) {
        LogLine("Uninstallation: %s cannot be written, nothing is recorded", kRecordFile);
        return;
    }
    RecordProduct(setup.uninstallName, setup.title, setup.installDir);
    if (installDirMade)
        RecordInstallDirMade();
    if (GetFileAttributesW(WidePath(catalogue).c_str()) == INVALID_FILE_ATTRIBUTES)
        RecordCatalogueMade();
    // One that is there already is this same program, an earlier copy of
    // it: replaced, not kept.
    const bool uninstallerThere = GetFileAttributesW(WidePath(uninstaller).c_str()) != INVALID_FILE_ATTRIBUTES;
    if ((!uninstallerThere && !RecordFileToReplace(uninstaller)) ||
        !CopyFileW(WidePath(program.c_str()).c_str(), WidePath(uninstaller).c_str(), FALSE)) {
        LogLine("Uninstallation: %s not copied (error %lu)", uninstaller, GetLastError());
        RecordFileNotWritten(uninstaller);
    } else {
        RecordFileWritten(uninstaller);
    }
    if (!RegisterProgram(setup.uninstallName, setup.installDir, entryKey))
        LogLine("Uninstallation: the entry of the list of installed programs cannot be written");
    LogLine("Uninstallation recorded in %s", recordPath);
}

// The list of installed programs shows the size of what the installation
// wrote and left (langue.cf, for one, is gone once used).
void EndInstallRecord()
{
    if (CurrentRunJournal().recordPath.empty())
        return;
    uint64_t bytes = 0, size = 0, time = 0;
    // With the earlier bytes kept for the uninstallation.
    for (const RecordedFile& file : CurrentInstallRecord().files) {
        bytes += file.stamped && FileStamp(file.path.c_str(), size, time) ? size : 0;
        for (const std::string& aside : file.asides)
            bytes += FileStamp(aside.c_str(), size, time) ? size : 0;
    }
    SetProgramSize(entryKey, bytes);
}

// Before the first change of the catalogue: its state from before the run,
// and the temporary file of its rewrites.
void RecordCatalogue()
{
    char catalogue[kPathSize], catalogueTemp[kPathSize];
    if (!JoinPath(catalogue, {setup.installPrefix, kCatalogueFile}) ||
        !JoinPath(catalogueTemp, {setup.installPrefix, kTempFile}))
        return;
    if (!RecordCatalogueBefore(catalogue))
        LogLine("Journal: %s cannot be copied, a failure leaves it changed", catalogue);
    RecordFileToWrite(catalogueTemp);
}

}  // namespace

int ValidateInstallDir(HWND directoryField)
{
    // A longer text would be cut to another name: never install there.
    const int length = GetWindowTextLengthW(directoryField);
    std::wstring typed(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    typed.resize(static_cast<size_t>(GetWindowTextW(directoryField, &typed[0], length + 1)));
    // A drive alone names its root, not the drive's current directory (the
    // medium's own folder, when the medium is on that drive).
    if (typed.size() == 2 && IsCharAlphaW(typed[0]) && typed[1] == L':')
        typed += L'\\';
    const bool fits = JoinPath(setup.installDir, {Utf8Path(typed).c_str()});
    const std::wstring wide = WidePath(setup.installDir);
    const bool existed = fits && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::string full = Utf8Path(FullWidePath(setup.installDir));
    if (fits && !existed && !full.empty() && PathLength(full) <= kPathLimit)
        RecordFolder(full.c_str());
    installDirMade = fits && !existed && CreateDirectoryW(wide.c_str(), nullptr);
    if ((existed || installDirMade) && MakeAbsolute(setup.installDir)) {
        LogLine("Install directory: %s", setup.installDir);
        return 0;
    }
    LogLine("Install directory refused: %s", Utf8Path(typed).c_str());
    ShowMessageBox(BoxOwner::MainWindow, "Invalid Directory", "Error", BoxIcon::Error);
    if (Unattended()) {
        // Nobody can type another directory: the run ends, told by its code.
        RollBackRun();
        ExitProcess(EndRunLog(2));
    }
    return -1;
}

void InstallRun(int notificationCode)
{
    if (notificationCode != 0)
        return;
    // Every change from here on is journaled first, the install directory
    // included.
    BeginRunJournal();
    if (ValidateInstallDir(windowGlobals.directoryField) != 0)
        return;

    ShowCopyDisplay();

    BeginInstallRecord();
    RunInstallScript();

    HideCopyDisplay();
    // Every later step names its files relative to the install directory.
    // An accepted file cannot be made current: the steps below must then
    // not work on whatever folder stayed current (the medium).
    const bool inInstallDir = EnterFolder(setup.installDir);
    UpdateWindow(windowGlobals.mainWindow);

    if (inInstallDir)
        RecordCatalogue();
    if (setup.buildWordLists == 1) {
        if (!inInstallDir)
            FatalError(LanguageListMessage(LanguageListFault::CannotOpen));
        ProcessLanguageList();
    }

    // A catalogue the script copied or an earlier installation left is
    // kept sorted too, whether or not word lists were built.
    const int32_t languageLines = inInstallDir ? CountLanguageEntries() : -1;
    if (languageLines > 1) {
        const bool sorted = SortLanguageSection(languageLines) == 0;
        LogLine("Catalogue: %ld language lines %s", static_cast<long>(languageLines),
                sorted ? "sorted" : "not sorted: dict.ini kept as it was");
    }

    if (setup.createShortcut == 1)
        CreateProgramShortcut();
    EndInstallRecord();
    CommitRun();

    // The window's destruction ends the message loop with exit code 0.
    DestroyWindow(windowGlobals.mainWindow);
}
