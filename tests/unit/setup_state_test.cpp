#include "shell/setup_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_shell.h"
#include "shell/text_file.h"
#include "support/files.h"

namespace {

std::vector<std::string> SetupLinesOf(const std::string& bytes)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "f", bytes);
    FILE* file = OpenTextRead((dir / "f").c_str());
    std::vector<std::string> lines;
    char buf[kSetupLineSize];
    while (ReadSetupLine(file, buf))
        lines.emplace_back(buf);
    std::fclose(file);
    return lines;
}

TEST(ReadSetupLine, DeliversUsableLinesByTheLineRule)
{
    const std::string long150(150, 'x');
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"crlf and lf", "one\r\ntwo\nthree\r\n", {"one", "two", "three"}},
        {"150 bytes as 99 + 51", long150 + "\n", {std::string(99, 'x'), std::string(51, 'x')}},
        {"hash only in column 1", "#c\n #not\nx#y\n", {" #not", "x#y"}},
        {"blank line delivered", "   \n", {"   "}},
        {"empty lines skipped", "\n\r\n\na\n\n", {"a"}},
        {"end of file mid-line", "a\nlast", {"a", "last"}},
        {"lone CR stays", "a\rb\n", {"a\rb"}},
        {"only one LF removed by the rule", "a\n", {"a"}},
        {"empty file", "", {}},
        {"line of exactly 99 then LF", std::string(99, 'y') + "\nz\n", {std::string(99, 'y'), "z"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SetupLinesOf(c.bytes), c.lines) << c.name;
}

TEST(ReadSetupLine, CursorTellsTheLineAndPieceOfEachDeliveredLine)
{
    const std::string x150(150, 'x');
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> delivered;  // "line:piece:text"
    } cases[] = {
        {"comments and empty lines counted", "#c\r\n\r\na\n\n#d\nb", {"3:0:a", "6:0:b"}},
        {"150 bytes in two pieces", "a\n" + x150 + "\nb\n",
         {"1:0:a", "2:0:" + x150.substr(0, 99), "2:1:" + x150.substr(99), "3:0:b"}},
        {"a long comment's second piece", "#" + x150 + "\n", {"1:1:" + x150.substr(98)}},
        {"99 bytes and the line feed", std::string(99, 'y') + "\nz\n", {"1:0:" + std::string(99, 'y'), "2:0:z"}},
        {"a lone CR ends no line", "a\rb\nc\n", {"1:0:a\rb", "2:0:c"}},
    };
    for (const Case& c : cases) {
        ScratchFolder dir;
        WriteFileBytes(dir / "f", c.bytes);
        FILE* file = OpenTextRead((dir / "f").c_str());
        SetupLineCursor cursor;
        std::vector<std::string> delivered;
        char buf[kSetupLineSize];
        while (ReadSetupLine(file, buf, &cursor))
            delivered.push_back(std::to_string(cursor.line) + ":" + std::to_string(cursor.piece) + ":" + buf);
        std::fclose(file);
        EXPECT_EQ(delivered, c.delivered) << c.name;
    }
}

TEST(StartupKeyOf, TestsTheKeysInTheirOrderByPrefix)
{
    struct Case {
        const char* line;
        const char* key;
    } cases[] = {
        {"title x", "title"}, {"TITLES", "title"}, {"directory e:\\x", "dir"}, {"wbarg /f", "wbarg"},
        {"debug 0", "debug"}, {"titl x", nullptr}, {" title x", nullptr},     {"mkdir x", nullptr},
    };
    for (const Case& c : cases) {
        const char* key = StartupKeyOf(c.line);
        if (c.key)
            EXPECT_STREQ(key, c.key) << c.line;
        else
            EXPECT_EQ(key, nullptr) << c.line;
    }
}

TEST(KeywordMatches, ComparesTheKeywordsFullLengthFoldingAToZOnly)
{
    struct Case {
        const char* line;
        const char* keyword;
        bool match;
    } cases[] = {
        {"title x", "title", true},   {"TITLE x", "title", true}, {"titles x", "title", true},
        {"titl", "title", false},     {" title", "title", false}, {"directory", "dir", true},
        {"\xC9title", "title", false}, {"", "dir", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeywordMatches(c.line, c.keyword), c.match) << c.line;
}

TEST(MakeDirPrefix, AddsOneSeparatorUnlessThereIsOne)
{
    char out[kPathSize];
    struct Case {
        const char* dir;
        const char* prefix;
    } cases[] = {{"c:\\dico", "c:\\dico\\"}, {"d:\\", "d:\\"}, {"", ""}, {"x\\y\\", "x\\y\\"}};
    for (const Case& c : cases) {
        ASSERT_TRUE(MakeDirPrefix(out, c.dir));
        EXPECT_STREQ(out, c.prefix);
    }
    // The limit counts characters as Windows does, not UTF-8 bytes.
    std::string cyrillic;
    for (int i = 0; i < 258; ++i)
        cyrillic += "\xD0\x96";  // Ж
    EXPECT_TRUE(MakeDirPrefix(out, cyrillic.c_str()));
    EXPECT_FALSE(MakeDirPrefix(out, (cyrillic + "\xD0\x96").c_str()));
    EXPECT_FALSE(MakeDirPrefix(out, (std::string(257, 'a') + "\xF0\x9F\x98\x80").c_str()));  // two units
    EXPECT_FALSE(MakeDirPrefix(out, std::string(259, 'a').c_str()));
}

struct StartupResult {
    std::string title, defaultDir, shortcutArgs;
    int verbose;
};

StartupResult StartupKeysOf(const std::string& installInf)
{
    ResetFakeShell();
    ScratchFolder dir;
    WriteFileBytes(dir / "install.inf", installInf);
    ScopedCurrentFolder inDir(dir.path());
    setup.sourceDir[0] = '\0';  // read from the current folder
    ReadStartupKeys();
    return {setup.title, setup.defaultDir, setup.shortcutArgs, setup.verbose};
}

TEST(ReadStartupKeys, FillsTheStateFromTheKeysOfTheSetupFile)
{
    struct Case {
        const char* name;
        std::string file;
        StartupResult expected;
    } cases[] = {
        {"no key at all", "mkdir x\ncopy a b\n", {"", "c:\\", "", 1}},
        {"upper-case key", "TITLE Mon dictionnaire\n", {"Mon dictionnaire", "c:\\", "", 1}},
        {"dir", "Dir d:\\dico\n", {"", "d:\\dico", "", 1}},
        {"directory matches dir", "directory e:\\x\n", {"", "e:\\x", "", 1}},
        {"wbarg", "wbarg /fr /x\n", {"", "c:\\", "/fr /x", 1}},
        {"later wins", "title A\ntitle B\n", {"B", "c:\\", "", 1}},
        {"leading blanks of the value kept", "title  X\n", {" X", "c:\\", "", 1}},
        {"blanks before the key match nothing", " title X\n# title Y\n", {"", "c:\\", "", 1}},
        {"titles counts as title", "titles x\n", {"x", "c:\\", "", 1}},
        {"debug 0 turns verbose off", "debug 0\n", {"", "c:\\", "", 0}},
        {"debug other value leaves it on", "debug 1\n", {"", "c:\\", "", 1}},
        {"debug 00 is not 0", "debug 00\n", {"", "c:\\", "", 1}},
        {"last debug wins", "debug 0\ndebug 2\n", {"", "c:\\", "", 1}},
        {"key without blank changes nothing", "title A\ntitle\ndir\n", {"A", "c:\\", "", 1}},
        {"empty value after the blank", "title A\ntitle \n", {"", "c:\\", "", 1}},
        {"crlf line ends", "title A\r\ndir b\r\n", {"A", "b", "", 1}},
        {"value of a 150-byte line is cut at 99 bytes",
         "title " + std::string(144, 'v') + "\n", {std::string(93, 'v'), "c:\\", "", 1}},
    };
    for (const Case& c : cases) {
        StartupResult got = StartupKeysOf(c.file);
        EXPECT_EQ(got.title, c.expected.title) << c.name;
        EXPECT_EQ(got.defaultDir, c.expected.defaultDir) << c.name;
        EXPECT_EQ(got.shortcutArgs, c.expected.shortcutArgs) << c.name;
        EXPECT_EQ(got.verbose, c.expected.verbose) << c.name;
    }
}

TEST(ReadStartupKeys, TakesTheNameOfTheFirstUninstallCommand)
{
    struct Case {
        const char* file;
        const char* name;
    } cases[] = {
        {"title T\nuninstall Mon dictionnaire\nuninstall Autre\n", "Mon dictionnaire"},
        {"mkdir x\nUNINSTALL  X \n", " X "},
        {"uninstall\nuninstall Y\n", "Y"},
        {"# uninstall X\n uninstall X\nuninstal X\n", ""},
        {"mkdir x\ncopy a b\n", ""},
    };
    for (const Case& c : cases) {
        StartupKeysOf(c.file);
        EXPECT_STREQ(setup.uninstallName, c.name) << c.file;
    }
}

TEST(ReadStartupKeys, MissingSetupFileIsFatal)
{
    ResetFakeShell();
    ScratchFolder dir;
    ScopedCurrentFolder inDir(dir.path());
    setup.sourceDir[0] = '\0';
    EXPECT_EQ(FatalMessageOf(ReadStartupKeys), "Can't open INSTALL.INF");
}

TEST(SetupState, InitialValues)
{
    ResetFakeShell();
    EXPECT_STREQ(setup.defaultDir, "c:\\");
    EXPECT_EQ(setup.verbose, 1);
    EXPECT_EQ(setup.headingY, 100);
    EXPECT_EQ(setup.progressY, 155);
    EXPECT_EQ(setup.statusY, 170);
    EXPECT_EQ(setup.createShortcut, 0);
    EXPECT_STREQ(setup.title, "");
}

}  // namespace
