// Times the install script's copies of one file, as the copy and xcopy
// commands make them: copy reads it in large blocks, or expands it when it
// is stored compressed; xcopy copies it as it is stored. Prints each copy's
// time and throughput (of the bytes written).
//   copy_bench FILE INSTALL-DIR
// FILE's folder gets a subfolder for the setup file while the bench runs.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "bench_clock.h"
#include "script/install_script.h"
#include "script/lz_file.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"

namespace {

bool WriteSetupFile(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

// Runs one install script from medium into installDir and returns its time.
double TimeScript(const std::string& medium, const std::string& installDir, const std::string& script)
{
    if (!WriteSetupFile(medium + "\\install.inf", script))
        return -1;
    ResetSetupState();
    CopyText(setup.sourceDir, sizeof setup.sourceDir, medium.c_str());
    CopyText(setup.installDir, sizeof setup.installDir, installDir.c_str());
    const double start = Seconds();
    RunInstallScript();
    return Seconds() - start;
}

// The size copy writes: what a compressed file's header promises.
DWORD ExpandedSize(const std::string& file, DWORD bytes)
{
    char head[kLzHeaderSize];
    uint64_t promised = 0;
    ScopedFile in(std::fopen(file.c_str(), "rb"));
    if (!in || std::fread(head, 1, sizeof head, in.get()) != sizeof head ||
        !LzPromisedSize(std::string_view(head, sizeof head), promised))
        return bytes;
    return static_cast<DWORD>(promised);
}

void Report(const char* what, const std::string& copied, double seconds, DWORD bytes)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    const bool whole = GetFileAttributesExA(copied.c_str(), GetFileExInfoStandard, &data) &&
                       data.nFileSizeHigh == 0 && data.nFileSizeLow == bytes;
    std::printf("%-22s %7.3f s  %8.1f MB/s%s\n", what, seconds, bytes / 1048576.0 / seconds,
                whole ? "" : "  (copy incomplete!)");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: copy_bench FILE INSTALL-DIR\n");
        return 2;
    }
    const std::string file = argv[1], installDir = argv[2];
    const size_t slash = file.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash);
    const std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeHigh != 0) {
        std::fprintf(stderr, "cannot use %s\n", file.c_str());
        return 1;
    }
    const DWORD bytes = data.nFileSizeLow;
    const std::string medium = folder + "\\copy-bench";
    CreateDirectoryA(medium.c_str(), nullptr);
    // The install directory may be one level below one to make as well.
    const size_t parentEnd = installDir.find_last_of('\\');
    if (parentEnd != std::string::npos)
        CreateDirectoryA(installDir.substr(0, parentEnd).c_str(), nullptr);
    CreateDirectoryA(installDir.c_str(), nullptr);

    std::printf("%s: %.1f MB\n", name.c_str(), bytes / 1048576.0);
    const DWORD expanded = ExpandedSize(file, bytes);
    const double copy = TimeScript(medium, installDir, "copy ..\\" + name + " " + name + "\n");
    Report(expanded != bytes ? "copy (expanded)" : "copy (large blocks)", installDir + "\\" + name, copy, expanded);
    const double xcopy = TimeScript(medium, installDir, "mkdir x\nxcopy ..\\" + name + " x\n");
    Report("xcopy (as stored)", installDir + "\\x\\" + name, xcopy, bytes);

    DeleteFileA((medium + "\\install.inf").c_str());
    RemoveDirectoryA(medium.c_str());
    DeleteFileA((installDir + "\\" + name).c_str());
    DeleteFileA((installDir + "\\x\\" + name).c_str());
    RemoveDirectoryA((installDir + "\\x").c_str());
    RemoveDirectoryA(installDir.c_str());
    return copy < 0 || xcopy < 0 ? 1 : 0;
}
