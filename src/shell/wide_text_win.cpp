#include "shell/wide_text.h"

std::wstring Widen(const char* text, UINT codePage)
{
    const int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

std::string Narrow(const std::wstring& wide, UINT codePage)
{
    const int length = WideCharToMultiByte(codePage, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.c_str(), -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length - 1));
    return text;
}

std::wstring FullWidePath(const char* path)
{
    const std::wstring wide = Widen(path, CP_ACP);
    const DWORD fullLength = wide.empty() ? 0 : GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (fullLength == 0)
        return std::wstring();
    std::wstring full(fullLength, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), fullLength, &full[0], nullptr);
    if (length == 0 || length >= fullLength)
        return std::wstring();
    full.resize(length);
    return full;
}
