// The file helpers on the host.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "files.h"

namespace fs = std::filesystem;

const char kSeparator = '/';

ScratchFolder::ScratchFolder(const std::string& hint) : ScratchFolder(fs::temp_directory_path().string(), hint) {}

ScratchFolder::ScratchFolder(const std::string& parent, const std::string& hint)
{
    std::string pattern = parent + "/setup-" + hint + "-XXXXXX";
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a folder in " + parent);
    path_ = pattern;
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& folder) : previous_(CurrentFolder())
{
    fs::current_path(folder);
}

ScopedCurrentFolder::~ScopedCurrentFolder()
{
    std::error_code ignored;
    fs::current_path(previous_, ignored);
}

std::string CurrentFolder()
{
    return fs::current_path().string();
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool PathExists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeFolder(const std::string& path)
{
    return mkdir(path.c_str(), 0755) == 0;
}

void RemoveTree(const std::string& path)
{
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::vector<std::string> FolderNames(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string BesideProgram(const std::string& name)
{
    return (fs::read_symlink("/proc/self/exe").parent_path() / name).string();
}
