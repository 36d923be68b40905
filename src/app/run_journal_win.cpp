#include "app/run_journal.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shell/install_record.h"
#include "shell/journal_undo.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/wide_text.h"

namespace {

// Journals are named dsj<process>-<tick>.tmp. While its run lives, a mutex
// of the same name is held: a run that is killed loses it with its other
// handles, and the next start knows the journal is left over.
constexpr char kJournalPattern[] = "dsj*.tmp";
constexpr char kMutexPrefix[] = "Local\\DicoSetupJournal-";

std::string journalPath;
ScopedKernelObject liveMark;

}  // namespace

std::vector<std::string> TemporaryFolders()
{
    std::vector<std::string> folders;
    const std::string temporary = TempFolderPath();
    if (!temporary.empty())
        folders.push_back(temporary);
    wchar_t folder[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        folders.push_back(PathInDir(Utf8Path(folder), ""));
    return folders;
}

namespace {

std::string NameOf(const std::string& path)
{
    return path.substr(path.find_last_of('\\') + 1);
}

void RemoveJournal(const std::string& path)
{
    RemovePath(path.c_str());
}

// Undoes a killed run, or finishes the commit it had written.
void Recover(const std::string& path)
{
    RunJournal journal;
    bool read = false;
    if (ScopedFile file(OpenTextRead(path.c_str())); file)
        read = ReadRunJournal(file.get(), journal);
    if (!read) {
        // Killed before its first line: nothing was changed.
        RemoveJournal(path);
        return;
    }
    if (journal.committed) {
        if (!AppendRunToRecord(journal)) {
            LogLine("Interrupted installation %s: its record cannot be written, kept for the next start",
                    path.c_str());
            return;
        }
        DropAsides(journal, HostUndoSystem());
        LogLine("Interrupted installation %s: had ended well, its record completed", path.c_str());
    } else {
        LogLine("Interrupted installation %s: undoing its %lu entries", path.c_str(),
                static_cast<unsigned long>(journal.entries.size()));
        const UndoCount count = UndoEntries(journal.entries, HostUndoSystem());
        LogLine("Interrupted installation: %d changes undone, %d kept", count.undone, count.kept);
    }
    RemoveJournal(path);
}

}  // namespace

bool BeginRunJournal()
{
    if (RunJournalIsOpen())
        return true;
    char name[64];
    std::snprintf(name, sizeof name, "dsj%lx-%lx.tmp", static_cast<unsigned long>(GetCurrentProcessId()),
                  static_cast<unsigned long>(GetTickCount()));
    liveMark.reset(CreateMutexW(nullptr, TRUE, WidePath((std::string(kMutexPrefix) + name).c_str()).c_str()));
    if (liveMark) {
        for (const std::string& folder : TemporaryFolders()) {
            const std::string path = folder + name;
            // A new file: never another run's.
            ScopedFileHandle made(CreateFileW(WidePath(path.c_str()).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!made)
                continue;
            made.reset();
            if (OpenRunJournal(path.c_str(), name)) {
                journalPath = path;
                LogLine("Journal: %s", path.c_str());
                return true;
            }
            RemoveJournal(path);
        }
    }
    LogLine("Journal: none can be written, a failure cannot be undone");
    return false;
}

void RollBackRun()
{
    if (journalPath.empty())
        return;
    CloseRunJournal();
    if (CurrentRunJournal().entries.empty()) {
        RemoveJournal(journalPath);
        journalPath.clear();
        return;  // nothing was changed
    }
    LogLine("Rolling back the installation");
    // A folder that is current cannot be removed: the install directory
    // usually is.
    EnterFolder(WindowsFolderPath().c_str());
    const UndoCount count = UndoEntries(CurrentRunJournal().entries, HostUndoSystem());
    LogLine("Rolled back: %d changes undone, %d kept", count.undone, count.kept);
    if (count.kept == 0)
        RemoveJournal(journalPath);
    journalPath.clear();
}

void CommitRun()
{
    if (journalPath.empty())
        return;
    const bool recorded = CommitRunJournal();
    RunJournal run = CurrentRunJournal();
    if (run.committed && !recorded) {
        LogLine("Journal: the record cannot be written now, the next start completes it");
        journalPath.clear();
        return;
    }
    if (!run.committed) {
        // Left as it is, the next start would undo a run that ended well:
        // the installation stays, without its entries in the record.
        LogLine("Journal: its end cannot be written; removed, the installation stays as it is");
        run.recordPath.clear();
    }
    DropAsides(run, HostUndoSystem());
    RemoveJournal(journalPath);
    journalPath.clear();
}

void RecoverInterruptedRuns()
{
    for (const std::string& folder : TemporaryFolders()) {
        WIN32_FIND_DATAW found;
        ScopedFind search(FindFirstFileW(WidePath((folder + kJournalPattern).c_str()).c_str(), &found));
        if (!search)
            continue;
        std::vector<std::string> names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(Utf8Path(found.cFileName));
        } while (FindNextFileW(search.get(), &found));
        for (const std::string& name : names) {
            // A run that still lives keeps its journal.
            ScopedKernelObject live(
                OpenMutexW(SYNCHRONIZE, FALSE, WidePath((std::string(kMutexPrefix) + name).c_str()).c_str()));
            if (!live && NameOf(journalPath) != name)
                Recover(folder + name);
        }
    }
}
