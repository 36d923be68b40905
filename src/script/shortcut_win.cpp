// The program-menu shortcut through the shell-link object.
#include "script/shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include "shell/install_record.h"
#include "shell/run_log.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/wide_text.h"
#include "shell/window_seam.h"
#include "shell/windows1252.h"

bool ProgramMenuFolder(char (&folder)[kPathSize])
{
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(MainWindowHandle(), CSIDL_PROGRAMS, &items)))
        return false;
    wchar_t wide[MAX_PATH];
    const bool found = SHGetPathFromIDListW(items, wide) && wide[0] != L'\0' &&
                       JoinPath(folder, {Utf8Path(wide).c_str()});
    CoTaskMemFree(items);
    return found;
}

void CreateProgramShortcut()
{
    // The program the shortcut starts.
    char target[kPathSize];
    if (setup.installPrefix[0] == '\0' || !JoinPath(target, {setup.installPrefix, setup.iconExe}))
        return;

    // The program menu, made current; without it no shortcut.
    char programs[kPathSize];
    if (!ProgramMenuFolder(programs) || !EnterFolder(programs))
        return;

    // The group, made inside the program menu or reused; results
    // ignored, so a group that can't be entered leaves the program menu.
    const std::wstring group = WidePath(setup.iconGroup);
    const std::string fullGroup = Utf8Path(FullWidePath(setup.iconGroup));
    if (GetFileAttributesW(group.c_str()) == INVALID_FILE_ATTRIBUTES && !fullGroup.empty() &&
        PathLength(fullGroup) <= kPathLimit)
        RecordMenuFolder(fullGroup.c_str());
    CreateDirectoryW(group.c_str(), nullptr);
    SetCurrentDirectoryW(group.c_str());

    // The shortcut path from the folder actually entered.
    const std::string folder = CurrentDirectoryPath();
    char folderPrefix[kPathSize];
    char shortcutPath[kPathSize];
    if (folder.empty() || !MakeDirPrefix(folderPrefix, folder.c_str()) ||
        !JoinPath(shortcutPath, {folderPrefix, setup.iconName, ".lnk"}))
        return;

    // The status is not reported: nothing tells the user about the shortcut.
    // One that exists is put aside, to come back if the run is undone.
    if (!RecordFileToReplace(shortcutPath)) {
        LogLine("Shortcut %s not made (the one there cannot be put aside)", shortcutPath);
        return;
    }
    RecordShortcut(shortcutPath);
    const HRESULT status =
        SaveShellLink(target, shortcutPath, setup.installPrefix, setup.shortcutArgs);
    if (SUCCEEDED(status)) {
        RecordFileWritten(shortcutPath);
        LogLine("Shortcut %s -> %s", shortcutPath, target);
    } else {
        RecordFileNotWritten(shortcutPath);
        LogLine("Shortcut %s not made (error 0x%08lx)", shortcutPath,
                static_cast<unsigned long>(status));
    }
}

HRESULT SaveShellLink(const char* target, const char* shortcutPath, const char* workingDir,
                      const char* arguments)
{
    IShellLinkW* link = nullptr;
    HRESULT status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, reinterpret_cast<void**>(&link));
    if (FAILED(status))
        return status;

    // A value that can't be set still leaves a shortcut worth saving.
    link->SetPath(WidePath(target).c_str());
    link->SetArguments(WidenText(arguments).c_str());
    link->SetWorkingDirectory(WidePath(workingDir).c_str());

    IPersistFile* persist = nullptr;
    status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (SUCCEEDED(status)) {
        status = persist->Save(WidePath(shortcutPath).c_str(), TRUE);
        persist->Release();
    }
    link->Release();
    return status;
}
