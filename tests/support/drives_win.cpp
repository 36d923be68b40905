#include "drives.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>

#include "files.h"

namespace {

// Wine's mount manager requests, as winecfg sends them.
constexpr DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDrive {
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

// Defines the letter as a drive on the Unix folder, or with none removes it;
// false when the manager refuses.
bool DefineUnixDrive(char letter, const char* unixPath)
{
    const size_t pathSize = unixPath ? std::strlen(unixPath) + 1 : 0;
    std::vector<char> in(sizeof(UnixDrive) + pathSize);
    auto* drive = reinterpret_cast<UnixDrive*>(in.data());
    drive->size = static_cast<ULONG>(in.size());
    drive->type = DRIVE_FIXED;
    drive->letter = static_cast<WCHAR>(letter | 0x20);
    if (unixPath) {  // a definition without a mount point removes the drive
        drive->mountPointOffset = sizeof(UnixDrive);
        std::memcpy(in.data() + sizeof(UnixDrive), unixPath, pathSize);
    }
    // The manager runs among Wine's services, which the first program of a
    // session starts: wait for it rather than fail.
    HANDLE manager = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 150 && manager == INVALID_HANDLE_VALUE; ++attempt) {
        manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (manager == INVALID_HANDLE_VALUE)
            Sleep(200);
    }
    if (manager == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    const BOOL done = DeviceIoControl(manager, kDefineUnixDrive, in.data(), static_cast<DWORD>(in.size()),
                                      nullptr, 0, &returned, nullptr);
    CloseHandle(manager);
    return done != FALSE;
}

// Whether anything holds the letter: a drive that answers, or any entry in
// the prefix's dosdevices folder, even a link to nothing, which no listing
// shows. Making a folder of that name is the one question that tells; the
// folder goes again at once. Unknown counts as in use. (Wine's list of
// logical drives keeps a drive after its removal: no help here.)
bool LetterInUse(char letter)
{
    if (PathExists(std::string(1, letter) + ":\\"))
        return true;
    char prefix[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (length == 0 || length >= sizeof prefix || prefix[0] != '/')
        return true;
    std::string entry = std::string("\\\\?\\unix") + prefix + "/dosdevices/" + static_cast<char>(letter | 0x20) + ":";
    for (char& c : entry)
        c = c == '/' ? '\\' : c;
    // Wine takes the Unix part of such a name as UTF-8.
    std::wstring wide(entry.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, entry.c_str(), -1, &wide[0], static_cast<int>(wide.size())) - 1));
    if (!CreateDirectoryW(wide.c_str(), nullptr))
        return true;
    RemoveDirectoryW(wide.c_str());
    return false;
}

}  // namespace

MappedDrive::MappedDrive(char letter, const std::string& folder) : letter_(static_cast<char>(letter & ~0x20))
{
    using UnixName = char*(CDECL*)(const WCHAR*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName || LetterInUse(letter_))
        return;
    int length = MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, &wide[0], length);
    char* unixPath = unixName(wide.c_str());
    if (!unixPath)
        return;
    mapped_ = DefineUnixDrive(letter_, unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    if (mapped_ && !PathExists(root())) {
        DefineUnixDrive(letter_, nullptr);
        mapped_ = false;
    }
}

MappedDrive::~MappedDrive()
{
    if (mapped_)
        DefineUnixDrive(letter_, nullptr);
}

DriveWithoutMedium::DriveWithoutMedium()
{
    for (char letter = 'Q'; letter <= 'Y' && !letter_; ++letter)
        if (!(GetLogicalDrives() & (1u << (letter - 'A'))) && !LetterInUse(letter))
            letter_ = letter;
    if (!letter_)
        return;
    const std::string device = std::string(1, letter_) + ":";
    // A device that does not exist: listed, but nothing can be opened on it.
    made_ = DefineDosDeviceA(DDD_RAW_TARGET_PATH, device.c_str(), "\\Device\\SetupTestNoMedium") != FALSE;
    if (made_ && SetCurrentDirectoryA(root().c_str())) {
        // Something answers on it after all: not a drive without a medium.
        DefineDosDeviceA(DDD_REMOVE_DEFINITION, device.c_str(), nullptr);
        made_ = false;
    }
}

DriveWithoutMedium::~DriveWithoutMedium()
{
    if (made_)
        DefineDosDeviceA(DDD_REMOVE_DEFINITION, (std::string(1, letter_) + ":").c_str(), nullptr);
}

std::vector<std::string> LogicalDriveStrings()
{
    char drives[512];
    DWORD length = GetLogicalDriveStringsA(sizeof drives, drives);
    std::vector<std::string> result;
    if (length == 0 || length >= sizeof drives)
        return result;
    for (const char* drive = drives; *drive; drive += lstrlenA(drive) + 1)
        result.push_back(drive);
    return result;
}
