#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

TEST(ParseCommandLine, ReadsTheOptionsOfAnUnattendedInstallation)
{
    struct Case {
        const char* text;
        bool silent, verySilent, help, hasDir;
        const char* dir;
        const char* logPath;
        Refusal refusal;
        const char* refused;
    } cases[] = {
        {"", false, false, false, false, "", "", Refusal::None, ""},
        {"/silent", true, false, false, false, "", "", Refusal::None, ""},
        {"-SILENT", true, false, false, false, "", "", Refusal::None, ""},
        {"/VerySilent", true, true, false, false, "", "", Refusal::None, ""},
        {"/silentx /silen silent", false, false, false, false, "", "", Refusal::Unknown, "/silentx"},
        {"/? ", false, false, true, false, "", "", Refusal::None, ""},
        {"-help /verysilent", true, true, true, false, "", "", Refusal::None, ""},
        {"/dir=c:\\dico", false, false, false, true, "c:\\dico", "", Refusal::None, ""},
        {"/DIR=\"c:\\mon dico\" /log=x.log", false, false, false, true, "c:\\mon dico", "x.log", Refusal::None, ""},
        {"\"/dir=c:\\mon dico\"", false, false, false, true, "c:\\mon dico", "", Refusal::None, ""},
        {"/dir=", false, false, false, true, "", "", Refusal::None, ""},
        {"/dir=a /dir=b", false, false, false, true, "b", "", Refusal::None, ""},
        {"  /log=\"c:\\a b\\setup.log\"\t/verysilent  ", true, true, false, false, "", "c:\\a b\\setup.log",
         Refusal::None, ""},
        {"unknown /x=1 dir=c:\\no", false, false, false, false, "", "", Refusal::Unknown, "unknown"},
        // The first refused argument is named; the others are still read,
        // so that the log and the silent modes apply.
        {"/verysilnt /dir", false, false, false, false, "", "", Refusal::Unknown, "/verysilnt"},
        {"/verysilent /dir C:\\Y1 /log=x.log", true, true, false, false, "", "x.log", Refusal::NoValue, "/dir"},
        {"/log /silent", true, false, false, false, "", "", Refusal::NoValue, "/log"},
        {"/? /help=1", false, false, true, false, "", "", Refusal::Unknown, "/help=1"},
        {"/silent \"\"", true, false, false, false, "", "", Refusal::Unknown, ""},
        {"\"/verysilent /dir=x\"", false, false, false, false, "", "", Refusal::Unknown, "/verysilent /dir=x"},
        {"/dir=\"C:\\Mon Dico2\"", false, false, false, true, "C:\\Mon Dico2", "", Refusal::None, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CommandLine options = ParseCommandLine(c.text);
        EXPECT_EQ(options.silent, c.silent);
        EXPECT_EQ(options.verySilent, c.verySilent);
        EXPECT_EQ(options.help, c.help);
        EXPECT_EQ(options.hasDir, c.hasDir);
        EXPECT_EQ(options.dir, c.dir);
        EXPECT_EQ(options.logPath, c.logPath);
        EXPECT_EQ(options.refusal, c.refusal);
        EXPECT_EQ(options.refused, c.refused);
    }
}

TEST(ParseCommandLine, ReadsTheOptionsOfAnUninstallation)
{
    struct Case {
        const char* text;
        bool uninstall;
        const char* uninstallDir;
        bool finish;
        unsigned long finishHandle;
        bool verySilent;
        Refusal refusal;
        const char* refused;
    } cases[] = {
        {"/uninstall", true, "", false, 0, false, Refusal::None, ""},
        {"\"/UNINSTALL=c:\\mon dico\" /verysilent", true, "c:\\mon dico", false, 0, true, Refusal::None, ""},
        {"/uninstall=c:\\a /uninstall", true, "", false, 0, false, Refusal::None, ""},
        // An empty directory would name the program's own folder by mistake.
        {"/uninstall=", false, "", false, 0, false, Refusal::NoValue, "/uninstall="},
        {"/uninstal /uninstallx", false, "", false, 0, false, Refusal::Unknown, "/uninstal"},
        {"/finish=124 /uninstall=c:\\dico", true, "c:\\dico", true, 124, false, Refusal::None, ""},
        {"/finish=0", false, "", false, 0, false, Refusal::BadValue, "/finish=0"},
        {"/finish=12x", false, "", false, 0, false, Refusal::BadValue, "/finish=12x"},
        {"/finish=", false, "", false, 0, false, Refusal::NoValue, "/finish="},
        {"/finish=99999999999999999999999", false, "", false, 0, false, Refusal::BadValue,
         "/finish=99999999999999999999999"},
        {"/uninstall /product", true, "", false, 0, false, Refusal::NoValue, "/product"},
        // Empty, it would take every product of the folder.
        {"/uninstall /product= /verysilent", true, "", false, 0, true, Refusal::NoValue, "/product="},
        // As the list of installed programs starts the uninstaller.
        {"/uninstall \"/product=Dico \\\"A\\\"\" /verysilent", true, "", false, 0, true, Refusal::None, ""},
        {"/uninstall \"/product=Dico A\\\\\"", true, "", false, 0, false, Refusal::None, ""},
        {"/finish=7 \"/uninstall=C:\\\\\"", true, "C:\\", true, 7, false, Refusal::None, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CommandLine options = ParseCommandLine(c.text);
        EXPECT_EQ(options.uninstall, c.uninstall);
        EXPECT_EQ(options.uninstallDir, c.uninstallDir);
        EXPECT_EQ(options.finish, c.finish);
        EXPECT_EQ(options.finishHandle, c.finishHandle);
        EXPECT_EQ(options.verySilent, c.verySilent);
        EXPECT_EQ(options.refusal, c.refusal);
        EXPECT_EQ(options.refused, c.refused);
    }
}

TEST(SplitArguments, FollowsTheRulesOfTheCRuntime)
{
    struct Case {
        const char* text;
        Arguments arguments;
    } cases[] = {
        {"", {}},
        {" \t ", {}},
        {"a b\tc", {"a", "b", "c"}},
        {"\"a b\"", {"a b"}},
        {"a\" \"b", {"a b"}},
        {"\"\"", {""}},
        {"a \"\" b", {"a", "", "b"}},
        {"\"\"\"\"", {"\""}},
        {"\"a \"\"b\"\" c\"", {"a \"b\" c"}},
        {"\"unclosed b", {"unclosed b"}},
        {"\\\"a", {"\"a"}},
        {"\\\\\"a b\"", {"\\a b"}},
        {"\\\\\\\"a", {"\\\"a"}},
        {"c:\\a\\b\\ d", {"c:\\a\\b\\", "d"}},
        {"\"c:\\a b\\\\\" d", {"c:\\a b\\", "d"}},
        {"\"c:\\\" d", {"c:\" d"}},
        {"\"a\\\"\"", {"a\""}},
        {"a\"b\"c\"d", {"abcd"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitArguments(c.text), c.arguments);
    }
    EXPECT_TRUE(SplitArguments(nullptr).empty());
}

TEST(QuotedArgument, EveryTextComesBackWholeThroughTheSplitting)
{
    // Every text of up to four of the characters that matter, alone and
    // between two others.
    const std::string alphabet = "a \t\\\"";
    std::vector<std::string> texts = {""};
    for (size_t from = 0, length = 0; length < 4; ++length) {
        const size_t to = texts.size();
        for (size_t i = from; i < to; ++i)
            for (char c : alphabet)
                texts.push_back(texts[i] + c);
        from = to;
    }
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        const std::string quoted = QuotedArgument(text);
        EXPECT_EQ(SplitArguments(quoted.c_str()), Arguments{text});
        // Two backslashes before the opening quote give one.
        EXPECT_EQ(SplitArguments(("x " + quoted + " \\\\" + quoted).c_str()), (Arguments{"x", text, "\\" + text}));
    }
}

TEST(QuotedArgument, TheProgramsOwnCommandsReadBack)
{
    struct Case {
        const char* dir;
        const char* product;
    } cases[] = {
        {"C:\\", "Dico"},
        {"C:\\Mon Dico", "Dictionnaire \"bilingue\""},
        {"\\\\serveur\\partage\\dico", "Nom finissant par \\"},
        {"C:\\a\"b", "\t"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dir);
        const CommandLine finisher = ParseCommandLine(FinisherArguments(4294967295ul, c.dir).c_str());
        EXPECT_EQ(finisher.refusal, Refusal::None);
        EXPECT_TRUE(finisher.finish && finisher.uninstall);
        EXPECT_EQ(finisher.finishHandle, 4294967295ul);
        EXPECT_EQ(finisher.uninstallDir, c.dir);
        for (const char* quiet : {"", " /verysilent"}) {
            const CommandLine entry = ParseCommandLine((UninstallArguments(c.product) + quiet).c_str());
            EXPECT_EQ(entry.refusal, Refusal::None);
            EXPECT_TRUE(entry.uninstall);
            EXPECT_EQ(entry.uninstallDir, "");
            EXPECT_EQ(entry.product, c.product);
            EXPECT_EQ(entry.verySilent, *quiet != '\0');
        }
    }
}

}  // namespace
