// The program's texts meet Windows in UTF-16: its own texts and those of
// its files (install.inf, langue.cf, the display file) are Windows-1252
// bytes, whatever code page the system runs; paths are the system's own
// narrow form. Windows build only.
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
// best fit or '?', as the system's narrow calls show it.
std::string Narrow(const std::wstring& wide, UINT codePage);

// The absolute UTF-16 form of a path in the system's code page; empty when
// it has none.
std::wstring FullWidePath(const char* path);
