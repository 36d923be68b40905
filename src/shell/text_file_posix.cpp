// The host side of the file helpers, for the native build.
#include <cstdio>
#include <unistd.h>

#include "shell/text_file.h"

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
    return fsync(fileno(file)) == 0;
}

bool CloseFile(FILE* file)
{
    return std::fclose(file) == 0;
}

bool ReplaceFileAtomically(const char* source, const char* target)
{
    // rename replaces an existing target atomically.
    return std::rename(source, target) == 0;
}

bool MoveToNewName(const char* source, const char* target)
{
    // link never replaces an existing target, a dangling link included.
    if (link(source, target) != 0)
        return false;
    unlink(source);
    return true;
}
