#include "shortcuts.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

std::string ProgramMenuFolder()
{
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

Shortcut ReadShortcut(const std::string& file)
{
    Shortcut shortcut;
    const HRESULT com = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            wchar_t wide[MAX_PATH] = L"";
            char target[MAX_PATH] = "", arguments[MAX_PATH] = "", folder[MAX_PATH] = "";
            shortcut.loaded = MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH) > 0 &&
                              SUCCEEDED(persist->Load(wide, STGM_READ)) &&
                              SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
                              SUCCEEDED(link->GetArguments(arguments, MAX_PATH)) &&
                              SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
            shortcut.target = target;
            shortcut.arguments = arguments;
            shortcut.workingDirectory = folder;
            persist->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return shortcut;
}
