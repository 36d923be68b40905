// The program's French texts read the same, and its paths hold any letter,
// under any system code page: ctest runs this suite again under a Cyrillic
// and a Central European one (SETUP_EXPECTED_ACP names the code page the
// run must have).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "driver.h"
#include "outside.h"
#include "shell/user_registry.h"
#include "support/files.h"
#include "support/installed_files.h"
#include "support/shortcuts.h"
#include "support/word_lists.h"

namespace {

// Asked of the control itself: GetWindowText of another process's window
// gives its caption, not an edit control's text.
std::wstring WideText(HWND control)
{
    const LRESULT length = SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

void ExpectTheRunsCodePage()
{
    if (const char* expected = std::getenv("SETUP_EXPECTED_ACP")) {
        ASSERT_EQ(GetACP(), std::strtoul(expected, nullptr, 10)) << "the locale of the run was not taken";
    }
}

TEST(CodePages, TheWindowAndItsBoxesReadInFrench)
{
    ExpectTheRunsCodePage();

    // install.inf is Windows-1252 whatever the system's code page.
    SetupOnMedium run("title Dictionnaire fran\xE7" "ais\r\ndir c:\\dico fran\xE7" "ais\r\n");
    ASSERT_NE(run.window, nullptr);
    const struct {
        int id;
        const wchar_t* text;
    } controls[] = {
        {kInstall, L"Installer"},
        {kCancel, L"Annuler"},
        {kChange, L"Changer de r\u00E9pertoire"},
        {kMessage, L"Installer dans le r\u00E9pertoire :"},
        {kDriveLabel, L"Lecteur :"},
        {kFolderLabel, L"R\u00E9pertoire :"},
        {kField, L"c:\\dico fran\u00E7ais"},
    };
    for (const auto& control : controls)
        EXPECT_EQ(WideText(run.control(control.id)), control.text) << control.id;

    SetupProcess refused(run.medium.path(), SetupExePath(), "/bogus", false);
    const MessageBoxInfo box = WaitForMessageBox(refused);
    ASSERT_NE(box.handle, nullptr);
    const std::wstring text = WideText(GetDlgItem(box.handle, 0xFFFF));
    EXPECT_EQ(text.rfind(L"Option inconnue : \u00AB\u00A0/bogus\u00A0\u00BB\n", 0), 0u);
    EXPECT_NE(text.find(L"/silent\tinstalle aussit\u00F4t, sans attendre"), std::wstring::npos);
    EXPECT_NE(text.find(L"d\u00E9sinstallation inachev\u00E9e (\u00E0 relancer)"), std::wstring::npos);
    AnswerMessageBox(box);
    EXPECT_EQ(refused.WaitForExit(), 4u);
}

// Names in UTF-8 (files.h): Cyrillic and Greek, which no code page holds
// together, and a Czech letter outside Windows-1252.
const std::string kLetters = "\xD0\xA1\xD0\xBB\xD0\xBE\xD0\xB2\xD0\xB0\xD1\x80\xD1\x8C "
                             "\xCE\x9B\xCE\xB5\xCE\xBE\xCE\xB9\xCE\xBA\xCF\x8C";  // Словарь Λεξικό
const std::string kSound = "sons\\Dvo\xC5\x99\xC3\xA1k.wav";

// The sample medium, with a sound outside Windows-1252 and sealed again,
// installed into a folder of those letters for a user whose program menu
// has them: the same bytes as under Windows-1252, the same shortcut.
TEST(CodePages, AnInstallationInAnyLettersIsByteForByteTheSame)
{
    ExpectTheRunsCodePage();
    const UninstallMedium medium("Dictionnaire fran\xE7" "ais");  // install.inf is Windows-1252
    const std::string product = "Dictionnaire fran\xC3\xA7" "ais";
    WriteFileBytes(medium.folder / kSound, "Dvo\xC5\x99\xC3\xA1k");
    ResealIfSealed(medium.path());
    ScratchFolder profile("profile"), parent("install");
    const std::string menu = profile / kLetters;
    const std::string dir = parent / kLetters;
    const std::string log = parent / (kLetters + ".log");
    ASSERT_TRUE(MakeFolder(menu));
    const RedirectedProgramMenu redirected(menu);  // the user's, for the uninstallation too
    {
        SetupProcess setup(medium.path(), SetupExePath(), "/verysilent \"/dir=" + dir + "\" \"/log=" + log + "\"",
                           false);
        ASSERT_EQ(setup.WaitForExit(180000), 0u) << ReadFileBytes(log);
    }

    for (const std::string name : {"fin.txt", "aide\\index.txt", "aide\\abr\xC3\xA9viations.txt",
                                   "sons\\ouvrir.wav", kSound.c_str()})
        EXPECT_EQ(ReadFileBytes(dir + "\\" + name), ReadFileBytes(medium.folder / name)) << name;
    for (const std::string language : {"anglais", "allemand"}) {
        const std::string from = ReadFileBytes(medium.folder / ("langue\\" + language + ".wb"));
        EXPECT_TRUE(ReadFileBytes(dir + "\\langue\\" + language + ".tb") == ReversedWordList(from, FrenchOrder))
            << language;
    }
    EXPECT_EQ(ReadFileBytes(dir + "\\dict.ini"), SampleCatalogue());

    const Shortcut link = ReadShortcut(menu + "\\Dictionnaire\\Dictionnaire bilingue.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(link.target, dir + "\\dico.exe");
    EXPECT_EQ(link.workingDirectory, dir + "\\");
    EXPECT_EQ(link.arguments, "/fr");

    // The log names every path exactly, in UTF-8 after its byte order mark.
    const std::string logged = ReadFileBytes(log);
    EXPECT_EQ(logged.rfind("\xEF\xBB\xBF", 0), 0u);
    EXPECT_NE(logged.find("Install directory: " + dir + "\r\n"), std::string::npos);
    EXPECT_NE(logged.find(kSound.substr(5) + " -> " + dir + "\\" + kSound), std::string::npos) << logged;

    // The list of installed programs names it in Unicode, and its own copy
    // takes back everything, the shortcut in the menu of those letters too.
    {
        std::string location;
        const ScopedRegistryKey entry = OpenUserKey(EntryKey(product), KEY_READ);
        EXPECT_TRUE(entry && RegistryText(entry.get(), "InstallLocation", location) && location == dir) << location;
    }
    EXPECT_EQ(UninstallToTheEnd(dir, true), 0u);
    EXPECT_FALSE(PathExists(dir));
    EXPECT_FALSE(PathExists(menu + "\\Dictionnaire"));
    EXPECT_FALSE(KeyThere(EntryKey(product)));

    // A damaged file of those letters is named exactly.
    WriteFileBytes(medium.folder / kSound, "Dvorak");
    SetupProcess again(medium.path(), SetupExePath(), "/verysilent \"/dir=" + dir + "\" \"/log=" + log + "\"", false);
    EXPECT_EQ(again.WaitForExit(180000), 1u);
    EXPECT_NE(ReadFileBytes(log).find("Fatal error: Damaged medium: " + kSound + "\r\n"), std::string::npos);
}

}  // namespace
