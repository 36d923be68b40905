// The options of an unattended installation. Without any, the program
// behaves as it always has. Portable.
#pragma once

#include <string>

struct CommandLine {
    bool silent = false;      // /silent (also set by /verysilent)
    bool verySilent = false;  // /verysilent
    bool help = false;        // /? or /help
    bool hasDir = false;      // /dir=PATH given
    std::string dir;          // the directory field's first text
    std::string logPath;      // /log=FILE, empty without one
    bool uninstall = false;   // /uninstall or /uninstall=DIR
    std::string uninstallDir; // DIR, empty for the folder of the program itself
    std::string product;      // /product=NAME: only that product of the folder
    // /finish=HANDLE: the copy that removes the uninstaller once the
    // process of that handle has ended. Not for users.
    bool finish = false;
    unsigned long finishHandle = 0;
};

// Reads the arguments as Windows hands them over (the text after the
// program's name). Options begin with '/' or '-' and match in any case;
// double quotes group blanks into one argument and are removed. An unknown
// argument is ignored.
CommandLine ParseCommandLine(const char* text);
