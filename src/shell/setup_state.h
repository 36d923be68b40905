// The program-wide record and the line rule of the setup file and the
// language list. Portable: no Win32 here.
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>

// Buffer sizes are limits of the formats, not guesses.
// Paths are UTF-8 (any character); Windows allows 259 characters, counted
// in UTF-16 units, and a unit takes at most three bytes.
constexpr int kPathLimit = 259;
constexpr int kPathSize = 3 * kPathLimit + 1;
constexpr int kValueSize = 180;
constexpr int kDisplayFileSize = 100;
constexpr int kSetupLineSize = 100;  // a read takes at most 99 bytes

// Paths and the names that make them are UTF-8; the texts are
// Windows-1252, as install.inf gives them.
struct SetupState {
    char sourceDir[kPathSize];
    char installDir[kPathSize];
    char installPrefix[kPathSize];
    char title[kValueSize];
    char defaultDir[kPathSize];
    char shortcutArgs[kValueSize];
    char iconName[kPathSize];
    char iconGroup[kPathSize];
    char iconExe[kPathSize];
    char displayFile[kPathSize];
    char uninstallName[kValueSize];  // empty: the medium asks for no uninstallation
    int32_t createShortcut;
    int32_t buildWordLists;
    int32_t verbose;
    int32_t headingY;
    int32_t progressY;
    int32_t statusY;
};

// The one record, with static lifetime.
extern SetupState setup;

// Puts the record into its initial state (zero-filled, then the documented
// initial values). Start-up uses it once; tests use it between cases.
void ResetSetupState();

// Where the last line that ReadSetupLine delivered stands in its file, for
// readers that report by line (the publisher's medium check). Start each
// file with a fresh cursor.
struct SetupLineCursor {
    int line = 0;        // number of the file's line, from 1
    int piece = 0;       // 0, or which 99-byte piece of a longer line
    bool lineEnded = true;  // the last read ended its line
};

// Fills buf (at least kSetupLineSize bytes) with the next usable line of a
// file opened with OpenTextRead: at most 99 bytes a read, one trailing line
// feed removed, empty lines and lines beginning with '#' skipped. False at end
// of file or on a read error. A cursor, when given, follows every read.
bool ReadSetupLine(FILE* file, char* buf, SetupLineCursor* cursor = nullptr);

// True when line starts with keyword over the keyword's full length, folding
// only the ASCII letters A-Z.
bool KeywordMatches(const char* line, const char* keyword);

// The start-up key that the line begins with ("title", "dir", "wbarg" or
// "debug", tested in that order), or nullptr.
const char* StartupKeyOf(const char* line);

// The text after the first blank of the line, or nullptr when it has none.
const char* ValueAfterBlank(const char* line);

// Joins the parts of a path into out (kPathSize bytes); false, out emptied,
// when it has more than kPathLimit characters, so a cut path is never used.
bool JoinPath(char* out, std::initializer_list<const char*> parts);

// dir followed by a backslash unless it already ends in one (or is empty).
// Returns false, leaving out (kPathSize bytes) empty, when the result does
// not fit.
bool MakeDirPrefix(char* out, const char* dir);

// The install command that asks for an uninstallation; the installation
// needs its value before any other command runs.
constexpr char kUninstallKeyword[] = "uninstall";

// Reads the start-up keys of install.inf in setup.sourceDir into setup, and
// the value of its first uninstall command. A missing file ends the program
// through FatalError.
void ReadStartupKeys();
