// Start-up of the real program: the setup file, the fatal box before any
// window, the full-screen window with its title.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"

namespace {

TEST(Startup, WithoutSetupFileShowsTheFatalBoxAndNoWindow)
{
    TempFolder medium("nomedium");
    SetupProcess setup(medium.path());
    MessageBoxInfo box = WaitForMessageBox(setup);
    ASSERT_NE(box.handle, nullptr) << "no message box";
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.text, "Can't open INSTALL.INF");
    EXPECT_EQ(box.icon, MessageBoxInfo::Icon::Error);
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(setup.FindWindowOfClass("Installation"), nullptr);
    AnswerMessageBox(box);
    EXPECT_EQ(setup.WaitForExit(), 1u);
}

TEST(Startup, CoversTheScreenWithTheGradientAndTheTitle)
{
    TempFolder medium("medium");
    WriteFileBytes(medium / "install.inf", "title Mon dictionnaire\r\ndir c:\\dico\r\n");
    SetupProcess setup(medium.path());
    HWND window = setup.WaitForWindow("Installation");
    ASSERT_NE(window, nullptr);
    // Painted once the last gradient line and the title's light pass show.
    WaitFor([] {
        ScreenShot shot = GrabScreen();
        return shot.at(1023, 767) == Rgb(0, 0, 14) && shot.at(700, 0) == Rgb(0, 0, 200) &&
               std::count(shot.pixels.begin(), shot.pixels.end(), Rgb(230, 230, 230)) > 200;
    });

    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_CLIPSIBLINGS);
    EXPECT_FALSE(style & WS_CAPTION);
    char text[16] = "x";
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "");

    ScreenShot shot = GrabScreen();
    shot.SaveBmp(ArtefactFolder() + "\\start.bmp");
    EXPECT_EQ(shot.at(700, 0), Rgb(0, 0, 200));
    EXPECT_EQ(shot.at(1023, 767), Rgb(0, 0, 14));
    // The title's light pass starts at (28, 18), its shadow at (30, 20).
    int light = 0, black = 0;
    for (int y = 18; y < 90; ++y) {
        for (int x = 28; x < 480; ++x) {
            light += shot.at(x, y) == Rgb(230, 230, 230);
            black += shot.at(x, y) == Rgb(0, 0, 0);
        }
    }
    EXPECT_GT(light, 200);
    EXPECT_GT(black, 20);
    for (int x = 0; x < 480; ++x)
        ASSERT_EQ(shot.at(x, 17), shot.at(700, 17)) << "nothing drawn above the title at x " << x;
    for (int y = 18; y < 90; ++y)
        ASSERT_EQ(shot.at(27, y), shot.at(700, y)) << "nothing drawn left of the title at y " << y;

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

}  // namespace

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, InstallIconGroupHoldsTwo16ColourIcons)
{
    HMODULE exe = LoadLibraryExA(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HRSRC group = FindResourceA(exe, "INSTALLICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(exe, group)));
    ASSERT_NE(data, nullptr);
    const WORD count = *reinterpret_cast<const WORD*>(data + 4);
    ASSERT_EQ(count, 2);
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(data + 6);
    EXPECT_EQ(entries[0].width, 32);
    EXPECT_EQ(entries[1].width, 16);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(entries[i].bitCount, 4) << i;
        EXPECT_EQ(entries[i].colours, 16) << i;
    }
    EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)), nullptr)
        << "application manifest";
    EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), nullptr)
        << "version information";
    FreeLibrary(exe);
}

}  // namespace
