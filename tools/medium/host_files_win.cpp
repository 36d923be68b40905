// The host file layer of medium.exe: the platform's wide file calls, as
// setup.exe makes them, on UTF-8 paths.
#include "host_files.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cwchar>
#include <memory>

#include "shell/text_file.h"
#include "shell/wide_text.h"
#include "shell/windows1252.h"

const char kHostSeparator = '\\';
const bool kHostSeesShortNames = true;
const bool kHostHasFrenchCollation = true;

namespace {

FolderEntry EntryOf(const WIN32_FIND_DATAW& found)
{
    return EntryNamed(Utf8Path(found.cFileName), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
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
    const std::string all = hostFolder + "\\*";
    ScopedFind search(FindFirstFileW(WidePath(all.c_str()).c_str(), &found));
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
    const std::string wanted = hostFolder + "\\" + Windows1252ToUtf8(pattern);
    ScopedFind search(FindFirstFileW(WidePath(wanted.c_str()).c_str(), &data));
    if (!search)
        return true;
    do {
        if (IsDotEntry(data))
            continue;
        std::string shortName;
        Utf8ToWindows1252(Utf8Path(data.cAlternateFileName), shortName);
        found.push_back({EntryOf(data), shortName});
    } while (FindNextFileW(search.get(), &data));
    return true;
}

bool IsHostFolder(const std::string& hostPath)
{
    DWORD attributes = GetFileAttributesW(WidePath(hostPath.c_str()).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteHostFileWhole(const std::string& hostPath, const std::string& bytes)
{
    const std::string temporary = hostPath + ".medium-new";
    ScopedFile file(OpenFile(temporary.c_str(), "wb"));
    if (!file)
        return false;
    bool ok = WriteToFile(file.get(), bytes.data(), bytes.size());
    ok = FlushAndClose(file.release()) && ok;
    if (!ok || !ReplaceFileAtomically(temporary.c_str(), hostPath.c_str())) {
        RemovePath(temporary.c_str());
        return false;
    }
    return true;
}

namespace {

std::string TemporaryFolder()
{
    const std::string path = TempFolderPath();
    return path.empty() ? ".\\" : path;
}

// A new file in the temporary folder, deleted when its last handle closes.
ScopedFileHandle CreateTemporaryFile()
{
    wchar_t name[MAX_PATH];
    if (!GetTempFileNameW(WidePath(TemporaryFolder().c_str()).c_str(), L"med", 0, name))
        return ScopedFileHandle();
    return ScopedFileHandle(CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
    DWORD attributes = GetFileAttributesW(WidePath(hostPath.c_str()).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void RemoveHostFile(const std::string& hostPath)
{
    SetFileAttributesW(WidePath(hostPath.c_str()).c_str(), FILE_ATTRIBUTE_NORMAL);
    RemovePath(hostPath.c_str());
}

void RemoveEmptyHostFolder(const std::string& hostPath)
{
    RemoveDirectoryW(WidePath(hostPath.c_str()).c_str());
}

WorkFolder::WorkFolder()
{
    const std::string base = TemporaryFolder() + "medium-" + std::to_string(GetCurrentProcessId());
    for (int n = 0; n < 100; ++n) {
        std::string name = base + "-" + std::to_string(n);
        if (CreateDirectoryW(WidePath(name.c_str()).c_str(), nullptr)) {
            path_ = name;
            return;
        }
    }
}

bool MakeHostFolder(const std::string& hostPath)
{
    return CreateDirectoryW(WidePath(hostPath.c_str()).c_str(), nullptr) != 0;
}

std::string CurrentHostFolder()
{
    return CurrentDirectoryPath();
}

bool ChangeHostFolder(const std::string& hostPath)
{
    return EnterFolder(hostPath.c_str());
}

namespace {

struct LocalFreeDeleter {
    void operator()(wchar_t** words) const { LocalFree(words); }
};

}  // namespace

// The C runtime's argv is in the system's code page, which may lack the
// characters of a path: the wide command line has them all.
std::vector<std::string> HostArguments(int argc, char** argv)
{
    int count = 0;
    std::unique_ptr<wchar_t*, LocalFreeDeleter> words(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!words)
        return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8Path(words.get()[i]));
    return arguments;
}

void PrepareConsole()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetConsoleOutputCP(CP_UTF8);
}
