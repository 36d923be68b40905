#include "medium_names.h"

#include "script/lz_file.h"
#include "windows1252.h"

namespace {

const std::vector<FolderEntry>& Listing(Medium& medium, const std::string& hostFolder)
{
    auto found = medium.listings.find(hostFolder);
    if (found == medium.listings.end()) {
        std::vector<FolderEntry> entries;
        ListFolder(hostFolder, entries);
        found = medium.listings.emplace(hostFolder, std::move(entries)).first;
    }
    return found->second;
}

std::string Child(const std::string& folder, const std::string& name, char separator)
{
    return folder.empty() ? name : folder + separator + name;
}

}  // namespace

std::vector<std::string> PathComponents(std::string_view path, bool& absolute)
{
    absolute = (!path.empty() && (path[0] == '\\' || path[0] == '/')) ||
               (path.size() >= 2 && path[1] == ':');
    std::vector<std::string> components;
    size_t at = 0;
    while (at <= path.size()) {
        size_t end = path.find_first_of("\\/", at);
        if (end == std::string_view::npos)
            end = path.size();
        std::string part(path.substr(at, end - at));
        at = end + 1;
        if (part != "..") {
            while (!part.empty() && (part.back() == '.' || part.back() == ' '))
                part.pop_back();
        }
        if (!part.empty())
            components.push_back(part);
    }
    return components;
}

Lookup FindOnMedium(Medium& medium, std::string_view path, MediumFile& found)
{
    bool absolute;
    const std::vector<std::string> components = PathComponents(path, absolute);
    if (absolute)
        return Lookup::Outside;
    // The folders walked so far, host and shown paths; the root is empty.
    std::vector<std::pair<std::string, std::string>> trail;
    std::string host = medium.root;
    std::string shown;
    std::string name;
    bool isFolder = true;
    for (const std::string& component : components) {
        if (!isFolder)
            return Lookup::Missing;
        if (component == "..") {
            if (trail.empty())
                return Lookup::Outside;
            host = trail.back().first;
            shown = trail.back().second;
            trail.pop_back();
            name.clear();
            continue;
        }
        const std::string wanted = FoldedName(component);
        const FolderEntry* match = nullptr;
        for (const FolderEntry& entry : Listing(medium, host)) {
            if (FoldedName(entry.name) == wanted) {
                match = &entry;
                break;
            }
        }
        if (!match)
            return Lookup::Missing;
        trail.emplace_back(host, shown);
        host = host + kHostSeparator + match->hostName;
        shown = Child(shown, ShownText(match->name), '/');
        name = match->name;
        isFolder = match->isFolder;
    }
    found = {host, shown, name, isFolder};
    return Lookup::Found;
}

Lookup FindCopySource(Medium& medium, std::string_view path, MediumFile& found)
{
    Lookup lookup = FindOnMedium(medium, path, found);
    if (lookup == Lookup::Found && !found.isFolder)
        return lookup;
    if (lookup == Lookup::Outside)
        return lookup;
    lookup = FindOnMedium(medium, LzCompressedName(path), found);
    return lookup == Lookup::Found && found.isFolder ? Lookup::Missing : lookup;
}

bool WildcardMatches(std::string_view pattern, std::string_view name)
{
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos &&
        WildcardMatches(pattern.substr(0, pattern.size() - 2), name))
        return true;
    const std::string p = FoldedName(pattern);
    const std::string n = FoldedName(name);
    // The usual backtracking over the last '*'.
    size_t pi = 0, ni = 0, star = std::string::npos, resume = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi, ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            star = pi++;
            resume = ni;
        } else if (star != std::string::npos) {
            pi = star + 1;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

std::vector<MediumFile> FilesMatching(Medium& medium, const MediumFile& folder, std::string_view pattern)
{
    std::vector<MediumFile> files;
    for (const FolderEntry& entry : Listing(medium, folder.host)) {
        if (entry.isFolder || !WildcardMatches(pattern, entry.name))
            continue;
        files.push_back({folder.host + kHostSeparator + entry.hostName,
                         Child(folder.shown, ShownText(entry.name), '/'), entry.name, false});
    }
    return files;
}
