// The host file layer of medium.exe: the platform's narrow file calls, as
// setup.exe makes them.
#include "host_files.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "shell/text_file.h"

const char kHostSeparator = '\\';
const bool kHostHasFrenchCollation = true;

bool ListFolder(const std::string& hostFolder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    WIN32_FIND_DATAA found;
    ScopedFind search(FindFirstFileA((hostFolder + "\\*").c_str(), &found));
    if (!search)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        entries.push_back({name, name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(search.get(), &found));
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
