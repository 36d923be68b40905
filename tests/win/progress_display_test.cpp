#include "shell/progress_display.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/window_globals.h"
#include "shell/setup_state.h"
#include "support/pixels.h"
#include "test_main_window.h"

namespace {

// The counter field's pixels, drawn by DrawCounter and then by DrawTextA in
// the same font and colour, over the same fill.
TEST(DrawCounter, SamePixelsAsDrawTextInBothDisplayModes)
{
    for (int verbose : {1, 0}) {
        ResetSetupState();
        setup.verbose = verbose;
        TestMainWindow window;
        BeginLanguageDisplay("Fran\xE7" "ais");
        StatusLine("Reading FROM wordlist", 30, 480);  // verbose: system font, white
        PlaceCounterField();
        for (int value : {0, 7, 100, 1000, 45600, 2147483000}) {
            DrawCounter(value);
            Pixels drawn = GrabWindow(window.handle());

            HDC dc = GetDC(window.handle());
            SetBkMode(dc, TRANSPARENT);
            // Without verbose the canvas keeps what the heading left in it.
            SelectObject(dc, verbose ? GetStockObject(SYSTEM_FONT) : windowGlobals.headingFont.get());
            SetTextColor(dc, verbose ? RGB(255, 255, 255) : RGB(230, 230, 230));
            RECT field = {210, setup.statusY, 290, setup.statusY + 16};
            HBRUSH fill = CreateSolidBrush(RGB(0, 0, 104));
            FillRect(dc, &field, fill);
            DeleteObject(fill);
            std::string text = std::to_string(value);
            DrawTextA(dc, text.c_str(), -1, &field, DT_SINGLELINE | DT_LEFT | DT_TOP);
            ReleaseDC(window.handle(), dc);
            Pixels expected = GrabWindow(window.handle());

            int differing = 0, lit = 0;
            for (int y = setup.statusY - 4; y < setup.statusY + 20; ++y)
                for (int x = 200; x < 300; ++x) {
                    differing += drawn.at(x, y) != expected.at(x, y);
                    lit += drawn.at(x, y) != Rgb(0, 0, 104) && x >= 210 && x < 290 &&
                           y >= setup.statusY && y < setup.statusY + 16;
                }
            EXPECT_EQ(differing, 0) << value << " verbose " << verbose;
            EXPECT_GT(lit, 5) << value << " verbose " << verbose;
        }
        EndLanguageDisplay();
    }
}

bool AnyOf(const Pixels& p, RECT r, uint32_t colour)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (p.at(x, y) == colour)
                return true;
    return false;
}

bool AllOf(const Pixels& p, RECT r, uint32_t colour)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (p.at(x, y) != colour)
                return false;
    return true;
}

TEST(DrawCounter, FieldIsFilledBeforeTheText)
{
    ResetSetupState();
    TestMainWindow window;
    BeginLanguageDisplay("Anglais");
    StatusLine("Reading FROM wordlist", 30, 480);
    PlaceCounterField();
    DrawCounter(100000);
    Pixels wide = GrabWindow(window.handle());
    EXPECT_TRUE(AnyOf(wide, RECT{240, 170, 290, 186}, Rgb(255, 255, 255)));
    DrawCounter(0);
    Pixels narrow = GrabWindow(window.handle());
    EXPECT_TRUE(AnyOf(narrow, RECT{210, 170, 222, 186}, Rgb(255, 255, 255)));
    EXPECT_TRUE(AllOf(narrow, RECT{225, 170, 290, 186}, Rgb(0, 0, 104)))
        << "a shorter value replaces a longer one";
    EXPECT_EQ(narrow.at(209, 178), Rgb(64, 64, 64));
    EXPECT_EQ(narrow.at(290, 178), Rgb(64, 64, 64));
    EndLanguageDisplay();
}

TEST(StatusLine, VerboseOffDrawsNothingAndKeepsTheRow)
{
    struct Case {
        int verbose;
        int statusYAfter;
        bool drawn;
    } cases[] = {{0, 170, false}, {1, 195, true}};
    for (const Case& c : cases) {
        ResetSetupState();
        setup.verbose = c.verbose;
        TestMainWindow window;
        BeginLanguageDisplay("");
        StatusLine("Writing TEMP wordlist", 30, 480);
        StatusDone();
        EXPECT_EQ(setup.statusY, c.statusYAfter);
        Pixels p = GrabWindow(window.handle());
        EXPECT_EQ(AnyOf(p, RECT{30, 170, 200, 200}, Rgb(255, 255, 255)), c.drawn) << c.verbose;
        EXPECT_EQ(AnyOf(p, RECT{300, 170, 480, 200}, Rgb(255, 255, 255)), c.drawn) << c.verbose;
        PlaceCounterField();
        DrawCounter(7);
        p = GrabWindow(window.handle());
        EXPECT_EQ(p.at(289, c.statusYAfter + 15), Rgb(0, 0, 104)) << "counter field on the row";
        EndLanguageDisplay();
    }
}

TEST(ProgressDisplay, LayoutCursorsMoveOnAndTheWaitCursorComesAndGoes)
{
    ResetSetupState();
    TestMainWindow window;
    const char* names[] = {"Anglais", "Allemand"};
    const int headings[] = {100, 150};
    const int bars[] = {155, 205};
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(setup.headingY, headings[i]);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        const HCURSOR arrow = GetCursor();
        BeginLanguageDisplay(names[i]);
        EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT)) << "wait cursor during the build";
        EXPECT_EQ(setup.headingY, headings[i] + 50);
        DrawProgressStep(379, "100%");
        Pixels p = GrabWindow(window.handle());
        EXPECT_TRUE(AnyOf(p, RECT{30, headings[i], 480, headings[i] + 40}, Rgb(230, 230, 230)));
        EXPECT_EQ(p.at(31, bars[i] + 2), Rgb(0, 128, 0)) << names[i];
        EXPECT_EQ(p.at(378, bars[i] + 2), Rgb(0, 128, 0)) << names[i];
        EXPECT_EQ(p.at(30, bars[i]), Rgb(255, 255, 255)) << names[i];
        EndLanguageDisplay();
        EXPECT_EQ(GetCursor(), arrow) << "the cursor of before the build comes back";
        EXPECT_EQ(setup.progressY, bars[i] + 50);
    }
}

}  // namespace
