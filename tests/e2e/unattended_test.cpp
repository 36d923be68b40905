// Unattended installations: the options /silent, /verysilent, /dir= and
// /log=, with the real program on the sample medium and on small ones.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "driver.h"
#include "support/files.h"
#include "support/shortcuts.h"

namespace {

// The lines of install.inf that the program reads (not empty, not comments).
std::vector<std::string> ScriptLines(const std::string& installInf)
{
    std::vector<std::string> lines;
    std::istringstream text(installInf);
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    }
    return lines;
}

TEST(Unattended, VerySilentInstallsTheSampleMediumAsTheInteractiveRunDoes)
{
    const std::string medium = BesideProgram("medium");
    ScratchFolder parent("install");
    const std::string shortcut = ProgramMenuFolder() + "\\Dictionnaire\\Dictionnaire bilingue.lnk";

    InstallResult interactive = RunInstallation(medium, parent / "interactive");
    ASSERT_EQ(interactive.exitCode, 0u);
    const Files expected = ReadFiles(parent / "interactive");
    ASSERT_GT(expected.size(), 10u);

    // Twice without a window: with a log, and with a log that cannot be
    // written, which changes nothing else.
    const std::string log = parent / "setup.log";
    struct Run {
        const char* name;
        std::string dir;
        std::string logOption;
    } runs[] = {
        {"with a log", parent / "silent dico", "\"/log=" + log + "\""},
        {"with a log that cannot be written", parent / "unlogged",
         "\"/log=" + (parent / "no folder") + "\\setup.log\""},
    };
    for (const Run& run : runs) {
        DeleteFileA(shortcut.c_str());
        SetupProcess setup(medium, SetupExePath(),
                           "/VERYSILENT /dir=\"" + run.dir + "\" " + run.logOption, false);
        const Watched watched = WatchUntilExit(setup);
        EXPECT_EQ(watched.exitCode, 0u) << run.name;
        EXPECT_FALSE(watched.windowShown) << run.name;
        EXPECT_FALSE(watched.boxShown) << run.name;
        EXPECT_TRUE(ReadFiles(run.dir) == expected) << run.name << ": installed tree differs";
        EXPECT_TRUE(ReadShortcut(shortcut).loaded) << run.name;
    }
    EXPECT_FALSE(PathExists(parent / "no folder"));

    // The log names every line of install.inf and what came of the run.
    const std::string written = ReadFileBytes(log);
    for (const std::string& line : ScriptLines(ReadFileBytes(medium + "\\install.inf")))
        EXPECT_NE(written.find("install.inf: " + line + "\r\n"), std::string::npos) << line;
    for (const char* expectedText :
         {"==== Installation started ", "Install directory: ",
          "install.inf: title Dictionnaire bilingue\r\n  applied at start-up\r\n",
          "install.inf: mkdir langue\r\n  done\r\n", "Language Anglais: ",
          "Language Allemand: ", "Catalogue dict.ini created", "Shortcut ",
          "Message \"Installation\": ", "Exit code 0\r\n"})
        EXPECT_NE(written.find(expectedText), std::string::npos) << expectedText;
    DeleteFileA(shortcut.c_str());
}

TEST(Unattended, SilentShowsTheWindowAndNoBox)
{
    const std::string medium = BesideProgram("medium");
    ScratchFolder parent("install");
    SetupProcess setup(medium, SetupExePath(), "-silent /dir=" + (parent / "dico"), false);
    const Watched watched = WatchUntilExit(setup);
    EXPECT_EQ(watched.exitCode, 0u);
    EXPECT_TRUE(watched.windowShown);
    EXPECT_FALSE(watched.boxShown);
    EXPECT_TRUE(PathExists(parent / "dico\\langue\\anglais.tb"));
    DeleteFileA((ProgramMenuFolder() + "\\Dictionnaire\\Dictionnaire bilingue.lnk").c_str());
}

TEST(Unattended, FailuresEndWithTheirExitCodeAndTheirTextInTheLogInsteadOfABox)
{
    struct Case {
        const char* name;
        const char* installInf;  // null: no setup file
        const char* options;     // the install folder and the log are added
        const char* dir;         // below the scratch folder
        DWORD exitCode;
        const char* logged;
        bool windowAllowed;  // /silent shows it, if only for a moment
    } cases[] = {
        {"no setup file", nullptr, "/verysilent", "dico", 1,
         "Fatal error: Can't open INSTALL.INF\r\n", false},
        {"no language list", "mkwlist\r\n", "/verysilent", "dico", 1,
         "Fatal error: Can't open LANGUAGE.CF\r\n", false},
        {"refused directory", "mkdir sub\r\n", "/verysilent", "two\\levels", 2,
         "Message \"Error\": Invalid Directory\r\n", false},
        {"refused directory, window shown", "mkdir sub\r\n", "/silent", "two\\levels", 2,
         "Message \"Error\": Invalid Directory\r\n", true},
        {"options box without a window", "mkdir sub\r\n", "/? /verysilent", "dico", 0, nullptr,
         false},
        {"option without its value", "mkdir sub\r\n", "/verysilent /dir C:\\Y1", "dico", 4,
         "Options: refused \"/dir\" (needs a value)\r\n", false},
        {"misspelt option, silent", "mkdir sub\r\n", "/silent /verysilnt", "dico", 4,
         "Options: refused \"/verysilnt\" (unknown option)\r\n", false},
        {"empty product of an uninstallation", "mkdir sub\r\n", "/uninstall /product= /verysilent", "dico", 4,
         "Options: refused \"/product=\" (needs a value)\r\n", false},
    };
    for (const Case& c : cases) {
        ScratchFolder medium("medium");
        if (c.installInf)
            WriteFileBytes(medium / "install.inf", c.installInf);
        ScratchFolder parent("install");
        const std::string log = parent / "setup.log";
        SetupProcess setup(medium.path(), SetupExePath(),
                           std::string(c.options) + " /dir=" + (parent / c.dir) + " /log=" + log, false);
        const Watched watched = WatchUntilExit(setup, 60000);
        EXPECT_EQ(watched.exitCode, c.exitCode) << c.name;
        if (!c.windowAllowed) {
            EXPECT_FALSE(watched.windowShown) << c.name;
        }
        EXPECT_FALSE(watched.boxShown) << c.name;
        if (c.logged) {
            // What was undone comes between the text and the code.
            const std::string logged = ReadFileBytes(log), end = "Exit code " + std::to_string(c.exitCode) + "\r\n";
            EXPECT_NE(logged.find(c.logged), std::string::npos) << c.name;
            EXPECT_TRUE(logged.size() >= end.size() && logged.compare(logged.size() - end.size(), end.size(), end) == 0)
                << c.name;
        } else {
            EXPECT_FALSE(PathExists(log)) << c.name;
        }
        EXPECT_FALSE(PathExists(parent / "dico\\sub")) << c.name;
    }
}

TEST(Unattended, OptionsBoxListsTheOptionsAndEndsWithCode0)
{
    ScratchFolder medium("medium");
    WriteFileBytes(medium / "install.inf", "mkdir sub\r\n");
    SetupProcess setup(medium.path(), SetupExePath(), "/?");
    MessageBoxInfo box = WaitForMessageBox(setup);
    ASSERT_NE(box.handle, nullptr);
    EXPECT_EQ(box.caption, "Installation");
    for (const char* option : {"/silent", "/verysilent", "/dir=", "/log="})
        EXPECT_NE(box.text.find(option), std::string::npos) << option;
    EXPECT_EQ(setup.FindWindowOfClass("Installation"), nullptr);
    AnswerMessageBox(box);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST(Unattended, ARefusedOptionIsNamedAboveTheOptionsAndEndsWithCode4)
{
    struct Case {
        const char* arguments;
        const char* firstLine;  // Windows-1252
    } cases[] = {
        {"/verysilnt", "Option inconnue : \xAB\xA0/verysilnt\xA0\xBB"},
        {"/dir C:\\Y1", "Option sans valeur : \xAB\xA0/dir\xA0\xBB"},
        {"\"/uninstall=\"", "Option sans valeur : \xAB\xA0/uninstall=\xA0\xBB"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        ScratchFolder medium("medium");
        WriteFileBytes(medium / "install.inf", "mkdir sub\r\n");
        SetupProcess setup(medium.path(), SetupExePath(), c.arguments);
        MessageBoxInfo box = WaitForMessageBox(setup);
        ASSERT_NE(box.handle, nullptr);
        EXPECT_EQ(box.text.rfind(c.firstLine, 0), 0u) << box.text;
        for (const char* text : {"/silent", "/dir=", "4 option refus\xE9" "e"})
            EXPECT_NE(box.text.find(text), std::string::npos) << text;
        EXPECT_EQ(setup.FindWindowOfClass("Installation"), nullptr);
        AnswerMessageBox(box);
        EXPECT_EQ(setup.WaitForExit(), 4u);
    }
}

}  // namespace
