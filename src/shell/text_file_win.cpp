// The Windows side of the file helpers.
#include <windows.h>
#include <io.h>

#include <cstdio>

#include "shell/text_file.h"

bool SyncFileToDisk(FILE* file)
{
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

bool ReplaceFileAtomically(const char* source, const char* target)
{
    // Not ReplaceFile: without a backup name it deletes the target first.
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool MoveToNewName(const char* source, const char* target)
{
    // Without MOVEFILE_REPLACE_EXISTING an existing target makes it fail.
    return MoveFileExA(source, target, MOVEFILE_WRITE_THROUGH) != 0;
}
