// How one line of install.inf names an install command and its arguments.
// Portable: no Win32 here.
#pragma once

#include <cstddef>

#include "shell/setup_state.h"

enum class ScriptCommand {
    None,  // no keyword, or the keyword's arguments are missing
    MakeDir,
    IconName,
    AviDelay,
    IconGroup,
    IconExe,
    Display,
    MakeWordLists,
    Copy,
    XCopy,
    SndCopy,
    Uninstall,
};

struct ScriptLine {
    ScriptCommand command = ScriptCommand::None;
    // Value commands: everything after the first space, unchanged (points
    // into the parsed line).
    const char* rest = nullptr;
    // Token commands: the second and third space-separated tokens.
    char source[kSetupLineSize] = {};
    char destination[kSetupLineSize] = {};
};

// Matches the line against the keywords in their fixed order (first match
// wins, case of A-Z ignored, whatever follows the keyword not examined) and
// takes its arguments. A value command without any space and a token command
// with fewer than three tokens give None: the line is ignored.
ScriptLine ParseScriptLine(const char* line);

// The command whose keyword the line begins with, by the same test as
// ParseScriptLine but whatever the arguments: None when no keyword matches.
ScriptCommand ScriptKeywordOf(const char* line);

// The keyword of a command as install.inf spells it ("" for None).
const char* ScriptKeyword(ScriptCommand command);

// Length of the directory part of a search pattern, separator included
// ("docs\*.txt" gives 5, "*.txt" 0), so found names can be read from the
// folder the search ran in.
size_t PatternDirectoryLength(const char* pattern);
