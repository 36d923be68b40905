// Drive letters of the Wine prefix for the tests. Windows build only.
#pragma once

#include <string>
#include <vector>

// Maps a folder as a drive through Wine's mount manager (as winecfg does),
// for the object's lifetime. A letter already in use is never taken over:
// mapped() is then false, and the drive is left as it was.
class MappedDrive {
public:
    MappedDrive(char letter, const std::string& folder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    bool mapped() const { return mapped_; }
    std::string root() const { return std::string(1, letter_) + ":\\"; }

private:
    char letter_;
    bool mapped_ = false;
};

// A drive that the system lists but that cannot be entered, like a drive
// without a medium, on a free letter from Q to Y. Removed with the object.
class DriveWithoutMedium {
public:
    DriveWithoutMedium();
    ~DriveWithoutMedium();
    DriveWithoutMedium(const DriveWithoutMedium&) = delete;
    DriveWithoutMedium& operator=(const DriveWithoutMedium&) = delete;
    bool made() const { return made_; }
    std::string root() const { return std::string(1, letter_) + ":\\"; }

private:
    char letter_ = 0;
    bool made_ = false;
};

// The drive roots as the system lists them ("C:\\", ...).
std::vector<std::string> LogicalDriveStrings();
