#include "shortcuts.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <cwchar>

#include "files.h"

std::string ProgramMenuFolder()
{
    wchar_t path[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, path, CSIDL_PROGRAMS, FALSE);
    return NarrowName(path);
}

Shortcut ReadShortcut(const std::string& file)
{
    Shortcut shortcut;
    const HRESULT com = CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            wchar_t target[MAX_PATH] = L"", arguments[MAX_PATH] = L"", folder[MAX_PATH] = L"";
            shortcut.loaded = SUCCEEDED(persist->Load(WideName(file).c_str(), STGM_READ)) &&
                              SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
                              SUCCEEDED(link->GetArguments(arguments, MAX_PATH)) &&
                              SUCCEEDED(link->GetWorkingDirectory(folder, MAX_PATH));
            // The shell starts a shortcut by its item list, which holds the
            // names in Unicode; Wine keeps the path itself in the system's
            // code page.
            LPITEMIDLIST items = nullptr;
            if (shortcut.loaded && SUCCEEDED(link->GetIDList(&items)) && items) {
                wchar_t path[MAX_PATH] = L"";
                if (SHGetPathFromIDListW(items, path))
                    std::wcscpy(target, path);
                CoTaskMemFree(items);
            }
            shortcut.target = NarrowName(target);
            shortcut.arguments = NarrowName(arguments);
            shortcut.workingDirectory = NarrowName(folder);
            persist->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return shortcut;
}

namespace {
constexpr wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
}  // namespace

RedirectedProgramMenu::RedirectedProgramMenu(const std::string& path)
{
    RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
    DWORD size = sizeof saved_ - sizeof saved_[0];
    had_ = RegQueryValueExW(key_, L"Programs", nullptr, &type_, reinterpret_cast<BYTE*>(saved_), &size) ==
           ERROR_SUCCESS;
    savedSize_ = size;
    const std::wstring wide = WideName(path);
    RegSetValueExW(key_, L"Programs", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

RedirectedProgramMenu::~RedirectedProgramMenu()
{
    if (had_)
        RegSetValueExW(key_, L"Programs", 0, type_, reinterpret_cast<const BYTE*>(saved_), savedSize_);
    else
        RegDeleteValueW(key_, L"Programs");
    RegCloseKey(key_);
}
