// The installation run of the real program as far as the window goes: the
// two ways to start it, the check of the install directory, the end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver.h"
#include "support/drives.h"

namespace {

constexpr int kAllControls[] = {kFrame, kField, kDriveList, kFolderList, kInstall,
                                kCancel, kChange, kMessage, kDriveLabel, kFolderLabel};

const char kSetupFile[] = "title Mon dictionnaire\r\ndir c:\\dico\r\n";

enum class Start { InstallButton, EnterInField };

void StartRun(const SetupOnMedium& setup, Start start)
{
    if (start == Start::InstallButton)
        ClickControl(setup.control(kInstall));
    else
        PressKey(VK_RETURN);  // the field has the keyboard after typing
}

// What the user sees of every control.
std::string Look(const SetupOnMedium& setup)
{
    std::string look;
    for (int id : kAllControls) {
        ControlInfo c = ReadControl(setup.control(id));
        look += std::to_string(id) + " '" + c.text + "' visible " + std::to_string(c.visible) +
                " enabled " + std::to_string(c.enabled) + " at " + std::to_string(c.rect.left) +
                "," + std::to_string(c.rect.top) + "," + std::to_string(c.rect.right) + "," +
                std::to_string(c.rect.bottom) + "\n";
    }
    return look;
}

void ExpectInvalidDirectoryBox(const SetupOnMedium& setup)
{
    MessageBoxInfo box = WaitForMessageBox(setup.process);
    ASSERT_NE(box.handle, nullptr) << "no box";
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Invalid Directory");
    EXPECT_EQ(box.icon, MessageBoxInfo::Icon::Error);
    EXPECT_EQ(box.owner, setup.window);
    AnswerMessageBox(box);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box.handle); }));
}

// Enter in the field and the "Installer" button run the same installation:
// the same directory check and the same end.
TEST(InstallRun, EnterAndTheInstallerButtonStartTheSameRun)
{
    for (Start start : {Start::InstallButton, Start::EnterInField}) {
        SCOPED_TRACE(start == Start::InstallButton ? "Installer" : "Enter");
        ScratchFolder target("C:\\", "start");
        SetupOnMedium setup(kSetupFile);
        ASSERT_NE(setup.window, nullptr);

        ASSERT_TRUE(TypeIntoField(setup.process, setup.control(kField), target / "a\\b"));
        StartRun(setup, start);
        ExpectInvalidDirectoryBox(setup);
        EXPECT_FALSE(PathExists(target / "a"));

        ASSERT_TRUE(TypeIntoField(setup.process, setup.control(kField), target / "a"));
        StartRun(setup, start);
        EXPECT_EQ(setup.process.WaitForExit(), 0u);
        EXPECT_TRUE(PathExists(target / "a"));
    }
}

// The install directory must exist (a file will do) or be made one level
// deep; otherwise "Invalid Directory", the window stays as it was, and the
// user corrects the field and tries again.
TEST(InstallRun, ChecksTheInstallDirectory)
{
    struct Case {
        const char* name;
        std::string field;  // below the case's own folder on C:, "" for an empty field
        bool accepted;
        bool chooserOpen;
    } cases[] = {
        {"existing folder", "here", true, false},
        {"existing file", "file.dat", true, false},
        {"one missing level", "new", true, false},
        {"one missing level, chooser open", "new", true, true},
        {"two missing levels", "new\\deeper", false, false},
        {"two missing levels, chooser open", "new\\deeper", false, true},
        {"empty field", "", false, false},
        {"name the system refuses", "bad|name", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder base("C:\\", "check");
        MakeFolder(base / "here");
        WriteFileBytes(base / "file.dat", "data");
        const std::string field = c.field.empty() ? "" : base / c.field;

        SetupOnMedium setup(kSetupFile);
        ASSERT_NE(setup.window, nullptr);
        if (c.chooserOpen) {
            ClickControl(setup.control(kChange));
            ASSERT_TRUE(WaitFor([&] { return ReadControl(setup.control(kDriveList)).visible; }));
        }
        ASSERT_TRUE(TypeIntoField(setup.process, setup.control(kField), field));
        const std::string before = Look(setup);
        ClickControl(setup.control(kInstall));

        if (c.accepted) {
            EXPECT_EQ(setup.process.WaitForExit(), 0u);
            EXPECT_TRUE(PathExists(field));
            EXPECT_EQ(ReadFileBytes(base / "file.dat"), "data");
            continue;
        }
        ExpectInvalidDirectoryBox(setup);
        EXPECT_EQ(Look(setup), before) << "the window changed";
        EXPECT_FALSE(PathExists(base / "new"));
        EXPECT_EQ(setup.process.WaitForExit(0), STILL_ACTIVE);

        // The user corrects the field and tries again.
        ASSERT_TRUE(TypeIntoField(setup.process, setup.control(kField), base / "here"));
        ClickControl(setup.control(kInstall));
        EXPECT_EQ(setup.process.WaitForExit(), 0u);
    }
}

// The run works in the directory that was checked, and nowhere else: a
// relative name stays the folder it named when the copy commands move the
// current directory to the medium, and an accepted file that cannot be
// entered leaves the medium's language list and catalogue alone.
TEST(InstallRun, WorksOnlyInTheDirectoryItChecked)
{
    {
        SCOPED_TRACE("relative name, chooser at c:\\");
        ScratchFolder base("C:\\", "rel");
        SetupOnMedium setup("mkdir sons\r\nxcopy *.txt sons\r\ncopy a.txt a.txt\r\n");
        ASSERT_NE(setup.window, nullptr);
        WriteFileBytes(setup.medium / "a.txt", "texte");
        ClickControl(setup.control(kChange));  // makes c:\ current
        ASSERT_TRUE(WaitFor([&] { return ReadControl(setup.control(kDriveList)).visible; }));
        const std::string relative = base.path().substr(3) + "\\dico";
        ASSERT_TRUE(TypeIntoField(setup.process, setup.control(kField), relative));
        ClickControl(setup.control(kInstall));
        EXPECT_EQ(setup.process.WaitForExit(), 0u);
        EXPECT_EQ(ReadFileBytes(base / "dico\\a.txt"), "texte");
        EXPECT_EQ(ReadFileBytes(base / "dico\\sons\\a.txt"), "texte");
        EXPECT_FALSE(PathExists(setup.medium / relative));
    }
    {
        SCOPED_TRACE("a file accepted with word lists to build");
        ScratchFolder base("C:\\", "file");
        WriteFileBytes(base / "file.dat", "data");
        SetupOnMedium setup("mkwlist\r\n");
        ASSERT_NE(setup.window, nullptr);
        const std::string list = "a,b,c,Anglais\r\nanglais.wb\r\nanglais.tb\r\n";
        WriteFileBytes(setup.medium / "langue.cf", list);
        ASSERT_TRUE(TypeIntoField(setup.process, setup.control(kField), base / "file.dat"));
        ClickControl(setup.control(kInstall));
        MessageBoxInfo box = WaitForMessageBox(setup.process);
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text, "Can't open LANGUAGE.CF");
        AnswerMessageBox(box);
        EXPECT_EQ(setup.process.WaitForExit(), 1u);
        EXPECT_EQ(ReadFileBytes(setup.medium / "langue.cf"), list);
        EXPECT_FALSE(PathExists(setup.medium / "dict.ini"));
        EXPECT_EQ(ReadFileBytes(base / "file.dat"), "data");
    }
}

// A run from a medium in a drive: the source directory is the drive's root.
TEST(InstallRun, EndsWithCodeZeroWhenStartedFromADriveRoot)
{
    if (PathExists("D:\\"))
        GTEST_SKIP() << "the prefix already has a drive D:";
    ScratchFolder medium("driveroot");
    WriteFileBytes(medium / "install.inf", kSetupFile);
    MappedDrive drive('D', medium.path());
    ASSERT_TRUE(drive.mapped()) << "the medium could not be mapped as D:";
    ScratchFolder target("C:\\", "fromd");

    SetupProcess process(drive.root());
    HWND window = process.WaitForWindow("Installation");
    ASSERT_NE(window, nullptr) << "no window: install.inf not found in D:\\?";
    ASSERT_TRUE(TypeIntoField(process, ControlById(window, kField), target / "dico"));
    ClickControl(ControlById(window, kInstall));
    EXPECT_EQ(process.WaitForExit(), 0u);
    EXPECT_TRUE(PathExists(target / "dico"));
}

}  // namespace
