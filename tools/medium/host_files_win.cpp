// The host file layer of medium.exe: the platform's narrow file calls, as
// setup.exe makes them.
#include "host_files.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cwchar>

#include "shell/text_file.h"
#include "shell/windows1252.h"

const char kHostSeparator = '\\';
const bool kHostSeesShortNames = true;
const bool kHostHasFrenchCollation = true;

namespace {

std::wstring Wide(const std::string& narrow)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return L"";
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

// A wide name in the code page; usedDefault tells whether a character had
// no byte there (it is '?' then, as the narrow calls show it).
std::string Narrow(const wchar_t* wide, UINT codePage, bool& usedDefault)
{
    BOOL defaulted = FALSE;
    const bool exact = codePage == CP_UTF8;
    const DWORD flags = exact ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = WideCharToMultiByte(codePage, flags, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return "";
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide, -1, &narrow[0], length, exact ? nullptr : "?",
                        exact ? nullptr : &defaulted);
    narrow.resize(static_cast<size_t>(length) - 1);
    usedDefault = defaulted != FALSE;
    return narrow;
}

FolderEntry EntryOf(const WIN32_FIND_DATAW& found)
{
    FolderEntry entry;
    bool usedDefault = false;
    entry.name = Narrow(found.cFileName, CP_ACP, usedDefault);
    entry.hostName = entry.name;
    entry.isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.narrow = !usedDefault;
    entry.shown = entry.narrow ? ShownText(entry.name) : Narrow(found.cFileName, CP_UTF8, usedDefault);
    return entry;
}

bool IsDotEntry(const WIN32_FIND_DATAW& found)
{
    return std::wcscmp(found.cFileName, L".") == 0 || std::wcscmp(found.cFileName, L"..") == 0;
}

}  // namespace

bool ListFolder(const std::string& hostFolder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    WIN32_FIND_DATAW found;
    ScopedFind search(FindFirstFileW(Wide(hostFolder + "\\*").c_str(), &found));
    if (!search)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (!IsDotEntry(found))
            entries.push_back(EntryOf(found));
    } while (FindNextFileW(search.get(), &found));
    return true;
}

bool SearchHostFolder(const std::string& hostFolder, const std::string& pattern, std::vector<FoundEntry>& found)
{
    found.clear();
    WIN32_FIND_DATAW data;
    ScopedFind search(FindFirstFileW(Wide(hostFolder + "\\" + pattern).c_str(), &data));
    if (!search)
        return true;
    do {
        if (IsDotEntry(data))
            continue;
        bool usedDefault = false;
        found.push_back({EntryOf(data), Narrow(data.cAlternateFileName, CP_ACP, usedDefault)});
    } while (FindNextFileW(search.get(), &data));
    return true;
}

bool IsHostFolder(const std::string& hostPath)
{
    DWORD attributes = GetFileAttributesA(hostPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteHostFileWhole(const std::string& hostPath, const std::string& bytes)
{
    const std::string temporary = hostPath + ".medium-new";
    ScopedFile file(std::fopen(temporary.c_str(), "wb"));
    if (!file)
        return false;
    bool ok = WriteToFile(file.get(), bytes.data(), bytes.size());
    ok = FlushAndClose(file.release()) && ok;
    if (!ok || !ReplaceFileAtomically(temporary.c_str(), hostPath.c_str())) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    return true;
}

namespace {

std::string TemporaryFolder()
{
    char path[MAX_PATH + 1];
    DWORD length = GetTempPathA(sizeof path, path);
    return length > 0 && length < sizeof path ? std::string(path, length) : ".\\";
}

// A new file in the temporary folder, deleted when its last handle closes.
ScopedFileHandle CreateTemporaryFile()
{
    char name[MAX_PATH];
    if (!GetTempFileNameA(TemporaryFolder().c_str(), "med", 0, name))
        return ScopedFileHandle();
    return ScopedFileHandle(CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

}  // namespace

// The handle goes to a C runtime descriptor, and the descriptor to the
// FILE: each owner lets go once the next one holds it.
ScopedFile OpenTemporaryHostFile()
{
    ScopedFileHandle handle = CreateTemporaryFile();
    if (!handle)
        return ScopedFile();
    ScopedCrtFile descriptor(_open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), _O_RDWR | _O_BINARY));
    if (!descriptor)
        return ScopedFile();
    handle.release();
    ScopedFile file(_fdopen(descriptor.get(), "w+b"));
    if (file)
        descriptor.release();
    return file;
}

bool IsFolderNotLink(const std::string& hostPath)
{
    DWORD attributes = GetFileAttributesA(hostPath.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void RemoveHostFile(const std::string& hostPath)
{
    SetFileAttributesA(hostPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(hostPath.c_str());
}

void RemoveEmptyHostFolder(const std::string& hostPath)
{
    RemoveDirectoryA(hostPath.c_str());
}

WorkFolder::WorkFolder()
{
    const std::string base = TemporaryFolder() + "medium-" + std::to_string(GetCurrentProcessId());
    for (int n = 0; n < 100; ++n) {
        std::string name = base + "-" + std::to_string(n);
        if (CreateDirectoryA(name.c_str(), nullptr)) {
            path_ = name;
            return;
        }
    }
}

bool MakeHostFolder(const std::string& hostPath)
{
    return CreateDirectoryA(hostPath.c_str(), nullptr) != 0;
}

std::string CurrentHostFolder()
{
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
    return length > 0 && length < sizeof buffer ? buffer : "";
}

bool ChangeHostFolder(const std::string& hostPath)
{
    return SetCurrentDirectoryA(hostPath.c_str()) != 0;
}

void PrepareConsole()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}
