// The uninstallation, in the order its steps undo an installation: files,
// folders, the program-menu shortcut, win.ini, the catalogue, the registry
// entry, and last the uninstaller and its record. Every step skips what is
// already gone, so a run that was killed can be run again and finishes.
#include "app/uninstall_run.h"

#include <algorithm>
#include <string>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/program_entry.h"
#include "app/run_journal.h"
#include "app/window_globals.h"
#include "catalogue/catalogue.h"
#include "script/install_script.h"
#include "script/shortcut.h"
#include "shell/collation.h"
#include "shell/fatal_error.h"
#include "shell/install_record.h"
#include "shell/journal_undo.h"
#include "shell/run_log.h"
#include "shell/run_mode.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "wordlist/language_entry.h"
#include "wordlist/language_list.h"
#include "shell/wide_text.h"
#include "shell/windows1252.h"

namespace {

constexpr char kCaption[] = "D\xE9sinstallation";

// What could not be taken back now (in use, access denied): the record and
// the entry then stay, for a later run to finish.
int leftForLater = 0;

void LeftForLater(const std::string& what, const char* reason)
{
    LogLine("%s: kept (%s)", what.c_str(), reason);
    ++leftForLater;
}

// Only what an installation into installDir can have made.
void KeepToWhatAnInstallationTouches(InstallRecord& record, const char* installDir)
{
    RecordScope scope;
    scope.installDir = installDir;
    char menu[kPathSize];
    if (ProgramMenuFolder(menu))
        scope.programMenu = menu;
    scope.entryKeys = EntryKeysOf(record);
    scope.iniFile = kAviIniFile;
    scope.iniSection = kAviSection;
    scope.iniKey = kAviKey;
    KeepWithinScope(record, scope);
}

bool ReadRecord(const std::string& installDir, InstallRecord& record, const std::string& product = std::string(),
                std::vector<std::string>* products = nullptr)
{
    ScopedFile file(OpenTextRead(PathInDir(installDir, kRecordFile).c_str()));
    return file && ReadInstallRecord(file.get(), record, product, products);
}

// The other installations with a record: what they hold too stays, and
// what this one made for all of them goes over to one of them.
struct OtherInstallation {
    std::string recordPath;
    InstallRecord record;
    std::vector<JournalEntry> handover;
    bool sameFolder = false;  // another product of the same folder
};
std::vector<OtherInstallation> others;

void FindOtherInstallations(const char* installDir, const std::vector<std::string>& productsHere)
{
    for (const std::string& product : productsHere) {
        OtherInstallation other;
        other.recordPath = PathInDir(installDir, kRecordFile);
        other.sameFolder = true;
        if (ReadRecord(installDir, other.record, product))
            others.push_back(std::move(other));
    }
    for (const std::string& folder : OtherInstallFolders(installDir)) {
        OtherInstallation other;
        other.recordPath = PathInDir(folder, kRecordFile);
        if (ReadRecord(folder, other.record))
            others.push_back(std::move(other));
    }
}

bool IsBelowFolder(const std::string& path, const std::string& folder)
{
    return path.size() > folder.size() + 1 && path[folder.size()] == '\\' &&
           SameName(path.substr(0, folder.size()), folder);
}

// The other installation whose record holds the file, and its entry.
const RecordedFile* OthersFile(const std::string& path, OtherInstallation*& holder)
{
    for (OtherInstallation& other : others) {
        for (const RecordedFile& file : other.record.files) {
            if (SameName(file.path, path)) {
                holder = &other;
                return &file;
            }
        }
    }
    return nullptr;
}

const RecordedIniKey* OthersIniKey(const RecordedIniKey& key, OtherInstallation*& holder)
{
    for (OtherInstallation& other : others) {
        for (const RecordedIniKey& theirs : other.record.iniKeys) {
            if (SameName(theirs.file, key.file) && SameName(theirs.section, key.section) &&
                SameName(theirs.key, key.key)) {
                holder = &other;
                return &theirs;
            }
        }
    }
    return nullptr;
}

// The program-menu groups and the registry keys above the entries that
// this installation made and others still use go over to them, to go
// with the last.
void HandOverSharedPlaces(const InstallRecord& record)
{
    // The folders another product of the folder still fills go with it.
    for (OtherInstallation& other : others) {
        if (!other.sameFolder)
            continue;
        for (const std::string& folder : record.folders) {
            if (HostUndoSystem().Exists(folder))
                other.handover.push_back({"folder", {folder}});
        }
        if (record.madeInstallDir)
            other.handover.push_back({"dirmade", {}});
        if (record.catalogueMade)
            other.handover.push_back({"catalogue-made", {}});
        break;
    }
    for (OtherInstallation& other : others) {
        for (const std::string& group : record.menuFolders) {
            if (std::any_of(other.record.shortcuts.begin(), other.record.shortcuts.end(),
                            [&](const std::string& shortcut) { return IsBelowFolder(shortcut, group); }))
                other.handover.push_back({"menufolder", {group}});
        }
        for (const std::string& level : record.registryKeys) {
            const std::vector<std::string> entries = EntryKeysOf(other.record);
            if (std::any_of(entries.begin(), entries.end(),
                            [&](const std::string& entry) { return IsBelowFolder(entry, level); }))
                other.handover.push_back({"registry", {level}});
        }
    }
}

void WriteHandovers(const char* installDir)
{
    for (const OtherInstallation& other : others) {
        if (other.handover.empty())
            continue;
        RunJournal block;
        block.id = "handover from " + std::string(installDir) + " " + LocalTimeText() + " " +
                   std::to_string(GetTickCount());
        block.recordPath = other.recordPath;
        block.entries = other.handover;
        LogLine("%s: %lu entries handed over", other.recordPath.c_str(),
                static_cast<unsigned long>(other.handover.size()));
        if (!AppendRunToRecord(block))
            LeftForLater(other.recordPath, "cannot be written now");
    }
}


// Leaves the install directory, which could not be removed while current.
void LeaveInstallDir()
{
    if (!EnterFolder(TempFolderPath().c_str()))
        EnterFolder(WindowsFolderPath().c_str());
}

bool Ask(const InstallRecord& record)
{
    const std::string question = "Voulez-vous d\xE9sinstaller " + record.name + " ?";
    if (Unattended()) {
        LogLine("Question \"%s\": yes (unattended)", Windows1252ToUtf8(question).c_str());
        return true;
    }
    const bool yes = MessageBoxW(windowGlobals.mainWindow, WidenText(question.c_str()).c_str(),
                                 WidenText(kCaption).c_str(),
                                 MB_YESNO | MB_ICONQUESTION) == IDYES;
    LogLine("Question \"%s\": %s", Windows1252ToUtf8(question).c_str(), yes ? "yes" : "no");
    return yes;
}

// Read-only or not: files copied from a read-only medium are read-only too.
bool RemoveFile(const std::string& path)
{
    return HostUndoSystem().RemoveFile(path);
}

// A file that another installation wrote since and whose earlier bytes are
// this one's version: it stays, and that installation gets this one's
// earlier state instead. True when so.
bool HandOverFile(const RecordedFile& file)
{
    uint64_t size = 0, time = 0;
    if (!file.stamped || !FileStamp(file.path.c_str(), size, time) || (size == file.size && time == file.time))
        return false;
    OtherInstallation* holder = nullptr;
    const RecordedFile* theirs = OthersFile(file.path, holder);
    const std::string earlier = file.existedBefore && !file.asides.empty() ? file.asides.front() : "";
    if (!theirs || !theirs->stamped || theirs->size != size || theirs->time != time || !theirs->existedBefore ||
        theirs->asides.empty() || theirs->asides.front() == earlier)
        return false;
    RemoveFile(theirs->asides.front());
    holder->handover.push_back({"file-before", {file.path, earlier}});
    for (size_t i = earlier.empty() ? 0 : 1; i < file.asides.size(); ++i)
        RemoveFile(file.asides[i]);
    LogLine("File %s: kept (another installation wrote it since)", file.path.c_str());
    return true;
}

// A win.ini key another installation uses stays for it; one that saw this
// one's value as the earlier one gets this one's instead. True when so.
bool HandOverIniKey(const RecordedIniKey& key)
{
    OtherInstallation* holder = nullptr;
    const RecordedIniKey* theirs = OthersIniKey(key, holder);
    if (!theirs)
        return false;
    if (key.wasWritten && theirs->hadValue && theirs->value == key.written)
        holder->handover.push_back({"ini-before", {key.file, key.section, key.key, key.hadSection ? "1" : "0",
                                                   key.hadValue ? "1" : "0", key.value}});
    LogLine("%s [%s] %s: kept (another installation uses it)", key.file.c_str(), key.section.c_str(),
            key.key.c_str());
    return true;
}

// The files, folders, program-menu groups and win.ini key go back by the
// one routine that undoes a run, newest first, once what other
// installations hold is set apart. A file changed since stays; one no run
// finished writing is not the installation's; one there before the first
// run gets its earlier bytes back, and what later runs put aside of the
// installation's own versions goes.
void TakeBackChanges(const InstallRecord& record)
{
    const std::string catalogue = PathInDir(record.installDir, kCatalogueFile);
    const std::string uninstaller = PathInDir(record.installDir, kUninstallerFile);
    InstallRecord ours;
    ours.folders = record.folders;
    ours.menuFolders = record.menuFolders;
    for (const RecordedFile& file : record.files) {
        if (SameName(file.path, catalogue) || SameName(file.path, uninstaller))
            continue;  // the catalogue's own step, and the last one
        if (!HandOverFile(file))
            ours.files.push_back(file);
    }
    for (const RecordedIniKey& key : record.iniKeys) {
        if (!HandOverIniKey(key))
            ours.iniKeys.push_back(key);
    }
    // Shortcuts that records of earlier versions name apart from files go
    // before their program-menu group.
    for (const std::string& shortcut : record.shortcuts) {
        const bool asFile = std::any_of(record.files.begin(), record.files.end(),
                                        [&](const RecordedFile& file) { return SameName(file.path, shortcut); });
        if (!asFile && HostUndoSystem().Exists(shortcut)) {
            if (RemoveFile(shortcut))
                LogLine("Shortcut %s: removed", shortcut.c_str());
            else
                LeftForLater("Shortcut " + shortcut, "cannot be removed now");
        }
    }
    leftForLater += UndoRecord(ours, HostUndoSystem()).left;
}

// The languages the installation added go by the catalogue's own rule,
// which keeps the section sorted; a catalogue the installation made goes
// once no language is left in it. A language whose line is no longer the
// one the installation wrote belongs to whoever wrote it since: it stays.
// Another product's line that the installation replaced comes back when its
// language is left without a line.
void RestoreCatalogue(const InstallRecord& record)
{
    if (record.catalogueLines.empty() && !record.catalogueMade)
        return;
    if (!EnterFolder(record.installDir.c_str()))
        return;
    if (HostUndoSystem().Exists(kCatalogueFile)) {
        for (const std::string& line : record.catalogueLines) {
            LanguageEntry entry{};
            if (!SplitCatalogueLine(line.c_str(), entry))
                continue;
            if (!HoldsLanguageLine(line)) {
                LogLine("Catalogue line %s: not there any more", Windows1252ToUtf8(line).c_str());
                continue;
            }
            // Another product of the folder wrote the same line.
            const bool shared = std::any_of(others.begin(), others.end(), [&](const OtherInstallation& other) {
                return other.sameFolder &&
                       std::any_of(other.record.catalogueLines.begin(), other.record.catalogueLines.end(),
                                   [&](const std::string& theirs) { return EqualsFoldingAZ(theirs, line); });
            });
            if (shared) {
                LogLine("Catalogue line %s: kept (another product of the folder wrote it too)",
                        Windows1252ToUtf8(line).c_str());
                continue;
            }
            if (RemoveLanguageEntries(entry.languageName) == 0)
                LogLine("Catalogue line %s: removed", Windows1252ToUtf8(line).c_str());
            else
                LeftForLater("Catalogue line " + line, "dict.ini cannot be rewritten now");
        }
        bool restored = false;
        for (const std::string& line : record.replacedCatalogueLines) {
            LanguageEntry entry{};
            if (!SplitCatalogueLine(line.c_str(), entry) || !LanguageLinesOf(entry.languageName).empty())
                continue;
            const bool added = AddLanguageLine(line) == 0;
            restored = restored || added;
            LogLine("Catalogue line %s: %s", Windows1252ToUtf8(line).c_str(),
                    added ? "put back" : "not put back (dict.ini cannot be rewritten)");
        }
        if (restored) {
            SetFrenchCollation();
            SortLanguageSection(CountLanguageEntries());
        }
        if (record.catalogueMade && CountLanguageEntries() == 0)
            LogLine("Catalogue dict.ini: %s", RemoveFile(kCatalogueFile) ? "removed" : "kept");
    }
    LeaveInstallDir();
}

// The uninstaller, then the record (so that a run killed in between still
// finds what to do), then the install directory when the installation made
// it and nothing else is in it. The directory is held for deletion on close
// before the record goes: a run killed right after the record leaves it to
// the system, which removes it once empty, rather than an empty folder
// that no record explains.
void RemoveUninstaller(const std::string& installDir, bool madeInstallDir)
{
    const std::string uninstaller = PathInDir(installDir, kUninstallerFile);
    if (HostUndoSystem().Exists(uninstaller) && !RemoveFile(uninstaller)) {
        LogLine("%s: kept (cannot be removed)", uninstaller.c_str());
        return;
    }
    ScopedFileHandle folder;
    if (madeInstallDir)
        folder.reset(CreateFileW(WidePath(installDir.c_str()).c_str(), DELETE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_DELETE_ON_CLOSE,
                                 nullptr));
    RemoveFile(PathInDir(installDir, kRecordFile));
    folder.reset();
    // Where the system would not hold it (or kept it for a file in it).
    if (madeInstallDir)
        HostUndoSystem().RemoveFolder(installDir);
}

// A running program cannot delete its own file: a copy of it in the temp
// folder waits until this process has ended and removes the uninstaller.
// The copy is held open for deletion on close and inherits that handle, so
// the system deletes it once it has ended in turn.
// The copy goes into the first per-user folder where it can be made.
bool StartFinisher(const std::string& installDir, const std::string& program)
{
    wchar_t copy[MAX_PATH] = L"";
    std::string folder;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    ScopedFileHandle held;
    for (const std::string& candidate : TemporaryFolders()) {
        const std::wstring wide = WidePath(candidate.c_str());
        if (wide.size() >= MAX_PATH - 14 || !GetTempFileNameW(wide.c_str(), L"dsi", 0, copy))
            continue;
        if (CopyFileW(WidePath(program.c_str()).c_str(), copy, FALSE))
            held.reset(CreateFileW(copy, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited,
                                   OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (held) {
            folder = candidate;
            break;
        }
        DeleteFileW(copy);
    }
    if (!held)
        return false;
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, TRUE,
                         0))
        return false;
    ScopedKernelObject selfHeld(self);
    // A handle's lower 32 bits are all there is to it, in a 64-bit process too.
    std::wstring commandLine =
        L"\"" + std::wstring(copy) + L"\" " +
        WidePath(FinisherArguments(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(self)), installDir).c_str());
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_FORCEOFFFEEDBACK;  // it shows no window: no busy cursor for it
    PROCESS_INFORMATION started = {};
    // The copy inherits the two handles above and nothing else of this
    // run: the log is closed while it starts.
    const std::string log = RunLogPath();
    CloseRunLog();
    const bool created = CreateProcessW(copy, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        WidePath(folder.c_str()).c_str(), &startup, &started) != 0;
    if (!log.empty())
        OpenRunLog(log.c_str());
    if (!created)
        return false;
    // Not waited for: the copy waits for us.
    ScopedKernelObject process(started.hProcess);
    ScopedKernelObject thread(started.hThread);
    return true;
}


}  // namespace

int RunUninstallation(const char* installDir, const std::string& product, int showCommand)
{
    InstallRecord record;
    std::vector<std::string> productsHere;
    if (!ReadRecord(installDir, record, product, &productsHere) || record.names.empty())
        FatalError("Can't open DESINSTAL.DAT");
    KeepToWhatAnInstallationTouches(record, installDir);
    FindOtherInstallations(installDir, productsHere);
    CopyText(setup.title, sizeof setup.title, record.title.c_str());
    LogLine("Uninstalling %s from %s", Windows1252ToUtf8(record.name).c_str(), installDir);

    if (!CreateMainWindow(showCommand, false))
        return 1;
    if (!Ask(record)) {
        DestroyWindow(windowGlobals.mainWindow);
        return 0;
    }
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    LeaveInstallDir();

    TakeBackChanges(record);
    RestoreCatalogue(record);
    HandOverSharedPlaces(record);
    WriteHandovers(installDir);

    // The record, the uninstaller and the entry stay while anything is left
    // to finish, so that running it again later does.
    const std::string program = ProgramFilePath();
    const bool isUninstaller =
        !program.empty() && IsSameFile(program.c_str(), PathInDir(installDir, kUninstallerFile).c_str());
    const bool othersHere = !productsHere.empty();
    if (othersHere && leftForLater == 0 &&
        !RemoveProductFromRecord(PathInDir(installDir, kRecordFile).c_str(), product))
        LeftForLater(kRecordFile, "cannot be rewritten now");
    if (leftForLater == 0 && isUninstaller && !othersHere && !StartFinisher(installDir, program))
        LeftForLater(std::string(kUninstallerFile) + " and " + kRecordFile, "the finishing copy cannot start");
    if (leftForLater > 0) {
        LogLine("Uninstallation unfinished: %d item(s) left, the record and the entry stay; run it again later",
                leftForLater);
        DestroyWindow(windowGlobals.mainWindow);
        return 3;
    }
    UnregisterProgram(record);
    if (othersHere)
        LogLine("%s and %s: kept for the folder's other products", kUninstallerFile, kRecordFile);
    else if (isUninstaller)
        LogLine("%s and %s: removed once this program has ended", kUninstallerFile, kRecordFile);
    else
        RemoveUninstaller(installDir, record.madeInstallDir);
    DestroyWindow(windowGlobals.mainWindow);
    return 0;
}

int FinishUninstallation(const char* installDir, HANDLE endedProgram)
{
    ScopedKernelObject ended(endedProgram);
    if (WaitForSingleObject(ended.get(), 60000) != WAIT_OBJECT_0)
        return 1;
    ended.reset();
    InstallRecord record;
    if (!ReadRecord(installDir, record))
        return 1;
    KeepToWhatAnInstallationTouches(record, installDir);
    // Gone already, unless the uninstallation was stopped right after
    // starting this copy.
    UnregisterProgram(record);
    // The system may release the ended program's file a moment after its end.
    const std::string uninstaller = PathInDir(installDir, kUninstallerFile);
    for (int attempt = 0; attempt < 50 && HostUndoSystem().Exists(uninstaller) &&
                          !RemoveFile(uninstaller);
         ++attempt)
        Sleep(100);
    RemoveUninstaller(installDir, record.madeInstallDir);
    return 0;
}
