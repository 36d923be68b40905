// medium: the publisher's tool for the setup medium.
//
//   medium check DIR                       the medium as setup.exe would read it
//   medium wordlist export FILE.wb         records as UTF-8 text
//   medium wordlist import FILE.txt -o FILE.wb
//   medium wordlist info FILE.wb           counts, lengths, faults
//   medium reverse FROM.wb -o TO.wb        the TO list setup.exe builds (medium.exe)
//   medium compress FILE... [-d DIR]       each FILE in the LZ format, under its
//                                          LZ name, beside it or in DIR
//   medium seal DIR                        DIR/manifest.crc: every file's size and
//                                          CRC-32, which setup.exe verifies
//
// The tool is made of the product's own readers (the setup line rule, the
// install command parser, the word list loader, the language list rules,
// the reverse list builder), linked with a lower layer of its own
// (tool_shell.cpp: a fatal error is reported, nothing is drawn) and a host
// file layer (host_files_*.cpp: folder listings, the LZ expansion). The
// compression is the product's LZ module's (compress_command.cpp), the seal
// the product's manifest reader and writer's (seal_command.cpp). The check
// (medium_check.cpp) resolves names through medium_names.cpp, reads word
// lists through word_list_check.cpp and verifies a sealed medium through
// seal_command.cpp; the word list text lives in word_list_text.cpp.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compress_command.h"
#include "host_files.h"
#include "medium_check.h"
#include "report.h"
#include "seal_command.h"
#include "word_list_commands.h"

namespace {

const char kUsage[] =
    "usage: medium check DIR\n"
    "       medium wordlist export FILE.wb\n"
    "       medium wordlist import FILE.txt -o FILE.wb\n"
    "       medium wordlist info FILE.wb\n"
    "       medium reverse FROM.wb -o TO.wb\n"
    "       medium compress FILE... [-d DIR]\n"
    "       medium seal DIR\n";

int Usage()
{
    std::fputs(kUsage, stderr);
    return 2;
}

bool Is(const char* arg, const char* word)
{
    return std::strcmp(arg, word) == 0;
}

int Check(const std::string& dir)
{
    Report report;
    if (!CheckMedium(dir, report)) {
        std::fprintf(stderr, "medium: cannot read the folder %s\n", dir.c_str());
        return 2;
    }
    PrintReport(stdout, report);
    return report.Count(Severity::Error) > 0 ? 1 : 0;
}

// compress FILE... [-d DIR]: the files, and the folder ("" when none);
// false when the words are not of that form.
bool CompressArguments(int argc, const char* const* argv, std::vector<std::string>& files, std::string& folder)
{
    int end = argc;
    if (argc >= 5 && Is(argv[argc - 2], "-d")) {
        folder = argv[argc - 1];
        end = argc - 2;
    }
    for (int i = 2; i < end; ++i) {
        if (argv[i][0] == '-')
            return false;
        files.push_back(argv[i]);
    }
    return !files.empty() && (end == argc || !folder.empty());
}

int Run(int argc, const char* const* argv)
{
    if (argc == 3 && Is(argv[1], "check"))
        return Check(argv[2]);
    if (argc == 3 && Is(argv[1], "seal"))
        return SealMedium(argv[2], stdout, stderr);
    if (argc == 4 && Is(argv[1], "wordlist") && Is(argv[2], "export"))
        return ExportWordList(argv[3], stdout, stderr);
    if (argc == 4 && Is(argv[1], "wordlist") && Is(argv[2], "info"))
        return DescribeWordList(argv[3], stdout);
    if (argc == 6 && Is(argv[1], "wordlist") && Is(argv[2], "import") && Is(argv[4], "-o"))
        return ImportWordList(argv[3], argv[5], stderr);
    if (argc == 5 && Is(argv[1], "reverse") && Is(argv[3], "-o"))
        return ReverseWordList(argv[2], argv[4], stderr);
    std::vector<std::string> files;
    std::string folder;
    if (argc >= 3 && Is(argv[1], "compress") && CompressArguments(argc, argv, files, folder))
        return CompressFiles(files, folder, stderr);
    return Usage();
}

}  // namespace

int main(int argc, char** argv)
{
    PrepareConsole();
    const std::vector<std::string> args = HostArguments(argc, argv);
    std::vector<const char*> words;
    for (const std::string& arg : args)
        words.push_back(arg.c_str());
    return Run(static_cast<int>(words.size()), words.data());
}
