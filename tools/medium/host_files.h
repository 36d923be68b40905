// What the tool needs of the host's files: folder listings with each name
// in UTF-8 and in Windows-1252, whole files, their expansion by setup.exe's
// LZ module, a scratch folder. Host paths are UTF-8 in every build, as
// setup.exe holds them. One implementation per build (host_files_posix.cpp,
// host_files_win.cpp) beneath the shared functions (host_files_common.cpp).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "shell/scoped_handles.h"

extern const char kHostSeparator;

// True where the platform's French collation exists (Windows): only there
// does a reversed list come out as setup.exe sorts it.
extern const bool kHostHasFrenchCollation;

struct FolderEntry {
    std::string hostName;  // as the host names it: UTF-8, natively bytes that may be none
    std::string name;      // in Windows-1252, as install.inf names it
    bool isFolder;
    // False when some character of the name has no Windows-1252 byte ('?'
    // in name): install.inf cannot name the file; a search or its 8.3 name
    // finds it.
    bool narrow = true;
    std::string shown;     // the name for people, in UTF-8
};

// The entry of a name as the host lists it.
FolderEntry EntryNamed(const std::string& hostName, bool isFolder);

// The entries of a folder, "." and ".." left out. False when it cannot be read.
bool ListFolder(const std::string& hostFolder, std::vector<FolderEntry>& entries);

// The platform's own search of a folder for a pattern in Windows-1252 (as
// install.inf gives it), as setup.exe's copies search, 8.3 names included;
// shortName receives the 8.3 name of each entry in Windows-1252 ("" when it
// has none). False where the host has no such search (natively),
// and then this build cannot see 8.3 names.
struct FoundEntry {
    FolderEntry entry;
    std::string shortName;
};
bool SearchHostFolder(const std::string& hostFolder, const std::string& pattern, std::vector<FoundEntry>& found);
extern const bool kHostSeesShortNames;

bool IsHostFolder(const std::string& hostPath);

// The whole file; false when it cannot be read.
bool ReadHostFile(const std::string& hostPath, std::string& bytes);

// The file read once, each block of at most 64 KiB handed to take in order,
// so that a large file need not be held whole; false when it cannot be read
// (blocks may have been taken).
bool ReadHostBlocks(const std::string& hostPath, const std::function<void(const char*, size_t)>& take);

// At most size bytes from the file's start.
bool ReadHostStart(const std::string& hostPath, size_t size, std::string& bytes);

// Writes bytes beside path and moves them into place whole; false (nothing
// changed) on any failure.
bool WriteHostFileWhole(const std::string& hostPath, const std::string& bytes);

// How setup.exe's copy takes a file: the LZ module's outcomes
// (script/lz_file.h) for a compressed one.
enum class Expansion {
    Plain,       // not compressed: the bytes are the file's
    Whole,       // compressed and expanded whole
    WholeCut,    // compressed, one byte over its promise: that byte is cut
    Short,       // compressed, and cut short: nothing is installed
    Corrupt,     // compressed, but not expandable: nothing is installed
    Unreadable,
};

// The file as setup.exe's copy installs it: expanded when it is stored
// compressed. bytes is empty unless the outcome installs a file.
Expansion ReadExpanded(const std::string& hostPath, std::string& bytes);

// True for the outcomes under which setup.exe's copy installs the file.
bool Installs(Expansion expansion);

// Bytes as an open file for the product's readers, which read from files;
// it goes away when closed.
ScopedFile OpenBytes(const std::string& bytes);

// A new empty folder for the tool's own work, removed with its content when
// the object goes; its path is empty when none could be made.
class WorkFolder {
public:
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

bool MakeHostFolder(const std::string& hostPath);

// --- Platform part, beneath the shared functions above ---------------------
// An empty file open for reading and writing that goes away when closed.
ScopedFile OpenTemporaryHostFile();
// True for a folder, false for a link to one.
bool IsFolderNotLink(const std::string& hostPath);
// Read-only files go too.
void RemoveHostFile(const std::string& hostPath);
void RemoveEmptyHostFolder(const std::string& hostPath);
std::string CurrentHostFolder();
bool ChangeHostFolder(const std::string& hostPath);

// The words of the tool's command line, the program's name first, in UTF-8
// whatever the system's code page.
std::vector<std::string> HostArguments(int argc, char** argv);

// Standard output and error as the tool writes them: bytes unchanged (no
// CR added), UTF-8 on a console.
void PrepareConsole();
