// medium.exe, the publisher's tool, as a publisher runs it: the platform's
// LZ library expands the medium's compressed files, and the reversed list
// comes out of setup.exe's own builder under the French collation.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "driver.h"
#include "support/files.h"
#include "support/word_lists.h"

namespace {

struct ToolRun {
    DWORD code = STILL_ACTIVE;
    std::string out, err;
};

// Runs medium.exe with the arguments, standard output and error into files.
ToolRun RunMedium(const std::string& arguments)
{
    ScratchFolder streams("medium-streams");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA((streams / "out").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE err = CreateFileA((streams / "err").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::string command = "\"" + BesideProgram("tools\\medium\\medium.exe") + "\" " + arguments;
    PROCESS_INFORMATION process = {};
    ToolRun run;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &run.code);
        else
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = ReadFileBytes(streams / "out");
    run.err = ReadFileBytes(streams / "err");
    return run;
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

TEST(MediumTool, TheSampleMediumIsClean)
{
    const ToolRun run = RunMedium("check " + Quoted(BesideProgram("medium")));
    EXPECT_EQ(run.code, 0u) << run.out << run.err;
    EXPECT_EQ(run.out, "0 errors, 0 warnings\n");
}

TEST(MediumTool, CompressedSourcesAreExpandedAsSetupExeExpandsThem)
{
    ScratchFolder medium("medium-lz");
    const std::string fixtures = BesideProgram("tests\\win\\lz_fixtures\\");
    // On the medium under their LZ names, as the DOS tools named them.
    const std::pair<const char*, const char*> files[] = {
        {"text.txt_", "text.tx_"}, {"binary.bin_", "binary.bi_"}, {"empty.txt_", "empty.tx_"},
        {"truncated.bin_", "truncated.bi_"}};
    for (const auto& [fixture, name] : files)
        WriteFileBytes(medium / name, ReadFileBytes(fixtures + fixture));
    WriteFileBytes(medium / "install.inf",
                   "copy text.txt text.txt\r\n"       // found by its LZ name
                   "copy BINARY.BI_ binary.bin\r\n"
                   "copy empty.tx_ empty.txt\r\n"
                   "copy truncated.bi_ truncated.bin\r\n");
    const ToolRun run = RunMedium("check " + Quoted(medium.path()));
    EXPECT_EQ(run.code, 1u) << run.err;
    // mscompress ends its empty file with one byte more than it promises.
    EXPECT_EQ(run.out,
              "install.inf:3: warning: the source \"empty.tx_\" expands one byte past the size it promises: "
              "the last byte will be cut\n"
              "install.inf:4: error: the source \"truncated.bi_\" is compressed but does not expand whole: "
              "setup.exe installs nothing\n"
              "1 error, 1 warning\n");
}

TEST(MediumTool, ReverseGivesTheListSetupExeBuilds)
{
    ScratchFolder out("medium-reverse");
    for (const char* name : {"anglais.wb", "allemand.wb"}) {
        const std::string from = SourceFile(std::string("examples/medium/langue/") + name);
        const ToolRun run = RunMedium("reverse " + Quoted(from) + " -o " + Quoted(out / "to.wb"));
        EXPECT_EQ(run.code, 0u) << name << ": " << run.err;
        EXPECT_TRUE(ReadFileBytes(out / "to.wb") == ReversedWordList(ReadFileBytes(from), FrenchOrder)) << name;
    }
}

TEST(MediumTool, WordListsGoThroughTextAndBackUnchanged)
{
    ScratchFolder work("medium-text");
    const std::string from = SourceFile("examples/medium/langue/allemand.wb");
    const ToolRun exported = RunMedium("wordlist export " + Quoted(from));
    ASSERT_EQ(exported.code, 0u) << exported.err;
    EXPECT_EQ(exported.out.find('\r'), std::string::npos);
    WriteFileBytes(work / "list.txt", exported.out);
    const ToolRun imported = RunMedium("wordlist import " + Quoted(work / "list.txt") + " -o " + Quoted(work / "list.wb"));
    EXPECT_EQ(imported.code, 0u) << imported.err;
    EXPECT_TRUE(ReadFileBytes(work / "list.wb") == ReadFileBytes(from));
}

TEST(MediumTool, UsageAndUnreadableFoldersEndWithCode2)
{
    EXPECT_EQ(RunMedium("").code, 2u);
    EXPECT_EQ(RunMedium("check").code, 2u);
    EXPECT_EQ(RunMedium("wordlist import a.txt b.wb").code, 2u);
    const ToolRun missing = RunMedium("check C:\\no-such-medium");
    EXPECT_EQ(missing.code, 2u);
    EXPECT_EQ(missing.out, "");
}

}  // namespace
