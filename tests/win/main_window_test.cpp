// The main window's own drawing, on a memory canvas.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include "shell/setup_state.h"
#include "shell/text_file.h"
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

}  // namespace
