// The parts of the host file layer that are the same everywhere.
#include "host_files.h"

#include <utility>

#include "script/lz_file.h"
#include "shell/text_file.h"
#include "shell/windows1252.h"

FolderEntry EntryNamed(const std::string& hostName, bool isFolder)
{
    FolderEntry entry{hostName, "", isFolder, true, ""};
    entry.narrow = Utf8ToWindows1252(hostName, entry.name);
    entry.shown = entry.narrow || !IsUtf8(hostName) ? ShownText(entry.name) : hostName;
    return entry;
}

bool ReadHostBlocks(const std::string& hostPath, const std::function<void(const char*, size_t)>& take)
{
    ScopedFile file(OpenFile(hostPath.c_str(), "rb"));
    if (!file)
        return false;
    std::vector<char> buffer(1 << 16);
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), file.get())) > 0)
        take(buffer.data(), n);
    return !std::ferror(file.get());
}

bool ReadHostFile(const std::string& hostPath, std::string& bytes)
{
    bytes.clear();
    return ReadHostBlocks(hostPath, [&](const char* block, size_t size) { bytes.append(block, size); });
}

Expansion ReadExpanded(const std::string& hostPath, std::string& bytes)
{
    if (!ReadHostFile(hostPath, bytes))
        return Expansion::Unreadable;
    if (!IsLzCompressed(bytes))
        return Expansion::Plain;
    const std::string compressed = std::move(bytes);
    switch (LzExpandBytes(compressed, bytes)) {
    case LzOutcome::Whole:
        return Expansion::Whole;
    case LzOutcome::WholeCut:
        return Expansion::WholeCut;
    case LzOutcome::Short:
        return Expansion::Short;
    case LzOutcome::Corrupt:
        return Expansion::Corrupt;
    case LzOutcome::ReadFailed:
    case LzOutcome::WriteFailed:
        break;
    }
    return Expansion::Unreadable;
}

bool Installs(Expansion expansion)
{
    return expansion == Expansion::Plain || expansion == Expansion::Whole || expansion == Expansion::WholeCut;
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
    ScopedFile file(OpenFile(hostPath.c_str(), "rb"));
    if (!file)
        return false;
    bytes.assign(size, '\0');
    bytes.resize(std::fread(&bytes[0], 1, size, file.get()));
    return !std::ferror(file.get());
}
