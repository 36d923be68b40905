// The parts of the file helpers that need no platform call of their own.
#include "files.h"

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

namespace {

void Walk(const std::string& root, const std::string& relative, Files* files,
          std::set<std::string>* folders)
{
    const std::string here = relative.empty() ? root : root + kSeparator + relative;
    for (const std::string& name : FolderNames(here)) {
        const std::string child = relative.empty() ? name : relative + kSeparator + name;
        if (!IsFolder(root + kSeparator + child)) {
            if (files)
                (*files)[child] = ReadFileBytes(root + kSeparator + child);
            continue;
        }
        if (folders)
            folders->insert(child);
        Walk(root, child, files, folders);
    }
}

}  // namespace

Files ReadFiles(const std::string& folder)
{
    Files files;
    Walk(folder, "", &files, nullptr);
    return files;
}

std::set<std::string> ReadFolders(const std::string& folder)
{
    std::set<std::string> folders;
    Walk(folder, "", nullptr, &folders);
    return folders;
}

Tree ReadTree(const std::string& root)
{
    return {ReadFolders(root), ReadFiles(root)};
}

std::vector<std::string> TreeDifferences(const Tree& expected, const Tree& actual)
{
    std::vector<std::string> differences;
    for (const std::string& folder : expected.folders)
        if (!actual.folders.count(folder))
            differences.push_back("folder missing: " + folder);
    for (const std::string& folder : actual.folders)
        if (!expected.folders.count(folder))
            differences.push_back("folder left over: " + folder);
    for (const auto& file : expected.files) {
        auto found = actual.files.find(file.first);
        if (found == actual.files.end())
            differences.push_back("file missing: " + file.first);
        else if (found->second != file.second)
            differences.push_back("file differs: " + file.first + " (" +
                                  std::to_string(found->second.size()) + " bytes, expected " +
                                  std::to_string(file.second.size()) + ")");
    }
    for (const auto& file : actual.files)
        if (!expected.files.count(file.first))
            differences.push_back("file left over: " + file.first + " (" +
                                  std::to_string(file.second.size()) + " bytes)");
    return differences;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "\n    " + line;
    return text;
}

void WriteFiles(const std::string& folder, const Files& files)
{
    for (const auto& [name, bytes] : files) {
        for (size_t at = name.find(kSeparator); at != std::string::npos; at = name.find(kSeparator, at + 1))
            MakeFolder(folder + kSeparator + name.substr(0, at));
        WriteFileBytes(folder + kSeparator + name, bytes);
    }
}

void CopyTree(const std::string& from, const std::string& to)
{
    MakeFolder(to);
    for (const std::string& folder : ReadFolders(from))
        MakeFolder(to + kSeparator + folder);
    WriteFiles(to, ReadFiles(from));
}

std::string MakeDeepFolder(const std::string& base, size_t length)
{
    std::string path = base;
    // Whole 50-character levels while more than a short last one remains.
    while (length - path.size() > 52) {
        path += kSeparator + std::string(50, 'd');
        MakeFolder(path);
    }
    path += kSeparator + std::string(length - path.size() - 1, 'e');
    MakeFolder(path);
    return path;
}
