// The Windows side of the file helpers.
#include <windows.h>
#include <io.h>

#include <cstdio>

#include "shell/scoped_handles.h"
#include "shell/text_file.h"
#include "shell/wide_text.h"

FILE* OpenFile(const char* path, const char* mode)
{
    return _wfopen(WidePath(path).c_str(), Widen(mode, CP_ACP).c_str());
}

bool RemovePath(const char* path)
{
    return DeleteFileW(WidePath(path).c_str()) != 0;
}

bool WriteToFile(FILE* file, const void* data, size_t size)
{
    return std::fwrite(data, 1, size, file) == size;
}

bool FlushFile(FILE* file)
{
    return std::fflush(file) == 0 && !std::ferror(file);
}

bool SyncFileToDisk(FILE* file)
{
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool CloseFile(FILE* file)
{
    return std::fclose(file) == 0;
}

bool ReplaceFileAtomically(const char* source, const char* target)
{
    // Windows refuses to replace a read-only file; Wine renames over it. A
    // read-only catalogue is the user's choice and stays as it is.
    DWORD attributes = GetFileAttributesW(WidePath(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // Not ReplaceFile: without a backup name it deletes the target first.
    return MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool MoveToNewName(const char* source, const char* target)
{
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes it fail.
    return MoveFileExW(WidePath(source).c_str(), WidePath(target).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

bool IsSameFile(const char* a, const char* b)
{
    BY_HANDLE_FILE_INFORMATION info[2];
    const char* paths[2] = {a, b};
    for (int i = 0; i < 2; ++i) {
        ScopedFileHandle file(CreateFileW(WidePath(paths[i]).c_str(), 0,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file || !GetFileInformationByHandle(file.get(), &info[i]))
            return false;
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

bool FileStamp(const char* path, uint64_t& size, uint64_t& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    time = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
    return true;
}
