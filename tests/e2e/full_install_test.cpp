// The whole installation of the sample medium, from the drive root D:\,
// checked file by file afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver.h"
#include "outside.h"
#include "support/drives.h"
#include "support/installed_files.h"
#include "support/shortcuts.h"
#include "support/word_lists.h"

namespace {

// Pixel checks of the progress display while the last closing box is up:
// each language's heading and its full bar, and in verbose mode its five
// status rows (white text at x 30 and "Done." at x 300, 25 pixels apart).
void CheckProgressDisplay(const Pixels& shot, int languages, bool verbose)
{
    for (int i = 0; i < languages; ++i) {
        const int headingY = 100 + 50 * i, barY = 155 + 50 * i;
        int light = 0;
        for (int y = headingY - 2; y < headingY + 40; ++y)
            for (int x = 28; x < 200; ++x)
                light += shot.at(x, y) == Rgb(230, 230, 230);
        EXPECT_GT(light, 30) << "heading of language " << i;
        EXPECT_EQ(shot.at(30, barY), Rgb(255, 255, 255)) << "bar frame " << i;
        // A later heading is drawn over an earlier bar: its text may cover
        // the green, nothing else.
        for (int x = 31; x <= 378; ++x) {
            const uint32_t p = shot.at(x, barY + 2);
            ASSERT_TRUE(p == Rgb(0, 128, 0) || (i + 1 < languages && (p == Rgb(230, 230, 230) || p == 0 ||
                                                                     x < 200)))
                << "bar " << i << " at x " << x;
        }
        EXPECT_EQ(shot.at(378, barY + 2), Rgb(0, 128, 0)) << "bar " << i;
    }
    // Status rows start one row lower (the catalogue's first step moves
    // them), five a language. Later bars are drawn over earlier rows, so
    // only what no bar covers counts.
    auto underBar = [&](int y) {
        for (int i = 0; i < languages; ++i)
            if (y >= 155 + 50 * i && y < 175 + 50 * i)
                return true;
        return false;
    };
    const int firstRow = 170 + (verbose ? 25 : 0);
    int rowsWithDone = 0;
    for (int row = 0; row < 5 * languages + 2; ++row) {
        const int y = firstRow + 25 * row;
        if (y + 16 >= shot.height)
            break;
        bool done = false;
        for (int yy = y; yy < y + 16 && !done; ++yy)
            for (int x = 300; x < 340 && !done; ++x)
                done = !underBar(yy) && shot.at(x, yy) == Rgb(255, 255, 255);
        rowsWithDone += done;
    }
    EXPECT_EQ(rowsWithDone, verbose ? 5 * languages : 0);
}

// The whole installation through the window, as a user starts it.
InstallResult Install(const std::string& root, const std::string& installDir)
{
    InstallResult result = RunInstallation(root, installDir);
    EXPECT_TRUE(result.windowFound);
    EXPECT_TRUE(result.directoryTyped);
    return result;
}

TEST(FullInstall, SampleMediumFromDriveRootInstallsEverything)
{
    const std::string medium = BesideProgram("medium");
    MappedDrive d('D', medium);
    ASSERT_TRUE(d.mapped());
    ScratchFolder parent("install");
    const std::string dir = parent / "dico";

    InstallResult run = Install(d.root(), dir);
    ASSERT_EQ(run.exitCode, 0u);
    SaveArtefact(run.lastBoxShot, "look-progress-display");

    // One closing box per language, with the text of the display file.
    const std::string display = ReadFileBytes(medium + "\\fin.txt");
    ASSERT_EQ(run.boxes.size(), 2u);
    for (const MessageBoxInfo& box : run.boxes) {
        EXPECT_EQ(box.caption, "Installation");
        EXPECT_EQ(box.text, display);
        EXPECT_EQ(box.icon, MessageBoxInfo::Icon::None);
        EXPECT_NE(box.owner, nullptr);
    }
    CheckProgressDisplay(run.lastBoxShot, 2, true);

    // Copies: expanded files against their originals, plain ones as they are.
    struct Copied {
        const char* installed;
        std::string original;
    } copies[] = {
        {"dico.exe", BesideProgram("examples\\dico.exe")},
        {"lisezmoi.txt", SourceFile("examples/compress/lisezmoi.txt")},
        {"dico.ico", SourceFile("res/installicon.ico")},
        {"fin.txt", medium + "\\fin.txt"},
        {"langue\\anglais.wb", medium + "\\langue\\anglais.wb"},
        {"langue\\allemand.wb", medium + "\\langue\\allemand.wb"},
        {"aide\\index.txt", medium + "\\aide\\index.txt"},
        {"aide\\LISEZMOI", medium + "\\aide\\LISEZMOI"},
        {"aide\\abr\xE9viations.txt", medium + "\\aide\\abr\xE9viations.txt"},
        {"sons\\ouvrir.wav", medium + "\\sons\\ouvrir.wav"},
        {"sons\\fermer.wav", medium + "\\sons\\fermer.wav"},
    };
    for (const Copied& c : copies) {
        const std::string installed = dir + "\\" + c.installed;
        ASSERT_TRUE(PathExists(installed)) << c.installed;
        EXPECT_EQ(ReadFileBytes(installed), ReadFileBytes(c.original)) << c.installed;
    }

    char delay[32] = "";
    GetPrivateProfileStringA("Dictionary", "FrenchAviDelay", "", delay, sizeof delay, "win.ini");
    EXPECT_STREQ(delay, "250");

    // The reversed lists, against a computation of their own.
    for (const char* language : {"anglais", "allemand"}) {
        const std::string from = ReadFileBytes(medium + "\\langue\\" + language + ".wb");
        const std::string to = ReadFileBytes(dir + "\\langue\\" + language + ".tb");
        const std::string expected = ReversedWordList(from, FrenchOrder);
        EXPECT_EQ(to.size(), expected.size()) << language;
        EXPECT_TRUE(to == expected) << language << ": TO list differs";
    }

    EXPECT_EQ(ReadFileBytes(dir + "\\dict.ini"), SampleCatalogue());
    EXPECT_FALSE(PathExists(dir + "\\langue.cf"));
    EXPECT_FALSE(PathExists(dir + "\\langue\\temp.wb"));
    EXPECT_FALSE(PathExists(dir + "\\tmp.ini"));

    const std::string shortcut = ProgramMenuFolder() + "\\Dictionnaire\\Dictionnaire bilingue.lnk";
    Shortcut link = ReadShortcut(shortcut);
    ASSERT_TRUE(link.loaded) << shortcut;
    EXPECT_TRUE(SameTextIgnoringCase(link.target, dir + "\\dico.exe")) << link.target;
    EXPECT_EQ(link.arguments, "/fr");
    EXPECT_EQ(link.workingDirectory, dir + "\\");

    // The same installation again gives the same bytes.
    const std::string catalogue = ReadFileBytes(dir + "\\dict.ini");
    const std::string english = ReadFileBytes(dir + "\\langue\\anglais.tb");
    InstallResult again = Install(d.root(), dir);
    EXPECT_EQ(again.exitCode, 0u);
    EXPECT_EQ(ReadFileBytes(dir + "\\dict.ini"), catalogue);
    EXPECT_TRUE(ReadFileBytes(dir + "\\langue\\anglais.tb") == english);
    DeleteFileA(shortcut.c_str());
}

// A small medium in a temporary folder: install.inf and the files it names.
struct SmallMedium {
    ScratchFolder folder{"small-medium"};
    void Add(const std::string& name, const std::string& bytes) { WriteFileBytes(folder / name, bytes); }
    void AddFolder(const std::string& name) { MakeFolder(folder / name); }
};

TEST(FullInstall, WithoutWordListsAnExistingCatalogueIsStillSortedByBytes)
{
    SmallMedium medium;
    medium.Add("install.inf", "copy dict.ini dict.ini\r\n");
    medium.Add("dict.ini", "[langue]\r\nd,e,f,zoulou\r\na,b,c,\xC9" "cossais\r\ng,h,i,Allemand\r\n\r\n\r\n" +
                               std::string(kCatalogueEnd));
    ScratchFolder parent("install");
    InstallResult run = Install(medium.folder.path(), parent / "dico");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    // Accented letters sort after z when no language set the French order.
    EXPECT_EQ(ReadFileBytes(parent / "dico\\dict.ini"),
              "[langue]\r\ng,h,i,Allemand\r\nd,e,f,zoulou\r\na,b,c,\xC9" "cossais\r\n\r\n" +
                  std::string(kCatalogueEnd));
}

TEST(FullInstall, CopyOfANameMissingFromTheMediumTakesItsCompressedForm)
{
    // Scripts name the installed file; the medium holds it compressed under
    // the DOS name that the LZ open looks for, at any length of path.
    const std::string sample = BesideProgram("medium");
    const std::string deep = std::string(35, 'a') + "\\" + std::string(35, 'b');
    SmallMedium medium;
    // The line stays within the 99 bytes of a setup line, so the medium's own
    // folder makes up the length, whatever the temporary folder's is.
    const size_t shortBy = 128 - std::min<size_t>(128, (medium.folder / deep + "\\lisezmoi.txt").size());
    const std::string pad(shortBy + 1, 'r');
    const std::string root = pad + "\\";
    medium.AddFolder(pad);
    medium.AddFolder(root + std::string(35, 'a'));
    medium.AddFolder(root + deep);
    medium.Add(root + "dico.ex_", ReadFileBytes(sample + "\\dico.ex_"));
    medium.Add(root + deep + "\\lisezmoi.tx_", ReadFileBytes(sample + "\\lisezmoi.tx_"));
    medium.Add(root + "install.inf", "copy dico.exe dico.exe\r\ncopy " + deep + "\\lisezmoi.txt l.txt\r\n");
    ASSERT_GE((medium.folder / root + deep + "\\lisezmoi.txt").size(), 128u);
    ScratchFolder parent("install");
    const std::string dir = parent / "dico";

    InstallResult run = Install(medium.folder / pad, dir);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(ReadFileBytes(dir + "\\dico.exe") == ReadFileBytes(BesideProgram("examples\\dico.exe")));
    EXPECT_EQ(ReadFileBytes(dir + "\\l.txt"), ReadFileBytes(SourceFile("examples/compress/lisezmoi.txt")));
    EXPECT_EQ(FolderNames(dir), (std::vector<std::string>{"dico.exe", "l.txt"}));
}

TEST(FullInstall, SecondLangueSectionLeavesEachLanguageOnceFromTheSecondRunOn)
{
    SmallMedium medium;
    medium.Add("install.inf", "mkdir langue\r\ncopy langue.cf langue.cf\r\ncopy a.wb langue\\a.wb\r\nmkwlist\r\n");
    medium.Add("langue.cf", "fr,en,langue\\a.tb,Anglais\r\na.wb\r\na.tb\r\n");
    medium.Add("a.wb", ListBytes({{"chat", "cat"}, {"chien", "dog"}}));
    ScratchFolder parent("install");
    const std::string dir = parent / "dico";
    ASSERT_TRUE(MakeFolder(dir));
    const std::string end = "\r\n" + std::string(kCatalogueEnd);
    WriteFileBytes(dir + "\\dict.ini", "[langue]\r\nfr,de,langue\\b.tb,Allemand\r\n\r\n"
                                       "[langue]\r\nfr,it,langue\\c.tb,Italien\r\n" + end);

    // The first run adds the language to both sections, the sort gathers
    // them under one header; later runs find one section only.
    const std::string lines = "fr,de,langue\\b.tb,Allemand\r\nfr,en,langue\\a.tb,Anglais\r\n";
    const std::string after[] = {
        "[langue]\r\nfr,de,langue\\b.tb,Allemand\r\nfr,en,langue\\a.tb,Anglais\r\n"
        "fr,en,langue\\a.tb,Anglais\r\nfr,it,langue\\c.tb,Italien\r\n" + end,
        "[langue]\r\n" + lines + "fr,it,langue\\c.tb,Italien\r\n" + end,
        "[langue]\r\n" + lines + "fr,it,langue\\c.tb,Italien\r\n" + end,
    };
    for (int run = 0; run < 3; ++run) {
        InstallResult result = Install(medium.folder.path(), dir);
        EXPECT_EQ(result.exitCode, 0u) << "run " << run + 1;
        EXPECT_EQ(result.boxes.size(), 1u) << "run " << run + 1;
        EXPECT_EQ(ReadFileBytes(dir + "\\dict.ini"), after[run]) << "run " << run + 1;
    }
}

TEST(FullInstall, WithoutIconNameNoShortcutIsMade)
{
    SmallMedium medium;
    medium.Add("install.inf", "wbarg /x\r\nicongroup Groupe sans raccourci\r\niconexe a.exe\r\n");
    ScratchFolder parent("install");
    InstallResult run = Install(medium.folder.path(), parent / "dico");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(PathExists(ProgramMenuFolder() + "\\Groupe sans raccourci"));
}

TEST(FullInstall, VerboseOffDrawsNoStatusRows)
{
    SmallMedium medium;
    medium.Add("install.inf", "debug 0\r\nmkdir langue\r\ncopy langue.cf langue.cf\r\n"
                              "copy a.wb langue\\a.wb\r\nmkwlist\r\n");
    medium.Add("langue.cf", "x,y,z,Anglais\r\na.wb\r\na.tb\r\n");
    medium.Add("a.wb", ListBytes({{"chat", "cat,tomcat"}, {"matou", "tomcat"}}));
    ScratchFolder parent("install");
    InstallResult run = Install(medium.folder.path(), parent / "dico");
    EXPECT_EQ(run.exitCode, 0u);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, "Installation termin\xE9" "e   ");
    CheckProgressDisplay(run.lastBoxShot, 1, false);
    EXPECT_EQ(ReadFileBytes(parent / "dico\\langue\\a.tb"),
              ListBytes({{"cat", "chat"}, {"tomcat", "chat, matou"}}));
    // One language line is not sorted: both empty lines of the template stay.
    EXPECT_EQ(ReadFileBytes(parent / "dico\\dict.ini"), Catalogue("a.wb", "x,y,z,Anglais\r\n\r\n"));
}

TEST(FullInstall, RejectedDirectoryThenCorrectedOne)
{
    SmallMedium medium;
    medium.Add("install.inf", "mkdir sub\r\n");
    ScratchFolder parent("install");
    SetupProcess setup(medium.folder.path());
    HWND window = setup.WaitForWindow("Installation");
    ASSERT_NE(window, nullptr);
    HWND field = ControlById(window, kField);
    ASSERT_TRUE(TypeIntoField(setup, field, parent / "two\\levels"));
    PressKey(VK_RETURN);
    MessageBoxInfo box = WaitForMessageBox(setup);
    EXPECT_EQ(box.text, "Invalid Directory");
    EXPECT_EQ(box.caption, "Error");
    AnswerMessageBox(box);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box.handle); }));
    EXPECT_FALSE(PathExists(parent / "two"));
    ASSERT_TRUE(TypeIntoField(setup, field, parent / "dico"));
    PressKey(VK_RETURN);
    EXPECT_EQ(setup.WaitForExit(60000), 0u);
    EXPECT_TRUE(PathExists(parent / "dico\\sub"));
}

// After the box, everything the run changed is taken back: the install
// folder (made by the run, or another product's), win.ini and the
// catalogue are as before, byte for byte.
TEST(FullInstall, FatalPathsEndWithTheirBoxAndExitCode1AndAreRolledBack)
{
    struct Case {
        const char* name;
        const char* installInf;
        const char* langueCf;
        const char* message;
        bool overAnotherProduct;
    } cases[] = {
        {"missing FROM list", "copy langue.cf langue.cf\r\nmkwlist\r\n", "a,b,c,Anglais\r\nabsent.wb\r\na.tb\r\n",
         "Input file missing", false},
        {"missing language list", "mkwlist\r\n", nullptr, "Can't open LANGUAGE.CF", false},
        {"catalogue that cannot be read", "mkdir dict.ini\r\ncopy langue.cf langue.cf\r\nmkwlist\r\n",
         "a,b,c,Anglais\r\na.wb\r\na.tb\r\n", "Can't create DICT.INI", false},
        {"over another product", "mkdir langue\r\ncopy a.exe dico.exe\r\ncopy a.exe langue\\a.tb\r\n"
         "avidelay 250\r\ncopy langue.cf langue.cf\r\nmkwlist\r\n",
         "a,b,langue\\a.tb,Anglais\r\nabsent.wb\r\nlangue\\a.tb\r\n", "Input file missing", true},
    };
    for (const Case& c : cases) {
        SmallMedium medium;
        medium.Add("install.inf", c.installInf);
        medium.Add("a.exe", "this product's program");
        if (c.langueCf)
            medium.Add("langue.cf", c.langueCf);
        ScratchFolder parent("install");
        const std::string dir = parent / "dico";
        WritePrivateProfileStringA("Dictionary", "FrenchAviDelay", c.overAnotherProduct ? "100" : nullptr, "win.ini");
        if (c.overAnotherProduct) {
            MakeFolder(dir);
            WriteFiles(dir, {{"dico.exe", "another product's program"},
                             {"dict.ini", "[langue]\r\nfr,de,b.tb,Allemand\r\n"},
                             {"b.tb", "its list"}});
        }
        const Tree before = ReadTree(parent.path());
        InstallResult run = Install(medium.folder.path(), dir);
        EXPECT_EQ(run.exitCode, 1u) << c.name;
        ASSERT_FALSE(run.boxes.empty()) << c.name;
        EXPECT_EQ(run.boxes.back().caption, "Error") << c.name;
        EXPECT_EQ(run.boxes.back().text, c.message) << c.name;
        EXPECT_EQ(run.boxes.back().icon, MessageBoxInfo::Icon::Error) << c.name;
        EXPECT_EQ(Joined(TreeDifferences(before, ReadTree(parent.path()))), "") << c.name;
        char delay[16];
        GetPrivateProfileStringA("Dictionary", "FrenchAviDelay", "none", delay, sizeof delay, "win.ini");
        EXPECT_STREQ(delay, c.overAnotherProduct ? "100" : "none") << c.name;
    }
    WritePrivateProfileStringA("Dictionary", "FrenchAviDelay", nullptr, "win.ini");
}

}  // namespace
