// The options of an unattended installation. Without any, the program
// behaves as it always has. Portable.
#pragma once

#include <string>
#include <vector>

// Why an argument is refused.
enum class Refusal {
    None,
    Unknown,   // no option of the program (a misspelt one, a bare word)
    NoValue,   // an option that takes =VALUE without one (/dir, /uninstall=)
    BadValue,  // a value the option cannot take (/finish=x)
};

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
    // The first argument refused, as it stood once split; the other
    // arguments are read all the same (the log and the silent modes still
    // apply), but nothing may be done.
    Refusal refusal = Refusal::None;
    std::string refused;
};

// The arguments of the text after the program's name, split as the
// Microsoft C runtime splits them for main (Visual C++ 2008 and later):
// blanks (space, tab) separate outside double quotes; a quote toggles
// quoting, and inside quotes "" gives one literal quote and stays inside;
// 2n backslashes before a quote give n backslashes, 2n+1 give n and a
// literal quote; other backslashes are literal. "" alone is an empty
// argument.
std::vector<std::string> SplitArguments(const char* text);

// The argument in quotes, written so that SplitArguments gives it back
// whole: a quote escaped, and the backslashes before a quote or before the
// closing one doubled ("/uninstall=C:\" would otherwise swallow the quote).
std::string QuotedArgument(const std::string& argument);

// The arguments of the program's own later runs, each read back whole.
// The list of installed programs' entry: only that product of the folder.
std::string UninstallArguments(const std::string& product);
// The finishing copy: once the process of handle has ended, it removes the
// uninstaller of dir.
std::string FinisherArguments(unsigned long handle, const std::string& dir);

// Reads the arguments as Windows hands them over (the text after the
// program's name). Options begin with '/' or '-' and match in any case.
CommandLine ParseCommandLine(const char* text);
