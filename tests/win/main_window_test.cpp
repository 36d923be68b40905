// The main window's own looks: its content drawn on a memory canvas, and
// the copy display of an installation, seen as the user sees it (the message
// loop does not run meanwhile, so only what the run paints itself shows).
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/screen_drawing.h"
#include "app/window_globals.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "support/files.h"
#include "support/pixels.h"
#include "test_main_window.h"

namespace {

TEST(PaintContent, TitleAt30By20OverTheGradient)
{
    ResetSetupState();
    TestMainWindow window;
    CopyText(setup.title, sizeof setup.title, "Dictionnaire");
    DibCanvas canvas(1024, 768);
    PaintContent(canvas.dc(), RECT{0, 0, 1024, 768});
    GdiFlush();
    bool lightNearOrigin = false;
    for (int y = 18; y < 40 && !lightNearOrigin; ++y)
        for (int x = 28; x < 60; ++x)
            if (canvas.at(x, y) == Rgb(230, 230, 230))
                lightNearOrigin = true;
    EXPECT_TRUE(lightNearOrigin);
    EXPECT_EQ(canvas.at(500, 50), Rgb(0, 0, 188)) << "only the gradient right of the title";
    for (int y = 0; y < 18; ++y)
        EXPECT_EQ(canvas.at(40, y), canvas.at(900, y)) << "nothing above the title box at " << y;
}

std::string Text(HWND control)
{
    char text[256] = "";
    GetWindowTextA(control, text, sizeof text);
    return text;
}

TEST(InstallRunLooks, CopyDisplayThenOnlyTheBackground)
{
    ScopedCurrentFolder keep(CurrentFolder());  // the chooser moves it
    ResetSetupState();
    CopyText(setup.title, sizeof setup.title, "Mon dictionnaire");
    CopyText(setup.defaultDir, sizeof setup.defaultDir, "c:\\dico");
    windowGlobals.instance = GetModuleHandleA(nullptr);
    windowGlobals.headingFont = CreateHeadingFont();
    HWND window = CreateMainWindow(SW_SHOW, true);
    ASSERT_NE(window, nullptr);
    PumpMessages();
    // The user opened the chooser before starting the run.
    SendMessageA(window, WM_COMMAND, kChangeButtonId, 0);
    PumpMessages();
    ASSERT_TRUE(IsWindowVisible(GetDlgItem(window, kDriveListId)));

    ShowCopyDisplay();
    struct Visibility {
        int id;
        bool visible;
    } copyLook[] = {
        {kFrameBoxId, true},       {kDirectoryFieldId, true}, {kMessageLabelId, true},
        {kCancelButtonId, true},   {kInstallButtonId, false}, {kChangeButtonId, false},
        {kDriveListId, false},     {kFolderListId, false},    {kDriveLabelId, false},
        {kFolderLabelId, false},
    };
    for (const Visibility& row : copyLook)
        EXPECT_EQ(IsWindowVisible(GetDlgItem(window, row.id)) != FALSE, row.visible) << row.id;
    EXPECT_EQ(Text(GetDlgItem(window, kMessageLabelId)), "Copie des fichiers...");
    RECT frame;
    GetWindowRect(GetDlgItem(window, kFrameBoxId), &frame);
    EXPECT_EQ(frame.left, 110);
    EXPECT_EQ(frame.top, 138);
    EXPECT_EQ(frame.right, 550);
    EXPECT_EQ(frame.bottom, 248);

    Pixels shot = GrabWindow(window);
    SaveArtefact(shot, "look-copy-display");
    EXPECT_FALSE(ShowsGradient(shot, 200, 155)) << "no label";
    EXPECT_FALSE(ShowsGradient(shot, 300, 182)) << "no field";
    EXPECT_FALSE(ShowsGradient(shot, 490, 220)) << "no Annuler button";
    EXPECT_FALSE(ShowsGradient(shot, 300, 247)) << "no lower edge of the frame";
    EXPECT_TRUE(ShowsGradient(shot, 170, 220)) << "the Installer button stayed";
    EXPECT_TRUE(ShowsGradient(shot, 330, 220)) << "the Change button stayed";
    EXPECT_TRUE(ShowsGradient(shot, 200, 320)) << "the drive list stayed";
    EXPECT_TRUE(ShowsGradient(shot, 400, 400)) << "the folder list stayed";
    EXPECT_TRUE(ShowsGradient(shot, 300, 457)) << "the grown frame's lower edge stayed";

    HideCopyDisplay();
    UpdateWindow(window);
    for (const Visibility& row : copyLook)
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, row.id))) << row.id;
    shot = GrabWindow(window);
    SaveArtefact(shot, "look-background-only");
    for (POINT p : {POINT{200, 155}, POINT{300, 182}, POINT{490, 220}, POINT{110, 200}})
        EXPECT_TRUE(ShowsGradient(shot, p.x, p.y)) << p.x << "," << p.y;

    DestroyWindow(window);
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
    EXPECT_EQ(windowGlobals.mainWindow, nullptr);
}

}  // namespace
