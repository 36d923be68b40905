#include "fuzz_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "shell/text_file.h"
#include "support/files.h"

namespace {

std::string scratchDir;

void RemoveScratchDir()
{
    if (scratchDir.empty())
        return;
    if (chdir("/") == 0)
        RemoveTree(scratchDir);
}

std::string ScratchParent()
{
    if (const char* chosen = std::getenv("FUZZ_SCRATCH"))
        return chosen;
    // A RAM disk: every catalogue rewrite ends with an fsync.
    struct stat info;
    if (stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) && access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    if (const char* tmp = std::getenv("TMPDIR"))
        return tmp;
    return "/tmp";
}

// Flags whose value is a path.
const char* const kPathFlags[] = {"-dict=", "-artifact_prefix=", "-exact_artifact_path=", "-seed_inputs=",
                                  "-features_dir=", "-merge_control_file="};

std::string Absolute(const std::string& path, const std::string& cwd)
{
    return path.empty() || path[0] == '/' ? path : cwd + "/" + path;
}

void MakeArgumentsAbsolute(int* argc, char*** argv)
{
    static std::vector<std::string> texts;
    static std::vector<char*> pointers;
    std::vector<char> buffer(4096);
    if (!getcwd(buffer.data(), buffer.size()))
        return;
    const std::string cwd = buffer.data();
    texts.assign(*argv, *argv + *argc);
    for (size_t i = 1; i < texts.size(); ++i) {
        std::string& arg = texts[i];
        if (arg[0] != '-') {
            arg = Absolute(arg, cwd);
            continue;
        }
        for (const char* flag : kPathFlags) {
            const std::string prefix = flag;
            if (arg.compare(0, prefix.size(), prefix) == 0)
                arg = prefix + Absolute(arg.substr(prefix.size()), cwd);
        }
    }
    pointers.clear();
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    *argv = pointers.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    MakeArgumentsAbsolute(argc, argv);
    std::string pattern = ScratchParent() + "/setup-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
        std::perror("fuzz scratch folder");
        std::abort();
    }
    scratchDir = pattern;
    std::atexit(RemoveScratchDir);
    return 0;
}

void FuzzFailure(const char* file, int line, const std::string& what)
{
    std::fprintf(stderr, "\n%s:%d: invariant broken: %s\n", file, line, what.c_str());
    std::fflush(stderr);
    std::abort();
}

std::vector<std::string> ReadTextLines(const char* path)
{
    std::vector<std::string> lines;
    FILE* file = OpenTextRead(path);
    FUZZ_CHECK(file != nullptr, std::string("cannot open ") + path);
    std::string line;
    while (ReadWholeTextLine(file, line))
        lines.push_back(line);
    FUZZ_CHECK(!std::ferror(file), std::string("read error on ") + path);
    std::fclose(file);
    return lines;
}

bool EqualFoldingAZ(std::string_view a, std::string_view b)
{
    auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

std::string Shown(std::string_view bytes)
{
    std::string shown = "\"";
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += hex;
        }
    }
    return shown + "\"";
}
