// The program's French texts read the same under any system code page:
// ctest runs this suite again under a Cyrillic and a Central European one
// (SETUP_EXPECTED_ACP names the code page the run must have).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "driver.h"

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

TEST(CodePages, TheWindowAndItsBoxesReadInFrench)
{
    if (const char* expected = std::getenv("SETUP_EXPECTED_ACP")) {
        ASSERT_EQ(GetACP(), std::strtoul(expected, nullptr, 10)) << "the locale of the run was not taken";
    }

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

}  // namespace
