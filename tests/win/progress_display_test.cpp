#include "shell/progress_display.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "shell/setup_state.h"
#include "shell/window_globals.h"
#include "win_test_support.h"

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
            SelectObject(dc, verbose ? GetStockObject(SYSTEM_FONT) : windowGlobals.headingFont);
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

}  // namespace
