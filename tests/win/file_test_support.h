// Real folders and files for the Win32 suites: scratch folders in the
// prefix's temporary folder, file contents, folder listings, drive letters
// mapped onto folders, and the test fixtures beside the test program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A new empty folder under the temporary folder, removed with everything in
// it (read-only files included) when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);  // "<none>" when it can't be read
bool Exists(const std::string& path);
void MakeFolder(const std::string& path);  // any length, parents must exist
// Makes folders below base down to a path of exactly length characters
// (base shorter by two at least) and returns that path.
std::string MakeDeepFolder(const std::string& base, size_t length);
std::string CurrentDirectory();

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> FolderNames(const std::string& folder);

// A file made by tests/win/make_lz_fixtures, in lz_fixtures\ beside the
// test program.
std::string FixturePath(const std::string& name);

// Maps a drive letter onto a folder through Wine's mount manager (as winecfg
// does) for the object's lifetime.
class MappedDrive {
public:
    MappedDrive(char letter, const std::string& folder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    bool mapped() const { return mapped_; }
    std::string root() const { return std::string(1, letter_) + ":\\"; }

private:
    bool Define(const char* unixPath);
    char letter_;
    bool mapped_ = false;
};
