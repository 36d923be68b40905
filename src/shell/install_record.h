// The record of an installation that can be undone (desinstal.dat in the
// install directory): what the run made or changed, appended line by line as
// it happens, and read back by the uninstallation. Portable.
//
// Every entry is written before the change it describes, so a run killed at
// any point leaves a record that covers what it did; a file entry gets its
// size and time in a second line once the file is whole. A later
// installation into the same directory appends to the same record.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

constexpr char kRecordFile[] = "desinstal.dat";
constexpr char kUninstallerFile[] = "desinstal.exe";

struct RecordedFile {
    std::string path;
    bool stamped = false;  // false: the run ended while writing it
    uint64_t size = 0;
    uint64_t time = 0;     // last write time, as FileStamp gives it
};

// A key of an initialisation file as it was before the first run changed it.
struct RecordedIniKey {
    std::string file, section, key;
    bool hadSection = false;
    bool hadValue = false;
    std::string value;
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
};

// Reads a record; lines it does not know and an unended last line (a run
// killed while writing it) are passed over. False on a read error.
bool ReadInstallRecord(FILE* file, InstallRecord& record);

// --- The record of the running installation --------------------------------
// One at a time. Every Record* call does nothing while none is open, so the
// installing code calls them whether or not the medium asked for a record.

// Opens path for appending, after reading what earlier runs recorded there.
// False, and no record, when it cannot be opened.
bool OpenInstallRecord(const char* path);
bool InstallRecordIsOpen();
// The record as read at its opening, with what this run added since.
const InstallRecord& CurrentInstallRecord();
void CloseInstallRecord();

void RecordProduct(const char* name, const char* title, const char* installDir);
void RecordInstallDirMade();
// Before making a folder that does not exist yet.
void RecordFolder(const char* path);
// Before writing a file, then once it is whole, or once the write failed
// and left the file as it was.
void RecordFileToWrite(const char* path);
void RecordFileWritten(const char* path);
void RecordFileNotWritten(const char* path);
void RecordShortcut(const char* path);
void RecordMenuFolder(const char* path);
// Before the first change of the key; later calls for the same key are
// ignored, so the value from before the first installation is kept.
void RecordIniKey(const RecordedIniKey& key);
bool IniKeyRecorded(const char* file, const char* section, const char* key);
void RecordCatalogueMade();
void RecordCatalogueLine(const char* line);
// Before replacing a language line; ignored for a line a run of this
// installation wrote.
void RecordReplacedCatalogueLine(const char* line);
// Before making a registry key (path below the user's hive).
void RecordRegistryKey(const char* path);
