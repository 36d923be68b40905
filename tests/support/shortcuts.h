// Program-menu shortcuts read back as the shell reads them. Windows build
// only.
#pragma once

#include <windows.h>

#include <string>

// The user's program-menu folder (CSIDL_PROGRAMS).
std::string ProgramMenuFolder();

// A shortcut file loaded through IShellLinkW and IPersistFile; loaded is
// false when it could not be loaded or a field could not be read. Names as
// files.h writes them.
struct Shortcut {
    bool loaded = false;
    std::string target, arguments, workingDirectory;
};
Shortcut ReadShortcut(const std::string& file);

// The user's program menu moved to path while it lives, as a profile of
// another name or on another disk has it.
class RedirectedProgramMenu {
public:
    explicit RedirectedProgramMenu(const std::string& path);
    ~RedirectedProgramMenu();
    RedirectedProgramMenu(const RedirectedProgramMenu&) = delete;
    RedirectedProgramMenu& operator=(const RedirectedProgramMenu&) = delete;

private:
    HKEY key_ = nullptr;
    DWORD type_ = REG_EXPAND_SZ;
    wchar_t saved_[MAX_PATH] = L"";
    DWORD savedSize_ = 0;
    bool had_ = false;
};
