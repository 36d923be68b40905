// The program meets Windows in UTF-16 only. Its own texts and those of its
// files (install.inf, langue.cf, the display file) are Windows-1252 bytes,
// whatever code page the system runs; its paths are UTF-8, so that they
// hold any character. Windows build only.
#pragma once

#include <windows.h>

#include <string>

constexpr UINT kTextCodePage = 1252;

// text in the given code page as UTF-16; empty for an empty or unconvertible
// text.
std::wstring Widen(const char* text, UINT codePage);
inline std::wstring WidenText(const char* text)
{
    return Widen(text, kTextCodePage);
}

// wide in the given code page; a character the code page lacks becomes its
// best fit or '?', as the system's narrow calls show it. Empty for UTF-8 of
// a text that has none (a lone surrogate).
std::string Narrow(const std::wstring& wide, UINT codePage);

// A path between the program (UTF-8) and Windows (UTF-16). A path that is
// no UTF-8 was written by an earlier version of the program, in the
// system's code page (records and journals): read so, it still names its
// file.
std::wstring WidePath(const char* path);
inline std::string Utf8Path(const std::wstring& wide)
{
    return Narrow(wide, CP_UTF8);
}

// Makes the folder current; false when it cannot be entered.
inline bool EnterFolder(const char* path)
{
    return SetCurrentDirectoryW(WidePath(path).c_str()) != 0;
}

// Equal as Windows compares names, case ignored (UTF-8 paths, registry keys).
inline bool SameName(const std::string& a, const std::string& b)
{
    return lstrcmpiW(WidePath(a.c_str()).c_str(), WidePath(b.c_str()).c_str()) == 0;
}

// The absolute UTF-16 form of a path; empty when it has none.
std::wstring FullWidePath(const char* path);

// The current directory, the folder of the running program's file, the
// temporary folder and the Windows folder, in UTF-8; empty when Windows
// gives none.
std::string CurrentDirectoryPath();
std::string ProgramFilePath();
std::string TempFolderPath();
std::string WindowsFolderPath();
