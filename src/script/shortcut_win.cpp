// The program-menu shortcut through the shell-link object.
#include "script/shortcut.h"

#include <windows.h>
#include <shlobj.h>

#include "shell/install_record.h"
#include "shell/run_log.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/window_seam.h"

namespace {

// The file-system path of the user's program menu; false when the shell
// can't tell it.

}  // namespace

bool ProgramMenuFolder(char (&folder)[kPathSize])
{
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(MainWindowHandle(), CSIDL_PROGRAMS, &items)))
        return false;
    bool found = SHGetPathFromIDListA(items, folder) && folder[0] != '\0';
    CoTaskMemFree(items);
    return found;
}

void CreateProgramShortcut()
{
    // The program the shortcut starts.
    char target[kPathSize];
    if (setup.installPrefix[0] == '\0' ||
        !JoinText(target, sizeof target, {setup.installPrefix, setup.iconExe}))
        return;

    // The program menu, made current; without it no shortcut.
    char programs[kPathSize];
    if (!ProgramMenuFolder(programs) || !SetCurrentDirectoryA(programs))
        return;

    // The group, made inside the program menu or reused; results
    // ignored, so a group that can't be entered leaves the program menu.
    char group[kPathSize];
    if (GetFileAttributesA(setup.iconGroup) == INVALID_FILE_ATTRIBUTES &&
        GetFullPathNameA(setup.iconGroup, sizeof group, group, nullptr) - 1 < sizeof group - 1)
        RecordMenuFolder(group);
    CreateDirectoryA(setup.iconGroup, nullptr);
    SetCurrentDirectoryA(setup.iconGroup);

    // The shortcut path from the folder actually entered.
    char folder[kPathSize];
    char folderPrefix[kPathSize];
    char shortcutPath[kPathSize];
    DWORD length = GetCurrentDirectoryA(kPathSize, folder);
    if (length == 0 || length >= kPathSize ||
        !MakeDirPrefix(folderPrefix, folder) ||
        !JoinText(shortcutPath, sizeof shortcutPath, {folderPrefix, setup.iconName, ".lnk"}))
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
    IShellLinkA* link = nullptr;
    HRESULT status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (FAILED(status))
        return status;

    // A value that can't be set still leaves a shortcut worth saving.
    link->SetPath(target);
    link->SetArguments(arguments);
    link->SetWorkingDirectory(workingDir);

    IPersistFile* persist = nullptr;
    status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
    if (SUCCEEDED(status)) {
        WCHAR widePath[kPathSize];
        if (MultiByteToWideChar(CP_ACP, 0, shortcutPath, -1, widePath, kPathSize) == 0)
            status = HRESULT_FROM_WIN32(GetLastError());
        else
            status = persist->Save(widePath, TRUE);
        persist->Release();
    }
    link->Release();
    return status;
}
