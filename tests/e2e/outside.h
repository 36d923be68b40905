// What an installation of the sample medium changes outside its folder
// (the program menu's group, win.ini's [Dictionary], the user's list of
// installed programs), read the way a user would see it, and the runs that
// install and uninstall that medium without a window. Shared by the suites
// that install and take back, killed or not.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "driver.h"
#include "support/files.h"

extern const char kProductName[];  // the sample medium's product, with an uninstall line
extern const char kUninstallKey[];
extern const char kGroup[];
extern const char kOtherEntry[];  // another program's entry in the list

std::string GroupFolder();
std::string EntryKey(const std::string& name);
// The product's own reading of the user's keys, as the list of installed
// programs reads them.
bool KeyThere(const std::string& path);
std::set<std::string> Subkeys(const std::string& path);
std::string IniSection(const char* section);

struct Outside {
    std::vector<std::string> keysThere;  // of the keys from Software down to ...\Uninstall
    std::set<std::string> entries;       // the programs in the list
    bool sectionThere = false;           // win.ini [Dictionary]
    std::string section;                 // its lines, each ended by '\n'
    bool groupThere = false;             // the program menu's group folder
    Files group;
};

Outside ReadOutside();
std::vector<std::string> OutsideDifferences(const Outside& expected, const Outside& actual);

// What a user sees of an installation: the tree below the install folder's
// parent, and what it changed outside.
struct Snapshot {
    Tree tree;
    Outside outside;
};

Snapshot Take(const std::string& parent);
std::vector<std::string> Differences(const Snapshot& expected, const Snapshot& actual);

// How the outside looks before a test's installation.
enum class Before {
    Nothing,      // no group, no [Dictionary], no list entry: the run makes them
    OthersThere,  // the group with a user's file, [Dictionary] with its own key and
                  // an earlier FrenchAviDelay, another program in the list
};

// Puts the outside in the given state for the test's lifetime, and back as
// it was found when the test ends.
class OutsideForTheTest {
public:
    explicit OutsideForTheTest(Before before);
    ~OutsideForTheTest();
    OutsideForTheTest(const OutsideForTheTest&) = delete;
    OutsideForTheTest& operator=(const OutsideForTheTest&) = delete;

private:
    Outside found_;
};

// The sample medium asking for its uninstallation. A second uninstall line
// further down names another product: the first one counts.
struct UninstallMedium {
    ScratchFolder folder{"uninstall-medium"};
    explicit UninstallMedium(const std::string& name = kProductName);
    const std::string& path() const { return folder.path(); }
};

// The installation without a window: the attended one is other suites' matter.
DWORD InstallQuietly(const std::string& medium, const std::string& dir);

// dict.ini as an installation of the sample medium leaves it.
std::string SampleCatalogue();

// The copy of the program cannot delete itself: what is left of it goes
// once it has ended: the copy, the record and the folder unless it must
// stay. The folder is looked at only then: a folder held open while it is
// removed stays behind, under Wine as on Windows.
void WaitForTheCopysCleaning(const std::string& dir, bool folderStays);

// An uninstallation run to its end without a window: with setup.exe, or
// with the copy left in the folder.
DWORD UninstallToTheEnd(const std::string& dir, bool withTheCopy);
