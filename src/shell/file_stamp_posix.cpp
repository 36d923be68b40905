// The host side of the file calls that the fault tests keep: opening,
// removing and looking at a file never fail on demand.
#include <sys/stat.h>

#include <cstdio>

#include "shell/text_file.h"

bool FileStamp(const char* path, uint64_t& size, uint64_t& time)
{
    struct stat status;
    if (stat(path, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    size = static_cast<uint64_t>(status.st_size);
    time = static_cast<uint64_t>(status.st_mtim.tv_sec) * 1000000000u +
           static_cast<uint64_t>(status.st_mtim.tv_nsec);
    return true;
}

bool IsSameFile(const char* a, const char* b)
{
    struct stat first, second;
    return stat(a, &first) == 0 && stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

FILE* OpenFile(const char* path, const char* mode)
{
    return std::fopen(path, mode);
}

bool RemovePath(const char* path)
{
    return std::remove(path) == 0;
}
