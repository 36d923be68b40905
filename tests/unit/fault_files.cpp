#include "fault_files.h"

#include <stdio_ext.h>
#include <unistd.h>

#include <cstdio>

#include "shell/text_file.h"
#include "support/files.h"

FileFaults fileFaults;

const char* FileStepName(FileStep step)
{
    switch (step) {
    case FileStep::Write:
        return "write";
    case FileStep::Flush:
        return "flush";
    case FileStep::Sync:
        return "sync";
    case FileStep::Close:
        return "close";
    case FileStep::Replace:
        return "replace";
    }
    return "?";
}

void ResetFileFaults(size_t failAt)
{
    fileFaults = FileFaults{};
    fileFaults.failAt = failAt;
}

namespace {

// The name of an open file: the last part of its path.
std::string NameOf(FILE* file)
{
    char path[4096];
    std::string link = "/proc/self/fd/" + std::to_string(fileno(file));
    ssize_t length = readlink(link.c_str(), path, sizeof path - 1);
    if (length < 0)
        return "?";
    std::string full(path, static_cast<size_t>(length));
    return full.substr(full.find_last_of('/') + 1);
}

// Records the step; true when it is the one to fail.
bool Fails(FileStep step, const std::string& file)
{
    fileFaults.steps.push_back({step, file, fileFaults.phase});
    return fileFaults.steps.size() == fileFaults.failAt;
}

}  // namespace

bool WriteToFile(FILE* file, const void* data, size_t size)
{
    if (Fails(FileStep::Write, NameOf(file))) {
        // A disk that fills up takes part of the data, then refuses.
        std::fwrite(data, 1, size / 2, file);
        return false;
    }
    return std::fwrite(data, 1, size, file) == size;
}

bool FlushFile(FILE* file)
{
    if (Fails(FileStep::Flush, NameOf(file))) {
        // What was buffered never reaches the file.
        __fpurge(file);
        return false;
    }
    return std::fflush(file) == 0 && !std::ferror(file);
}

bool SyncFileToDisk(FILE* file)
{
    if (Fails(FileStep::Sync, NameOf(file)))
        return false;
    return fsync(fileno(file)) == 0;
}

bool CloseFile(FILE* file)
{
    if (Fails(FileStep::Close, NameOf(file))) {
        __fpurge(file);
        std::fclose(file);
        return false;
    }
    return std::fclose(file) == 0;
}

bool ReplaceFileAtomically(const char* source, const char* target)
{
    if (Fails(FileStep::Replace, source))
        return false;
    if (std::rename(source, target) != 0)
        return false;
    fileFaults.replaced.push_back({fileFaults.steps.size() - 1, target, ReadFileBytes(target)});
    return true;
}

bool MoveToNewName(const char* source, const char* target)
{
    // Told apart from a replacement: the catalogue's creation ends with it.
    if (Fails(FileStep::Replace, std::string(source) + " as new"))
        return false;
    if (link(source, target) != 0)
        return false;
    unlink(source);
    fileFaults.replaced.push_back({fileFaults.steps.size() - 1, target, ReadFileBytes(target)});
    return true;
}
