// The host file layer natively: POSIX calls.
#include "host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "shell/text_file.h"

const char kHostSeparator = '/';
const bool kHostSeesShortNames = false;
const bool kHostHasFrenchCollation = false;

bool ListFolder(const std::string& hostFolder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(hostFolder.c_str()), closedir);
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string hostName = entry->d_name;
        if (hostName == "." || hostName == "..")
            continue;
        entries.push_back(EntryNamed(hostName, IsHostFolder(hostFolder + "/" + hostName)));
    }
    return true;
}

bool SearchHostFolder(const std::string&, const std::string&, std::vector<FoundEntry>&)
{
    return false;
}

bool IsHostFolder(const std::string& hostPath)
{
    struct stat info;
    return stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool WriteHostFileWhole(const std::string& hostPath, const std::string& bytes)
{
    const std::string temporary = hostPath + ".medium-new";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool ok = WriteToFile(file, bytes.data(), bytes.size());
    ok = FlushAndClose(file) && ok;
    if (!ok || !ReplaceFileAtomically(temporary.c_str(), hostPath.c_str())) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

namespace {

std::string TemporaryFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
}

}  // namespace

ScopedFile OpenTemporaryHostFile()
{
    return ScopedFile(std::tmpfile());
}

bool IsFolderNotLink(const std::string& hostPath)
{
    struct stat info;
    return lstat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void RemoveHostFile(const std::string& hostPath)
{
    unlink(hostPath.c_str());
}

void RemoveEmptyHostFolder(const std::string& hostPath)
{
    rmdir(hostPath.c_str());
}

WorkFolder::WorkFolder()
{
    std::string name = TemporaryFolder() + "/medium-XXXXXX";
    if (mkdtemp(&name[0]))
        path_ = name;
}

bool MakeHostFolder(const std::string& hostPath)
{
    return mkdir(hostPath.c_str(), 0777) == 0;
}

std::string CurrentHostFolder()
{
    char buffer[4096];
    return getcwd(buffer, sizeof buffer) ? buffer : "";
}

bool ChangeHostFolder(const std::string& hostPath)
{
    return chdir(hostPath.c_str()) == 0;
}

// argv is UTF-8 here already.
std::vector<std::string> HostArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv, argv + argc);
}

void PrepareConsole() {}
