// Files and folders for the tests, natively and under Windows alike:
// scratch folders, whole files as bytes, and folder trees read and written
// as maps of relative names to bytes. Paths are strings in the platform's
// form, their parts joined by kSeparator.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

extern const char kSeparator;  // '/' natively, '\\' on Windows

// A new empty folder, removed with everything in it (read-only files
// included) when the object goes: in the temporary folder, or in parent
// (e.g. "C:\\", for names short enough to type).
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& hint = "test");
    ScratchFolder(const std::string& parent, const std::string& hint);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + kSeparator + name; }

private:
    std::string path_;
};

// The current folder, changed for the object's lifetime.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder);
    ~ScopedCurrentFolder();
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::string previous_;
};

std::string CurrentFolder();

// Whole files; both throw std::runtime_error when they cannot.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);

// Anything by that name (natively a link to nothing too).
bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
// One folder, of any length; its parent must exist. False when it was not
// made (it was there already, or cannot be).
bool MakeFolder(const std::string& path);
// A file, or a folder with everything in it.
void RemoveTree(const std::string& path);

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderNames(const std::string& folder);

// Every file below a folder by its name relative to it ("langue\\a.wb" on
// Windows), with its bytes.
using Files = std::map<std::string, std::string>;
Files ReadFiles(const std::string& folder);
// Every folder below a folder, by its relative name.
std::set<std::string> ReadFolders(const std::string& folder);
// Every folder and file below a root, by relative name.
struct Tree {
    std::set<std::string> folders;
    Files files;
};
Tree ReadTree(const std::string& root);
// Every way in which actual differs from expected, one line each
// ("folder missing: x", "file left over: y (12 bytes)", ...).
std::vector<std::string> TreeDifferences(const Tree& expected, const Tree& actual);
// Lines, each on a line of its own and indented, for a failure message.
std::string Joined(const std::vector<std::string>& lines);
// Writes the files below folder, making the folders on their way.
void WriteFiles(const std::string& folder, const Files& files);
// Copies every folder and file below from to to (made if missing).
void CopyTree(const std::string& from, const std::string& to);

// Makes folders below base down to a path of exactly length characters
// (base shorter by two at least) and returns that path.
std::string MakeDeepFolder(const std::string& base, size_t length);

// A file in the folder of the running program: what the build put beside it.
std::string BesideProgram(const std::string& name);

#ifdef _WIN32
// A name of these helpers as Windows takes it, and back: UTF-8 when it is
// that, else the system's code page (see files_win.cpp).
std::wstring WideName(const std::string& path);
std::string NarrowName(const wchar_t* name);
// The name in UTF-8, as setup.exe's records and logs hold it.
std::string Utf8Name(const std::string& name);
#endif
