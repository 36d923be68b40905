// Program-menu shortcuts read back as the shell reads them. Windows build
// only.
#pragma once

#include <string>

// The user's program-menu folder (CSIDL_PROGRAMS).
std::string ProgramMenuFolder();

// A shortcut file loaded through IShellLinkA and IPersistFile; loaded is
// false when it could not be loaded or a field could not be read.
struct Shortcut {
    bool loaded = false;
    std::string target, arguments, workingDirectory;
};
Shortcut ReadShortcut(const std::string& file);
