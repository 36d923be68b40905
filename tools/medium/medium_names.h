// Names on the medium resolved as Windows resolves them for setup.exe: case
// ignored (accented letters too), trailing dots and blanks ignored, and for
// a copy source the LZ library's underscore name when the file itself is
// missing.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "host_files.h"

struct MediumFile {
    std::string host;   // the host's path
    std::string shown;  // relative to the medium with its names as on disk, '/' between
    std::string name;   // the last name, in Windows-1252
    bool isFolder = false;
    std::string hostName;  // the last name as the host names it (FolderEntry)
};

enum class Lookup { Found, Missing, Outside };

// The medium: a host folder whose listings are read once.
struct Medium {
    std::string root;
    std::map<std::string, std::vector<FolderEntry>> listings;
};

// The components of a Windows path, split at '\' and '/', empty ones and "."
// dropped, trailing dots and blanks cut as Windows cuts them. absolute is set
// for a path from a root or a drive.
std::vector<std::string> PathComponents(std::string_view path, bool& absolute);

// A path relative to the medium. Outside for an absolute path or one that
// climbs above the medium through "..".
Lookup FindOnMedium(Medium& medium, std::string_view path, MediumFile& found);

// A copy source: the file itself, else its underscore name
// (LzCompressedName); a folder is missing.
Lookup FindCopySource(Medium& medium, std::string_view path, MediumFile& found);

// Windows wildcards: '*' any run, '?' any one character, case ignored; a
// pattern ending in ".*" also matches the name without an extension, one
// ending in "." only names without one.
bool WildcardMatches(std::string_view pattern, std::string_view name);

// True for a name that is a valid 8.3 name itself, so it has no other.
bool IsShortName(std::string_view name);

// True when the pattern may match the 8.3 name that the platform gives a
// long name (its base is the platform's choice; its extension is the long
// extension's first three characters). Only a build that cannot see 8.3
// names needs to guess.
bool MayMatchShortName(std::string_view pattern, std::string_view name);

// A file that a copy's search finds, and whether only its 8.3 name matched.
enum class ShortMatch { No, Only, Maybe };
struct MatchedFile {
    MediumFile file;
    ShortMatch shortMatch = ShortMatch::No;
    std::string shortName;  // with Only
};

// The files (not folders) of a medium folder whose names match the pattern
// as setup.exe's search matches them, in the folder's order. Where the
// platform's search is at hand it decides (8.3 names included); elsewhere
// a long name that may match by its 8.3 name comes as Maybe.
std::vector<MatchedFile> FilesMatching(Medium& medium, const MediumFile& folder, std::string_view pattern);
