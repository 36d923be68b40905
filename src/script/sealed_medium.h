// The medium setup.exe installs from, when its publisher sealed it
// (script/medium_seal.h): every file it reads is checked against the
// manifest as it is read, and a damaged medium ends the run through
// FatalError ("Damaged medium: NAME"), which takes back what it changed.
// A medium without a manifest is read as it is. Windows build only.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "script/medium_seal.h"

// At start-up, before any change: reads the manifest of the medium in
// sourceDir, if it has one, and checks that every file it lists is there
// with its listed size. A damaged manifest or medium ends the program.
void OpenSealedMedium(const char* sourceDir);

// Ends the program: name (the file's path under the medium's root, UTF-8)
// is missing, damaged or not the publisher's; why goes to the log.
[[noreturn]] void DamagedMedium(const char* name, const char* why);

// The check of one file of the medium, read once from its start to its
// end with every byte given to Add.
class MediumRead {
public:
    // path as the program opens it. Without a seal the check does
    // nothing; a file that the manifest does not list ends the program.
    explicit MediumRead(const char* path);
    void Add(const void* data, size_t size)
    {
        if (read_)
            read_->Add(data, size);
    }
    // False when the bytes read were not the listed ones; then name() is
    // the file's name under the medium's root for DamagedMedium.
    bool Matches() const { return !read_ || read_->Matches(); }
    const char* name() const { return name_.c_str(); }

private:
    std::unique_ptr<SealedRead> read_;
    std::string name_;
};

// False when the medium is sealed and its manifest does not list path:
// a file found by a search (a desktop.ini or Thumbs.db that a file manager
// left in a copied medium's folder, say) is then not the publisher's and
// is skipped, not installed.
bool MediumHolds(const char* path);

// Ends the program when path, which cannot be opened, is a file the
// manifest lists: it was there at start-up.
void EndIfListed(const char* path);

// Reads a whole file of the medium once and checks it (install.inf, which
// is read line by line afterwards: none of its lines may count before the
// whole is known to be the publisher's). Does nothing without a seal.
void CheckWholeMediumFile(const char* path);
