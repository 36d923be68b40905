// Run on a 16-bit screen (its own Xvfb and Wine prefix): below 24 bits per
// pixel the background is one flat colour.
#include <gtest/gtest.h>

#include "app/screen_drawing.h"
#include "support/pixels.h"
#include "test_main_window.h"

namespace {

TEST(ScreenDepth16, BackgroundIsFlatBelow24BitsPerPixel)
{
    ASSERT_EQ(ScreenDepth(), 16) << "this test needs a 16-bit screen";

    TestMainWindow window;
    HDC dc = GetDC(window.handle());
    RECT client;
    GetClientRect(window.handle(), &client);
    PaintBackground(dc, client);
    ReleaseDC(window.handle(), dc);
    Pixels p = GrabWindow(window.handle());
    // (0,0,104) is exact in 5-6-5 only up to the low bits of blue.
    const uint32_t flat = p.at(0, 0);
    EXPECT_EQ(flat & 0xFFFF00, 0u);
    EXPECT_NEAR(static_cast<int>(flat & 0xFF), 104, 4);
    for (int y = 0; y < p.height; y += 7)
        for (int x = 0; x < p.width; x += 13)
            ASSERT_EQ(p.at(x, y), flat) << x << "," << y;
}

}  // namespace
