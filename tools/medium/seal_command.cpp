#include "seal_command.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "host_files.h"

namespace {

// The seal's own file is the one the seal cannot list.
bool IsManifest(const FolderEntry& entry)
{
    return SealKey(entry.shown) == SealKey(kManifestName);
}

// A '\' would read as a folder, and the rest no Windows medium holds.
bool FitsManifest(const std::string& name)
{
    return std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F || std::strchr("<>:\"/\\|?*", c) != nullptr;
    });
}

// For people and for report.h's file names: '/' between folders.
std::string Shown(std::string name)
{
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

std::string Hex8(uint32_t value)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(value));
    return text;
}

}  // namespace

bool ListMediumFiles(const std::string& root, MediumFiles& medium)
{
    medium = {};
    struct Folder {
        std::string host, name;
        bool isRoot;
    };
    std::vector<Folder> pending{{root, "", true}};
    while (!pending.empty()) {
        const Folder folder = std::move(pending.back());
        pending.pop_back();
        std::vector<FolderEntry> entries;
        if (!ListFolder(folder.host, entries)) {
            if (folder.isRoot)
                return false;
            medium.unreadable.push_back(folder.host);
            continue;
        }
        for (const FolderEntry& entry : entries) {
            if (folder.isRoot && IsManifest(entry))
                continue;
            const std::string host = folder.host + kHostSeparator + entry.hostName;
            const std::string name = folder.isRoot ? entry.shown : folder.name + '\\' + entry.shown;
            if (!FitsManifest(entry.shown)) {
                medium.leftOut.push_back(Shown(name) +
                                         ": no manifest can hold its name (not UTF-8, or a control character "
                                         "or one of <>:\"/\\|?* in it): not listed");
            } else if (!entry.isFolder) {
                medium.files.push_back({host, name});
            } else if (IsFolderNotLink(host)) {
                pending.push_back({host, name, false});
            } else {
                medium.leftOut.push_back(Shown(name) + ": a link to a folder: not followed");
            }
        }
    }
    return true;
}

bool SumHostFile(const std::string& hostPath, uint64_t& size, uint32_t& crc)
{
    uint32_t state = Crc32Init;
    uint64_t total = 0;
    if (!ReadHostBlocks(hostPath, [&](const char* block, size_t length) {
            state = Crc32Update(state, block, length);
            total += length;
        }))
        return false;
    size = total;
    crc = Crc32Final(state);
    return true;
}

int SealMedium(const std::string& dir, FILE* out, FILE* err)
{
    MediumFiles medium;
    if (!IsHostFolder(dir) || !ListMediumFiles(dir, medium)) {
        std::fprintf(err, "medium: cannot read the folder %s\n", dir.c_str());
        return 2;
    }
    bool whole = true;
    for (const std::string& folder : medium.unreadable) {
        std::fprintf(err, "medium: cannot read the folder %s\n", folder.c_str());
        whole = false;
    }
    for (const std::string& text : medium.leftOut)
        std::fprintf(err, "medium: warning: %s\n", text.c_str());

    std::map<std::string, std::string> names;  // by key, to tell which two collide
    std::vector<SealEntry> entries;
    uint64_t bytes = 0;
    for (const SealedFile& file : medium.files) {
        const auto [earlier, added] = names.emplace(SealKey(file.name), file.name);
        if (!added) {
            std::fprintf(err, "medium: %s and %s are one name on Windows: rename one\n",
                         Shown(earlier->second).c_str(), Shown(file.name).c_str());
            whole = false;
            continue;
        }
        SealEntry entry{file.name};
        if (!SumHostFile(file.host, entry.size, entry.crc)) {
            std::fprintf(err, "medium: cannot read %s\n", file.host.c_str());
            whole = false;
            continue;
        }
        bytes += entry.size;
        entries.push_back(std::move(entry));
    }
    const std::string manifest = dir + kHostSeparator + kManifestName;
    std::string text;
    if (!whole || !WriteSeal(std::move(entries), text) || !WriteHostFileWhole(manifest, text)) {
        std::fprintf(err, "medium: %s not written\n", manifest.c_str());
        return 1;
    }
    std::fprintf(out, "sealed %zu file%s, %llu bytes: %s\n", names.size(), names.size() == 1 ? "" : "s",
                 static_cast<unsigned long long>(bytes), manifest.c_str());
    return 0;
}

SealState ReadMediumSeal(const std::string& root, MediumSeal& seal)
{
    std::vector<FolderEntry> entries;
    ListFolder(root, entries);
    const auto manifest = std::find_if(entries.begin(), entries.end(), IsManifest);
    if (manifest == entries.end())
        return SealState::None;
    std::string bytes;
    bool tooLarge = false;
    const bool read = !manifest->isFolder &&
                      ReadHostBlocks(root + kHostSeparator + manifest->hostName, [&](const char* block, size_t size) {
                          tooLarge = tooLarge || bytes.size() + size > kManifestMaxSize;
                          if (!tooLarge)
                              bytes.append(block, size);
                      });
    return read && !tooLarge && seal.Parse(bytes) ? SealState::Read : SealState::Damaged;
}

std::set<std::string> CheckSealedFiles(const std::string& root, const MediumSeal& seal, Report& report)
{
    std::set<std::string> missing;
    MediumFiles medium;
    ListMediumFiles(root, medium);
    std::map<std::string, const SealedFile*> files;
    for (const SealedFile& file : medium.files)
        files.emplace(SealKey(file.name), &file);
    for (const SealEntry& entry : seal.entries()) {
        const std::string stops = ": setup.exe stops with \"" + DamagedMediumMessage(entry.name) + "\"";
        const std::string key = SealKey(entry.name);
        const auto found = files.find(key);
        if (found == files.end()) {
            report.Error(Shown(entry.name), 0, "listed in manifest.crc, but missing" + stops);
            missing.insert(key);
            continue;
        }
        const std::string shown = Shown(found->second->name);
        uint64_t size = 0;
        uint32_t crc = 0;
        if (!SumHostFile(found->second->host, size, crc))
            report.Error(shown, 0, "listed in manifest.crc, but cannot be read" + stops);
        else if (size != entry.size)
            report.Error(shown, 0,
                         std::to_string(size) + " bytes, but manifest.crc lists " + std::to_string(entry.size) +
                             stops);
        else if (crc != entry.crc)
            report.Error(shown, 0,
                         "its bytes are not those manifest.crc lists (CRC-32 " + Hex8(crc) + ", listed " +
                             Hex8(entry.crc) + ")" + stops);
    }
    return missing;
}
