// The seal of a medium (script/medium_seal.h): the seal command writes it,
// and the check reads the medium's files by the same names to verify it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "report.h"
#include "script/medium_seal.h"

// A file of the medium under the name its seal lists it by.
struct SealedFile {
    std::string host;
    std::string name;  // UTF-8, '\' between folders, as SealEntry::name
};

struct MediumFiles {
    std::vector<SealedFile> files;
    std::vector<std::string> leftOut;     // for people: what was not listed, and why
    std::vector<std::string> unreadable;  // host paths of folders that could not be listed
};

// Every file below root, manifest.crc at the root left out. Links to
// folders are not followed (a pressed medium has none, and one may loop);
// a name no manifest can hold (not UTF-8, a control character, one of
// <>:"/\|?*; Windows refuses them all) is left out, a folder with all it
// holds. False when root cannot be listed.
bool ListMediumFiles(const std::string& root, MediumFiles& medium);

// The size and CRC-32 of a file as stored, read once in blocks; false when
// it cannot be read.
bool SumHostFile(const std::string& hostPath, uint64_t& size, uint32_t& crc);

// medium seal DIR: writes DIR's manifest.crc whole, listing every file that
// ListMediumFiles finds, by their UTF-8 names, and says "N files, M bytes"
// on out. What is left out is a warning on err. Returns 0 when written; 1, writing nothing, when a
// file or folder cannot be read, two names are one name on Windows, or the
// manifest cannot be written; 2 when dir cannot be read.
int SealMedium(const std::string& dir, FILE* out, FILE* err);

enum class SealState { None, Damaged, Read };

// The medium's manifest: None without manifest.crc at its root, Damaged
// when it is no whole manifest (or cannot be read, or is a folder).
SealState ReadMediumSeal(const std::string& root, MediumSeal& seal);

// Every listed file present with its listed size and CRC-32: each that is
// not is an error on it in report. Returns the keys (SealKey) of those
// missing.
std::set<std::string> CheckSealedFiles(const std::string& root, const MediumSeal& seal, Report& report);
