#include "app/command_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseCommandLine, ReadsTheOptionsOfAnUnattendedInstallation)
{
    struct Case {
        const char* text;
        bool silent, verySilent, help, hasDir;
        const char* dir;
        const char* logPath;
    } cases[] = {
        {"", false, false, false, false, "", ""},
        {"/silent", true, false, false, false, "", ""},
        {"-SILENT", true, false, false, false, "", ""},
        {"/VerySilent", true, true, false, false, "", ""},
        {"/silentx /silen silent", false, false, false, false, "", ""},
        {"/? ", false, false, true, false, "", ""},
        {"-help /verysilent", true, true, true, false, "", ""},
        {"/dir=c:\\dico", false, false, false, true, "c:\\dico", ""},
        {"/DIR=\"c:\\mon dico\" /log=x.log", false, false, false, true, "c:\\mon dico", "x.log"},
        {"\"/dir=c:\\mon dico\"", false, false, false, true, "c:\\mon dico", ""},
        {"/dir=", false, false, false, true, "", ""},
        {"/dir=a /dir=b", false, false, false, true, "b", ""},
        {"  /log=\"c:\\a b\\setup.log\"\t/verysilent  ", true, true, false, false, "", "c:\\a b\\setup.log"},
        {"unknown /x=1 dir=c:\\no", false, false, false, false, "", ""},
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
    } cases[] = {
        {"/uninstall", true, "", false, 0, false},
        {"\"/UNINSTALL=c:\\mon dico\" /verysilent", true, "c:\\mon dico", false, 0, true},
        {"/uninstall=c:\\a /uninstall", true, "", false, 0, false},
        // An empty directory would name the program's own folder by mistake.
        {"/uninstall=", false, "", false, 0, false},
        {"/uninstal /uninstallx", false, "", false, 0, false},
        {"/finish=124 /uninstall=c:\\dico", true, "c:\\dico", true, 124, false},
        {"/finish=0", false, "", false, 0, false},
        {"/finish=12x", false, "", false, 0, false},
        {"/finish=", false, "", false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CommandLine options = ParseCommandLine(c.text);
        EXPECT_EQ(options.uninstall, c.uninstall);
        EXPECT_EQ(options.uninstallDir, c.uninstallDir);
        EXPECT_EQ(options.finish, c.finish);
        EXPECT_EQ(options.finishHandle, c.finishHandle);
        EXPECT_EQ(options.verySilent, c.verySilent);
    }
}

}  // namespace
