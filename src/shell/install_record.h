// The journal of an installation run, and the record of an installation that
// can be undone (desinstal.dat in the install directory): one format, one
// writer, one reader. Portable.
//
// Every change a run makes enters its journal before it is made, with what
// was there before: a file made where none was, or one put aside (renamed
// beside itself) before it is replaced; a folder made; an initialisation
// key's earlier value; the catalogue's earlier state; a registry key made or
// a value replaced. Entries that say what was there before are on disk
// before the change; a file entry gets its size and time in a later line
// once the file is whole. A run that fails or is killed is undone from its
// journal (journal_undo.h). A run that ends well commits: the journal gets
// its end line, and when the installation can be undone, the run's entries
// are appended to the record as one block, which only counts once its end
// line is there.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

constexpr char kRecordFile[] = "desinstal.dat";
constexpr char kUninstallerFile[] = "desinstal.exe";

// One entry: its kind and its fields, the last of which took the rest of
// the line.
struct JournalEntry {
    std::string kind;
    std::vector<std::string> fields;
};

struct RecordedFile {
    std::string path;
    bool stamped = false;  // false: no run of the record finished writing it
    uint64_t size = 0;
    uint64_t time = 0;     // last write time, as FileStamp gives it
    // The earlier bytes of the file, oldest first, where runs put them aside;
    // the first is what was there before the first run when existedBefore.
    std::vector<std::string> asides;
    bool existedBefore = false;
    bool asidePending = false;  // put aside by the last run, not yet written
};

// A key of an initialisation file as it was before the first run changed it.
struct RecordedIniKey {
    std::string file, section, key;
    bool hadSection = false;
    bool hadValue = false;
    std::string value;
    std::string written;  // the last value a run wrote
    bool wasWritten = false;
};

struct InstallRecord {
    std::string name;   // as the system's list of installed programs shows it
    std::vector<std::string> names;  // every run's, once each: a later run may rename the product
    std::string title;  // the medium's title, for the uninstallation's window
    std::string installDir;
    bool madeInstallDir = false;
    std::vector<std::string> folders;      // made by a run, in order
    std::vector<RecordedFile> files;       // one per path (case ignored), first-recorded order
    std::vector<std::string> shortcuts;
    std::vector<std::string> menuFolders;  // program-menu groups made by a run
    std::vector<RecordedIniKey> iniKeys;   // the first value recorded for each key
    bool catalogueMade = false;            // dict.ini did not exist before a run
    std::vector<std::string> catalogueLines;
    std::vector<std::string> replacedCatalogueLines;  // other products' lines a run replaced
    std::vector<std::string> registryKeys;  // made by a run, outermost first
    std::vector<std::string> entryKeys;     // the product's keys in the list of installed programs
    std::vector<JournalEntry> entries;      // every entry taken, in order
};

// The journal of one run: its entries in order, and whether it committed.
struct RunJournal {
    std::string id;
    std::string recordPath;  // where a committed run's entries go; empty: nowhere
    bool committed = false;
    std::vector<JournalEntry> entries;
};

// A decimal number of the record's fields; false for anything else.
bool ParseRecordNumber(std::string_view text, uint64_t& value);

// Reads a record; lines it does not know, an unended last line (a run
// killed while writing it) and a block without its end line are passed
// over. With a product, only that product's blocks count (blocks naming no
// product count for every one), and products receives the names of the
// others. False on a read error.
bool ReadInstallRecord(FILE* file, InstallRecord& record, const std::string& product = std::string(),
                       std::vector<std::string>* products = nullptr);

// What the record's runs changed, as entries for the one undo routine, in
// the order they came: the win.ini keys (the first value recorded, the last
// written), the folders and program-menu groups, then each file with the
// earlier bytes from before the first run and the last run's stamp. The
// catalogue and the registry entry have steps of their own.
std::vector<JournalEntry> EntriesToUndo(const InstallRecord& record);

// Rewrites the record at path without the blocks of product, in one
// replacement. False when it cannot be rewritten.
bool RemoveProductFromRecord(const char* path, const std::string& product);
// Reads a run's journal the same way. False on a read error, or when the
// file is no journal.
bool ReadRunJournal(FILE* file, RunJournal& journal);

// What an installation can have touched: its install folder, the program
// menu, win.ini's key, and the entry keys of the list of installed programs
// (below the user's hive) with the keys above them.
struct RecordScope {
    std::string installDir;
    std::string programMenu;
    std::vector<std::string> entryKeys;
    std::string iniFile, iniSection, iniKey;
};

// Drops from the record every entry outside the scope, logging each: the
// record is data in a folder others may write, and nothing it names beyond
// what an installation touches is acted upon. The record's install folder
// becomes the scope's.
void KeepWithinScope(InstallRecord& record, const RecordScope& scope);

// Appends a committed run's entries to its record as one block, unless the
// record holds that run already. False when the record cannot be written.
bool AppendRunToRecord(const RunJournal& journal);

// --- The journal of the running installation -------------------------------
// One at a time. Every Record* call does nothing while none is open.

// Makes the journal at journalPath, a new file. False, and no journal,
// when it cannot be written.
bool OpenRunJournal(const char* journalPath, const char* runId);
// Makes the run's entries go to the record at recordPath when it commits,
// after reading what earlier runs recorded there. False when the journal
// cannot say so.
bool KeepRunInRecord(const char* recordPath);
bool RunJournalIsOpen();
// The record as read at the opening, with what this run added since.
const InstallRecord& CurrentInstallRecord();
// This run's own entries.
const RunJournal& CurrentRunJournal();
// Writes the end line, then the record's block. False when the end line
// cannot be written: the run then stays to be undone.
bool CommitRunJournal();
// Closes the journal as it is (a failed run, before it is undone).
void CloseRunJournal();

void RecordProduct(const char* name, const char* title, const char* installDir);
void RecordInstallDirMade();
// Before making a folder that does not exist yet.
void RecordFolder(const char* path);
// Before writing a file that should not exist (a temporary file, say);
// one that does is put aside as RecordFileToReplace does.
void RecordFileToWrite(const char* path);
// Before writing a file that may exist: journals it as new, or puts the
// existing one aside. False when it exists and cannot be put aside: it must
// then not be written. One that cannot be written is left as it is: the
// write then fails on it.
bool RecordFileToReplace(const char* path);
// Once the file is whole; or once the write failed, which puts back what
// was put aside for it.
void RecordFileWritten(const char* path);
void RecordFileNotWritten(const char* path);
void RecordShortcut(const char* path);
void RecordMenuFolder(const char* path);
// Before a change of the key, with its value then; after it, the value
// written.
void RecordIniKey(const RecordedIniKey& key);
void RecordIniWritten(const char* file, const char* section, const char* key, const char* value);
// Before the run's first change of the catalogue at path: a copy of it
// aside, or none when there is no catalogue. False when it exists and no
// copy can be made.
bool RecordCatalogueBefore(const char* path);
void RecordCatalogueMade();
void RecordCatalogueLine(const char* line);
// Before replacing a language line; ignored for a line a run of this
// installation wrote.
void RecordReplacedCatalogueLine(const char* line);
// Before making a registry key (path below the user's hive).
void RecordRegistryKey(const char* path);
// The key of the product's entry in the list of installed programs.
void RecordProgramEntry(const char* path);
// Before setting a value of an existing key: what it held (hex of its
// bytes and its type), or that it had none.
void RecordRegistryValue(const char* keyPath, const char* name, bool had, uint32_t type, const std::string& data);
