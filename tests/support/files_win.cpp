// The file helpers under Windows. Names go through the wide calls; a name
// is UTF-8 when it is that, and otherwise in the system's code page, so that
// the tests' Windows-1252 literals and names in any letters both work. A
// path near MAX_PATH takes the \\?\ form, which lifts the limit but
// accepts only a whole absolute path.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <stdexcept>

#include "files.h"

const char kSeparator = '\\';

std::wstring WideName(const std::string& path)
{
    const bool absolute = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    const std::string full = absolute && path.size() >= MAX_PATH - 12 ? "\\\\?\\" + path : path;
    UINT codePage = CP_UTF8;
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, full.c_str(), -1, nullptr, 0);
    if (length == 0) {
        codePage = CP_ACP;
        length = MultiByteToWideChar(CP_ACP, 0, full.c_str(), -1, nullptr, 0);
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, full.c_str(), -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

// In the system's code page when it holds every character, else UTF-8.
std::string NarrowName(const wchar_t* text)
{
    BOOL lossy = FALSE;
    UINT codePage = CP_ACP;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, -1, nullptr, 0, nullptr, &lossy);
    if (lossy) {
        codePage = CP_UTF8;
        length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    }
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, codePage == CP_ACP ? WC_NO_BEST_FIT_CHARS : 0, text, -1, &narrow[0], length,
                        nullptr, nullptr);
    narrow.resize(std::strlen(narrow.c_str()));
    return narrow;
}

std::string Utf8Name(const std::string& name)
{
    const std::wstring wide = WideName(name);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(std::strlen(utf8.c_str()));
    return utf8;
}

namespace {

std::string TempFolder()
{
    wchar_t temp[MAX_PATH];
    DWORD length = GetTempPathW(MAX_PATH, temp);
    return length < MAX_PATH ? NarrowName(temp) : std::string();
}

// Closes a file handle when it goes.
struct FileHandle {
    HANDLE handle;
    ~FileHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

}  // namespace

ScratchFolder::ScratchFolder(const std::string& hint) : ScratchFolder(TempFolder(), hint) {}

ScratchFolder::ScratchFolder(const std::string& parent, const std::string& hint)
{
    static unsigned serial = 0;
    std::string prefix = parent;
    if (!prefix.empty() && prefix.back() != '\\')
        prefix += '\\';
    prefix += "setup-" + hint + "-" + std::to_string(GetCurrentProcessId()) + "-";
    for (;;) {
        std::string candidate = prefix + std::to_string(++serial);
        if (CreateDirectoryW(WideName(candidate).c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot make " + candidate);
    }
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder) : previous_(CurrentFolder())
{
    if (!SetCurrentDirectoryW(WideName(folder).c_str()))
        throw std::runtime_error("cannot enter " + folder);
}

ScopedCurrentFolder::~ScopedCurrentFolder()
{
    SetCurrentDirectoryW(WideName(previous_).c_str());
}

std::string CurrentFolder()
{
    wchar_t buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, buffer);
    return length < MAX_PATH ? NarrowName(buffer) : std::string();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FileHandle file{CreateFileW(WideName(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr)};
    DWORD written = 0;
    if (file.handle == INVALID_HANDLE_VALUE ||
        !WriteFile(file.handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path)
{
    FileHandle file{CreateFileW(WideName(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot read " + path);
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.handle, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    return bytes;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesW(WideName(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(WideName(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeFolder(const std::string& path)
{
    return CreateDirectoryW(WideName(path).c_str(), nullptr) != FALSE;
}

void RemoveTree(const std::string& path)
{
    const std::wstring wide = WideName(path);
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!IsFolder(path)) {
        DeleteFileW(wide.c_str());
        return;
    }
    for (const std::string& name : FolderNames(path))
        RemoveTree(path + "\\" + name);
    RemoveDirectoryW(wide.c_str());
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(WideName(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = NarrowName(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string BesideProgram(const std::string& name)
{
    wchar_t program[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::string folder = length < MAX_PATH ? NarrowName(program) : std::string();
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}
