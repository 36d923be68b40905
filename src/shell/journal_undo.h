// The one routine that undoes journal entries: a failed or killed run's,
// newest first. Portable; the system is reached through UndoSystem.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/install_record.h"

// What undoing touches. A path names a file or folder; keys are below the
// user's hive.
class UndoSystem {
public:
    virtual ~UndoSystem() = default;
    // False when there is no file (a folder is none).
    virtual bool Stamp(const std::string& path, uint64_t& size, uint64_t& time) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Removes a file, read-only or not.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Gives a file a name that nothing has.
    virtual bool MoveToFreeName(const std::string& from, const std::string& to) = 0;
    // Removes a folder when empty.
    virtual bool RemoveFolder(const std::string& path) = 0;
    // The key's value; false when it has none.
    virtual bool IniValue(const RecordedIniKey& key, std::string& value) = 0;
    // Puts back the value (or its absence, and the section's) from before.
    virtual void RestoreIniKey(const RecordedIniKey& key) = 0;
    // Removes a key with its values, when no key is below it.
    virtual bool RemoveRegistryKey(const std::string& path) = 0;
    // Sets a value as it was, or removes it when there was none.
    virtual bool RestoreRegistryValue(const std::string& keyPath, const std::string& name, bool had,
                                      uint32_t type, const std::string& data) = 0;
};

struct UndoCount {
    int undone = 0;
    int kept = 0;  // changed since, or cannot be taken back now
    int left = 0;  // of those kept, what cannot be taken back now (in use, access denied)
};

// Where a record's entries are undone rather than a run's journal.
struct UndoRules {
    // A file that no finished write stamped: in a run's journal, what the
    // killed run began and goes; in a record, not the installation's and
    // stays.
    bool keepUnstamped = false;
};

// Undoes entries newest first, logging each step. A file is taken back
// only while it is what the run wrote (its size and time), or when the run
// ended before it was whole; otherwise it stays and the earlier bytes put
// aside for it go. Every step skips what is gone already, so undoing again
// after a kill finishes the work.
UndoCount UndoEntries(const std::vector<JournalEntry>& entries, UndoSystem& system, const UndoRules& rules = {});

// Undoes what a record's runs changed (EntriesToUndo) as an
// uninstallation does: what later runs put aside of the installation's own
// versions goes, a file no run finished writing stays.
UndoCount UndoRecord(const InstallRecord& record, UndoSystem& system);

// After a commit: the copies of earlier bytes that nothing will put back
// (all of them when the installation keeps no record).
void DropAsides(const RunJournal& journal, UndoSystem& system);

// The system of the running program.
UndoSystem& HostUndoSystem();
