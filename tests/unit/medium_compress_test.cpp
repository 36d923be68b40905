// The compress command: each file under its LZ name, beside it or in the
// folder named; a file that cannot be read or written is said, and the
// others are written all the same.
#include "compress_command.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "script/lz_file.h"
#include "support/files.h"

namespace {

TEST(CompressFiles, WritesEachUnderItsLzNameAndSaysWhichItCannot)
{
    struct Case {
        std::vector<std::string> files;
        std::string folder;                // "" for beside
        int code;
        std::vector<std::string> written;  // each compressed file, then its source
        std::string err;                   // "@" stands for the scratch folder
    } cases[] = {
        {{"dico.exe", "x.md"}, "", 0, {"dico.ex_", "dico.exe", "x.md_", "x.md"}, ""},
        {{"none.txt", "dico.exe"}, "out", 1, {"out/dico.ex_", "dico.exe"}, "medium: cannot read @/none.txt\n"},
        {{"x.md"}, "none", 1, {}, "medium: cannot write @/none/x.md_\n"},
        {{"x.tx_"}, "", 1, {}, "medium: @/x.tx_: its compressed name is its own name\n"},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch("compress");
        WriteFiles(scratch.path(), {{"dico.exe", std::string(300, 'd') + "fin"}, {"x.md", "x"}, {"x.tx_", "mine"}});
        MakeFolder(scratch / "out");
        std::vector<std::string> files;
        for (const std::string& file : c.files)
            files.push_back(scratch / file);
        FILE* err = std::tmpfile();
        ASSERT_TRUE(err);
        EXPECT_EQ(CompressFiles(files, c.folder.empty() ? "" : scratch / c.folder, err), c.code) << c.files[0];
        std::string said(4096, '\0'), expectedErr = c.err;
        std::rewind(err);
        said.resize(std::fread(&said[0], 1, said.size(), err));
        std::fclose(err);
        if (const size_t at = expectedErr.find('@'); at != std::string::npos)
            expectedErr.replace(at, 1, scratch.path());
        EXPECT_EQ(said, expectedErr);
        EXPECT_EQ(ReadFiles(scratch.path()).size(), 3 + c.written.size() / 2) << c.files[0] << ": what was written";
        for (size_t i = 0; i + 1 < c.written.size(); i += 2) {
            const std::string bytes = ReadFileBytes(scratch / c.written[i]), source = c.written[i + 1];
            std::string expanded;
            EXPECT_EQ(LzExpandBytes(bytes, expanded), LzOutcome::Whole) << c.written[i];
            EXPECT_EQ(expanded, ReadFileBytes(scratch / source)) << c.written[i];
            EXPECT_EQ(bytes.at(9), LzReplacedCharacter(source)) << c.written[i] << ": the header's name character";
        }
    }
}

}  // namespace
