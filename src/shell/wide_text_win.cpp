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
    // A lone surrogate has no UTF-8: the path is refused rather than
    // turned into another name.
    const DWORD flags = codePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : 0;
    const int length = WideCharToMultiByte(codePage, flags, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return std::string();
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.c_str(), -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length - 1));
    return text;
}

std::wstring WidePath(const char* path)
{
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (length == 0 && GetLastError() == ERROR_NO_UNICODE_TRANSLATION)
        return Widen(path, CP_ACP);
    return Widen(path, CP_UTF8);
}

std::wstring FullWidePath(const char* path)
{
    const std::wstring wide = WidePath(path);
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

namespace {

// What a call that fills a buffer of a given size gives, however long;
// fill returns the length written, or the size needed when the buffer was
// too small, or 0 on failure.
template <typename Fill>
std::string FilledPath(Fill fill)
{
    std::wstring wide(MAX_PATH, L'\0');
    for (int tries = 0; tries < 4; ++tries) {
        const DWORD length = fill(&wide[0], static_cast<DWORD>(wide.size()));
        if (length == 0)
            return std::string();
        if (length < wide.size()) {
            wide.resize(length);
            return Utf8Path(wide);
        }
        wide.resize(static_cast<size_t>(length) + 1);
    }
    return std::string();
}

}  // namespace

std::string CurrentDirectoryPath()
{
    return FilledPath([](wchar_t* buffer, DWORD size) { return GetCurrentDirectoryW(size, buffer); });
}

std::string ProgramFilePath()
{
    return FilledPath([](wchar_t* buffer, DWORD size) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer, size);
        // A cut name fills the buffer: ask for a larger one.
        return length == size ? size * 2 : length;
    });
}

std::string TempFolderPath()
{
    return FilledPath([](wchar_t* buffer, DWORD size) { return GetTempPathW(size, buffer); });
}

std::string WindowsFolderPath()
{
    return FilledPath([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
}
