// The parts of the host file layer that are the same everywhere.
#include "host_files.h"

#include <cstring>

bool IsLzCompressed(const std::string& head)
{
    // The library reads a 14-byte header; a shorter file is copied as it is.
    static const char kMagic[] = "SZDD\x88\xF0\x27\x33";
    return head.size() >= 14 && std::memcmp(head.data(), kMagic, 8) == 0;
}

bool ReadHostFile(const std::string& hostPath, std::string& bytes)
{
    ScopedFile file(std::fopen(hostPath.c_str(), "rb"));
    if (!file)
        return false;
    bytes.clear();
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, n);
    return !std::ferror(file.get());
}

ScopedFile OpenBytes(const std::string& bytes)
{
    ScopedFile file = OpenTemporaryHostFile();
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fseek(file.get(), 0, SEEK_SET) != 0)
        return ScopedFile();
    return file;
}

namespace {

// Never through a link: only what is in the folder goes.
void RemoveHostTree(const std::string& path)
{
    std::vector<FolderEntry> entries;
    if (ListFolder(path, entries)) {
        for (const FolderEntry& entry : entries) {
            const std::string child = path + kHostSeparator + entry.hostName;
            if (IsFolderNotLink(child))
                RemoveHostTree(child);
            else
                RemoveHostFile(child);
        }
    }
    RemoveEmptyHostFolder(path);
}

}  // namespace

WorkFolder::~WorkFolder()
{
    if (!path_.empty())
        RemoveHostTree(path_);
}

bool ReadHostStart(const std::string& hostPath, size_t size, std::string& bytes)
{
    ScopedFile file(std::fopen(hostPath.c_str(), "rb"));
    if (!file)
        return false;
    bytes.assign(size, '\0');
    bytes.resize(std::fread(&bytes[0], 1, size, file.get()));
    return !std::ferror(file.get());
}
