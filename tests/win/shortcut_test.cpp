#include "script/shortcut.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "support/drives.h"
#include "support/files.h"
#include "support/shortcuts.h"

namespace {

using Names = std::vector<std::string>;

// COM as the main window sets it up, and the current directory put back.
// The suites' processes share one program menu, which one case redirects:
// they take turns.
class ShortcutTest : public testing::Test {
protected:
    void SetUp() override
    {
        turn_ = CreateMutexA(nullptr, FALSE, "ProgramMenuTests");
        WaitForSingleObject(turn_, INFINITE);
        CoInitialize(nullptr);
        before_ = CurrentFolder();
        programs_ = ProgramMenuFolder();
        tag_ = std::to_string(GetCurrentProcessId());
        MakeFolder(install_);
        MakeFolder(install_ + "\\bin");
        WriteFileBytes(install_ + "\\bin\\dico.exe", "MZ");
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(before_.c_str());
        for (const std::string& path : made_)
            RemoveTree(path);
        CoUninitialize();
        ReleaseMutex(turn_);
        CloseHandle(turn_);
    }
    // A name of this run's own, removed at the end from the program menu.
    std::string Own(const std::string& name)
    {
        std::string own = name + " " + tag_;
        made_.push_back(programs_ + "\\" + own);
        made_.push_back(programs_ + "\\" + own + ".lnk");
        return own;
    }
    void Prepare(const std::string& group, const std::string& name, const std::string& exe,
                 const std::string& args, const std::string& prefix)
    {
        ResetSetupState();
        CopyText(setup.iconGroup, sizeof setup.iconGroup, group.c_str());
        CopyText(setup.iconName, sizeof setup.iconName, name.c_str());
        CopyText(setup.iconExe, sizeof setup.iconExe, exe.c_str());
        CopyText(setup.shortcutArgs, sizeof setup.shortcutArgs, args.c_str());
        CopyText(setup.installPrefix, sizeof setup.installPrefix, prefix.c_str());
        setup.createShortcut = 1;
    }

    HANDLE turn_ = nullptr;
    ScratchFolder scratch_;
    std::string install_ = scratch_ / "install";
    std::string before_, programs_, tag_;
    std::vector<std::string> made_;
};

TEST_F(ShortcutTest, WritesTheShortcutIntoTheGroupOfTheProgramMenu)
{
    ASSERT_FALSE(programs_.empty());
    std::string group = Own("Groupe Dico");
    std::string existing = Own("Groupe existant");
    MakeFolder(programs_ + "\\" + existing);
    WriteFileBytes(programs_ + "\\" + existing + "\\other.lnk", "other");
    std::string noGroup = Own("Dico sans groupe");
    std::string missing = Own("Manque");

    struct Case {
        const char* name;
        std::string group, iconName, args;
        std::string folder;  // where the shortcut must land
    } cases[] = {
        {"group and arguments", group, "Mon Dico", "/langue fr", programs_ + "\\" + group},
        {"existing group reused", existing, "Mon Dico", "", programs_ + "\\" + existing},
        {"no icongroup", "", noGroup, "x", programs_},
        {"group that can't be made", missing + "\\sub", noGroup, "", programs_},
    };
    std::string prefix = install_ + "\\";
    for (const Case& c : cases) {
        Prepare(c.group, c.iconName, "bin\\dico.exe", c.args, prefix);
        CreateProgramShortcut();

        Shortcut file = ReadShortcut(c.folder + "\\" + c.iconName + ".lnk");
        EXPECT_TRUE(file.loaded) << c.name;
        EXPECT_EQ(file.target, prefix + "bin\\dico.exe") << c.name;
        EXPECT_EQ(file.arguments, c.args) << c.name;
        EXPECT_EQ(file.workingDirectory, prefix) << c.name;
        EXPECT_EQ(CurrentFolder(), c.folder) << c.name;
        DeleteFileA((c.folder + "\\" + c.iconName + ".lnk").c_str());
    }
    EXPECT_EQ(FolderNames(programs_ + "\\" + existing), Names{"other.lnk"});
    EXPECT_FALSE(PathExists(programs_ + "\\" + missing));
}

TEST_F(ShortcutTest, DriveRootInstallKeepsItsOneSeparator)
{
    MappedDrive drive('P', install_);
    ASSERT_TRUE(drive.mapped());
    std::string group = Own("Groupe racine");
    Prepare(group, "Dico", "bin\\dico.exe", "", "P:\\");
    CreateProgramShortcut();

    Shortcut file = ReadShortcut(programs_ + "\\" + group + "\\Dico.lnk");
    EXPECT_TRUE(file.loaded);
    EXPECT_EQ(file.target, "P:\\bin\\dico.exe");
    EXPECT_EQ(file.workingDirectory, "P:\\");
}

TEST_F(ShortcutTest, WritesNothingWhenAPathPasses259Characters)
{
    std::string group = Own("Groupe long");
    std::string longPrefix = MakeDeepFolder(install_, 250) + "\\";
    ASSERT_EQ(longPrefix.size(), 251u);  // the target is 263 characters
    std::string longName(259 - (programs_ + "\\" + group + "\\.lnk").size() + 1, 'n');
    ASSERT_LT(longName.size(), sizeof setup.iconName);  // the shortcut path is 260
    struct Case {
        const char* name;
        std::string prefix, iconName;
    } cases[] = {
        {"target", longPrefix, "Dico"},
        {"shortcut file", install_ + "\\", longName},
    };
    for (const Case& c : cases) {
        Prepare(group, c.iconName, "bin\\dico.exe", "", c.prefix);
        CreateProgramShortcut();
        EXPECT_EQ(FolderNames(programs_ + "\\" + group), Names{}) << c.name;
    }
}

// The program menu redirected for a moment to a place below a file, where no
// folder can be: the shell then can't give a usable program menu.
TEST_F(ShortcutTest, WritesNothingWithoutAProgramMenu)
{
    WriteFileBytes(scratch_ / "file", "not a folder");
    Prepare("", "Dico", "bin\\dico.exe", "", install_ + "\\");
    {
        RedirectedProgramMenu redirected(scratch_ / "file\\Programs");
        CreateProgramShortcut();
    }
    EXPECT_EQ(ProgramMenuFolder(), programs_);
    EXPECT_EQ(CurrentFolder(), before_);
    EXPECT_FALSE(PathExists(before_ + "\\Dico.lnk"));
    EXPECT_FALSE(PathExists(scratch_ / "file\\Programs\\Dico.lnk"));
}

TEST_F(ShortcutTest, SaveShellLinkReportsTheSave)
{
    std::string path = scratch_ / "Mon Dico.lnk";
    EXPECT_EQ(SaveShellLink("C:\\dico\\dico.exe", path.c_str(), "C:\\dico\\", "/a b"), S_OK);
    Shortcut file = ReadShortcut(path);
    EXPECT_TRUE(file.loaded);
    EXPECT_EQ(file.target, "C:\\dico\\dico.exe");
    EXPECT_EQ(file.arguments, "/a b");
    EXPECT_EQ(file.workingDirectory, "C:\\dico\\");

    std::string missingFolder = scratch_ / "missing\\Dico.lnk";
    EXPECT_TRUE(FAILED(SaveShellLink("C:\\dico\\dico.exe", missingFolder.c_str(), "C:\\dico\\", "")));
    EXPECT_FALSE(PathExists(missingFolder));
}

}  // namespace
