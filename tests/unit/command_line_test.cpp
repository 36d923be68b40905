#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

// Every field, so that a case names only what differs from no option.
std::string Fields(const CommandLine& o)
{
    return std::to_string(o.silent) + std::to_string(o.verySilent) + std::to_string(o.help) +
           std::to_string(o.hasDir) + " dir=" + o.dir + " log=" + o.logPath + " " + std::to_string(o.uninstall) +
           " un=" + o.uninstallDir + " product=" + o.product + " " + std::to_string(o.finish) + " " +
           std::to_string(o.finishHandle) + " refusal=" + std::to_string(static_cast<int>(o.refusal)) + " " +
           o.refused;
}

TEST(ParseCommandLine, ReadsTheOptionsOfInstallationsAndUninstallations)
{
    using Set = void (*)(CommandLine&);
    const struct Case {
        const char* text;
        Set expected;
    } cases[] = {
        {"", [](CommandLine&) {}},
        {"/silent", [](CommandLine& o) { o.silent = true; }},
        {"-SILENT", [](CommandLine& o) { o.silent = true; }},
        {"/VerySilent", [](CommandLine& o) { o.silent = o.verySilent = true; }},
        {"/silentx /silen silent", [](CommandLine& o) { o.refusal = Refusal::Unknown, o.refused = "/silentx"; }},
        {"/? ", [](CommandLine& o) { o.help = true; }},
        {"-help /verysilent", [](CommandLine& o) { o.silent = o.verySilent = o.help = true; }},
        {"/dir=c:\\dico", [](CommandLine& o) { o.hasDir = true, o.dir = "c:\\dico"; }},
        {"/DIR=\"c:\\mon dico\" /log=x.log",
         [](CommandLine& o) { o.hasDir = true, o.dir = "c:\\mon dico", o.logPath = "x.log"; }},
        {"\"/dir=c:\\mon dico\"", [](CommandLine& o) { o.hasDir = true, o.dir = "c:\\mon dico"; }},
        {"/dir=", [](CommandLine& o) { o.hasDir = true; }},
        {"/dir=a /dir=b", [](CommandLine& o) { o.hasDir = true, o.dir = "b"; }},
        {"  /log=\"c:\\a b\\setup.log\"\t/verysilent  ",
         [](CommandLine& o) { o.silent = o.verySilent = true, o.logPath = "c:\\a b\\setup.log"; }},
        {"unknown /x=1 dir=c:\\no", [](CommandLine& o) { o.refusal = Refusal::Unknown, o.refused = "unknown"; }},
        // The first refused argument is named; the others are still read,
        // so that the log and the silent modes apply.
        {"/verysilnt /dir", [](CommandLine& o) { o.refusal = Refusal::Unknown, o.refused = "/verysilnt"; }},
        {"/verysilent /dir C:\\Y1 /log=x.log",
         [](CommandLine& o) {
             o.silent = o.verySilent = true, o.logPath = "x.log",
             o.refusal = Refusal::NoValue, o.refused = "/dir";
         }},
        {"/log /silent", [](CommandLine& o) { o.silent = true, o.refusal = Refusal::NoValue, o.refused = "/log"; }},
        {"/? /help=1", [](CommandLine& o) { o.help = true, o.refusal = Refusal::Unknown, o.refused = "/help=1"; }},
        {"/silent \"\"", [](CommandLine& o) { o.silent = true, o.refusal = Refusal::Unknown; }},
        {"\"/verysilent /dir=x\"",
         [](CommandLine& o) { o.refusal = Refusal::Unknown, o.refused = "/verysilent /dir=x"; }},
        {"/dir=\"C:\\Mon Dico2\"", [](CommandLine& o) { o.hasDir = true, o.dir = "C:\\Mon Dico2"; }},
        {"/uninstall", [](CommandLine& o) { o.uninstall = true; }},
        {"\"/UNINSTALL=c:\\mon dico\" /verysilent",
         [](CommandLine& o) { o.uninstall = o.silent = o.verySilent = true, o.uninstallDir = "c:\\mon dico"; }},
        {"/uninstall=c:\\a /uninstall", [](CommandLine& o) { o.uninstall = true; }},
        // An empty directory would name the program's own folder by mistake.
        {"/uninstall=", [](CommandLine& o) { o.refusal = Refusal::NoValue, o.refused = "/uninstall="; }},
        {"/uninstal /uninstallx", [](CommandLine& o) { o.refusal = Refusal::Unknown, o.refused = "/uninstal"; }},
        {"/finish=124 /uninstall=c:\\dico",
         [](CommandLine& o) { o.uninstall = o.finish = true, o.finishHandle = 124, o.uninstallDir = "c:\\dico"; }},
        {"/finish=0", [](CommandLine& o) { o.refusal = Refusal::BadValue, o.refused = "/finish=0"; }},
        {"/finish=12x", [](CommandLine& o) { o.refusal = Refusal::BadValue, o.refused = "/finish=12x"; }},
        {"/finish=", [](CommandLine& o) { o.refusal = Refusal::NoValue, o.refused = "/finish="; }},
        {"/finish=99999999999999999999999",
         [](CommandLine& o) { o.refusal = Refusal::BadValue, o.refused = "/finish=99999999999999999999999"; }},
        {"/uninstall /product",
         [](CommandLine& o) { o.uninstall = true, o.refusal = Refusal::NoValue, o.refused = "/product"; }},
        // Empty, it would take every product of the folder.
        {"/uninstall /product= /verysilent",
         [](CommandLine& o) {
             o.uninstall = o.silent = o.verySilent = true,
             o.refusal = Refusal::NoValue, o.refused = "/product=";
         }},
        // As the list of installed programs starts the uninstaller.
        {"/uninstall \"/product=Dico \\\"A\\\"\" /verysilent",
         [](CommandLine& o) { o.uninstall = o.silent = o.verySilent = true, o.product = "Dico \"A\""; }},
        {"/uninstall \"/product=Dico A\\\\\"", [](CommandLine& o) { o.uninstall = true, o.product = "Dico A\\"; }},
        {"/finish=7 \"/uninstall=C:\\\\\"",
         [](CommandLine& o) { o.uninstall = o.finish = true, o.finishHandle = 7, o.uninstallDir = "C:\\"; }},
    };
    for (const Case& c : cases) {
        CommandLine expected;
        c.expected(expected);
        EXPECT_EQ(Fields(ParseCommandLine(c.text)), Fields(expected)) << c.text;
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
