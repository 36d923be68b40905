#include "file_test_support.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>

ScratchFolder::ScratchFolder()
{
    static int serial = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "scr" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++serial);
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

namespace {

std::wstring LongPath(const std::string& path)
{
    std::wstring wide(path.begin(), path.end());
    return L"\\\\?\\" + wide;
}

}  // namespace

void RemoveTree(const std::string& path)
{
    std::wstring wide = LongPath(path);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((wide + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring child = wide + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + "\\" + std::string(name.begin(), name.end()));
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(wide.c_str());
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
}

std::string ReadBytes(const std::string& path)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<none>";
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolder(const std::string& path)
{
    CreateDirectoryW(LongPath(path).c_str(), nullptr);
}

std::string MakeDeepFolder(const std::string& base, size_t length)
{
    std::string path = base;
    // Whole 50-character levels while more than a short last one remains.
    while (length - path.size() > 52) {
        path += "\\" + std::string(50, 'd');
        MakeFolder(path);
    }
    path += "\\" + std::string(length - path.size() - 1, 'e');
    MakeFolder(path);
    return path;
}

std::string CurrentDirectory()
{
    char buffer[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((LongPath(folder) + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.emplace_back(name.begin(), name.end());
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string FixturePath(const std::string& name)
{
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string folder(program, length);
    folder.erase(folder.find_last_of('\\') + 1);
    return folder + "lz_fixtures\\" + name;
}

namespace {

// Wine's mount manager request, as winecfg sends it.
constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

HANDLE OpenMountManager()
{
    // The manager runs among Wine's services, which the first program of a
    // session starts; wait for them rather than fail.
    for (int attempt = 0; attempt < 150; ++attempt) {
        HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                     0, nullptr);
        if (manager != INVALID_HANDLE_VALUE)
            return manager;
        Sleep(200);
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

MappedDrive::MappedDrive(char letter, const std::string& folder) : letter_(letter)
{
    using UnixName = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return;
    std::wstring wide(folder.begin(), folder.end());
    char* unixPath = unixName(wide.c_str());
    if (!unixPath)
        return;
    mapped_ = Define(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
}

MappedDrive::~MappedDrive()
{
    if (mapped_)
        Define(nullptr);
}

bool MappedDrive::Define(const char* unixPath)
{
    size_t pathSize = unixPath ? std::strlen(unixPath) + 1 : 0;
    std::vector<char> request(sizeof(UnixDriveRequest) + pathSize);
    auto* drive = reinterpret_cast<UnixDriveRequest*>(request.data());
    drive->size = static_cast<ULONG>(request.size());
    drive->type = DRIVE_FIXED;
    drive->letter = static_cast<WCHAR>(letter_ - 'A' + 'a');
    if (unixPath) {  // no mount point removes the drive
        drive->mountPointOffset = sizeof(UnixDriveRequest);
        std::memcpy(request.data() + sizeof(UnixDriveRequest), unixPath, pathSize);
    }
    HANDLE manager = OpenMountManager();
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    BOOL done = DeviceIoControl(manager, kDefineUnixDrive, request.data(),
                                static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return done && (!unixPath || GetFileAttributesA(root().c_str()) != INVALID_FILE_ATTRIBUTES);
}
