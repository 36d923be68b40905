#include "medium_names.h"

#include <cstring>

#include "script/lz_file.h"
#include "shell/windows1252.h"

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
    std::string hostName;
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
            hostName.clear();
            continue;
        }
        const std::string wanted = FoldedName(component);
        const FolderEntry* match = nullptr;
        const std::vector<FolderEntry>& listing = Listing(medium, host);
        for (const FolderEntry& entry : listing) {
            if (entry.narrow && FoldedName(entry.name) == wanted) {
                match = &entry;
                break;
            }
        }
        // An 8.3 name: the platform's search, where there is one, names it,
        // a name install.inf cannot spell too.
        std::vector<FoundEntry> aliased;
        if (!match && component.find_first_of("*?") == std::string::npos &&
            SearchHostFolder(host, component, aliased) && aliased.size() == 1) {
            for (const FolderEntry& entry : listing) {
                if (entry.hostName == aliased[0].entry.hostName)
                    match = &entry;
            }
        }
        if (!match)
            return Lookup::Missing;
        trail.emplace_back(host, shown);
        host = host + kHostSeparator + match->hostName;
        shown = Child(shown, match->shown, '/');
        name = match->name;
        hostName = match->hostName;
        isFolder = match->isFolder;
    }
    found = {host, shown, name, isFolder, hostName};
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
    // Trailing dots go; "*." asks for names without an extension.
    if (!pattern.empty() && pattern.back() == '.') {
        while (!pattern.empty() && pattern.back() == '.')
            pattern.remove_suffix(1);
        const bool withoutExtension = !pattern.empty() && pattern.back() == '*';
        return (!withoutExtension || name.find('.') == std::string_view::npos) &&
               WildcardMatches(pattern, name);
    }
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

bool IsShortName(std::string_view name)
{
    const size_t dot = name.find('.');
    const std::string_view base = name.substr(0, dot);
    const std::string_view extension = dot == std::string_view::npos ? "" : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || extension.size() > 3 ||
        extension.find('.') != std::string_view::npos)
        return false;
    for (char c : name) {
        if (c == ' ' || std::strchr("+,;=[]", c) != nullptr)
            return false;
    }
    return true;
}

bool MayMatchShortName(std::string_view pattern, std::string_view name)
{
    if (IsShortName(name))
        return false;
    const size_t nameDot = name.find_last_of('.');
    std::string extension;
    if (nameDot != std::string_view::npos) {
        for (char c : name.substr(nameDot + 1)) {
            if (c != ' ' && extension.size() < 3)
                extension += c;
        }
    }
    const size_t dot = pattern.find_last_of('.');
    const std::string_view base = pattern.substr(0, dot);
    // Its base is some run of up to 8 characters with a '~' in it.
    if (base.find_first_of("*?~") == std::string_view::npos)
        return false;
    if (dot == std::string_view::npos)
        return extension.empty() || pattern.find('*') != std::string_view::npos;
    return WildcardMatches(pattern.substr(dot + 1), extension);
}

std::vector<MatchedFile> FilesMatching(Medium& medium, const MediumFile& folder, std::string_view pattern)
{
    auto fileOf = [&](const FolderEntry& entry) {
        return MediumFile{folder.host + kHostSeparator + entry.hostName, Child(folder.shown, entry.shown, '/'),
                          entry.name, false, entry.hostName};
    };
    std::vector<MatchedFile> files;
    std::vector<FoundEntry> found;
    if (SearchHostFolder(folder.host, std::string(pattern), found)) {
        for (const FoundEntry& each : found) {
            if (each.entry.isFolder)
                continue;
            // Only through the 8.3 name when that name is what matches; the
            // platform's search may also read a pattern otherwise than
            // Windows does (Wine's "*." finds every name), and it decides.
            const bool onlyShort = !WildcardMatches(pattern, each.entry.name) && !each.shortName.empty() &&
                                   WildcardMatches(pattern, each.shortName);
            files.push_back({fileOf(each.entry), onlyShort ? ShortMatch::Only : ShortMatch::No,
                             onlyShort ? each.shortName : ""});
        }
        return files;
    }
    for (const FolderEntry& entry : Listing(medium, folder.host)) {
        if (entry.isFolder)
            continue;
        if (WildcardMatches(pattern, entry.name))
            files.push_back({fileOf(entry), ShortMatch::No, ""});
        else if (MayMatchShortName(pattern, entry.name))
            files.push_back({fileOf(entry), ShortMatch::Maybe, ""});
    }
    return files;
}
