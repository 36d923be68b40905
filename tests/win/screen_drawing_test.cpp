#include "app/screen_drawing.h"

#include <gtest/gtest.h>

#include "support/pixels.h"
#include "test_main_window.h"

namespace {

int Blue(uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }

TEST(PaintBackground, GradientOnA768LineClientArea)
{
    ASSERT_GE(ScreenDepth(), 24) << "the suite runs on a 24-bit screen";

    DibCanvas canvas(1024, 768);
    canvas.Fill(Rgb(255, 0, 0));
    RECT client = {0, 0, 1024, 768};
    PaintBackground(canvas.dc(), client);
    GdiFlush();
    struct Row {
        int y;
        uint32_t colour;
    } rows[] = {{0, Rgb(0, 0, 200)}, {384, Rgb(0, 0, 107)}, {767, Rgb(0, 0, 14)},
                {12, Rgb(0, 0, 200)}, {13, Rgb(0, 0, 197)}};
    for (const Row& row : rows) {
        EXPECT_EQ(canvas.at(0, row.y), row.colour) << "line " << row.y;
        EXPECT_EQ(canvas.at(1023, row.y), row.colour) << "line " << row.y;
    }
    // Every line is one colour and blue never grows downwards.
    int last = 255;
    for (int y = 0; y < 768; ++y) {
        ASSERT_EQ(canvas.at(0, y), canvas.at(512, y)) << y;
        ASSERT_LE(Blue(canvas.at(0, y)), last) << y;
        last = Blue(canvas.at(0, y));
    }
}

TEST(DrawShadowedText, LightTextLiesTwoPixelsUpAndLeftOfTheBlack)
{
    TestMainWindow window;
    DibCanvas canvas(480, 100);
    canvas.Fill(Rgb(0, 0, 200));
    DrawShadowedText(canvas.dc(), "Mon dictionnaire", RECT{30, 20, 480, 90});
    GdiFlush();
    int black = 0, light = 0;
    for (int y = 2; y < 100; ++y) {
        for (int x = 2; x < 480; ++x) {
            uint32_t p = canvas.at(x, y);
            if (p == Rgb(230, 230, 230))
                ++light;
            if (p != 0)
                continue;
            ++black;
            EXPECT_EQ(canvas.at(x - 2, y - 2), Rgb(230, 230, 230)) << x << "," << y;
        }
    }
    EXPECT_GT(black, 50);
    EXPECT_GT(light, 200);
    // Clipped to the rectangle (the light pass starts 2 pixels higher).
    for (int x = 0; x < 480; ++x)
        EXPECT_EQ(canvas.at(x, 17), Rgb(0, 0, 200)) << x;
}

TEST(DrawProgressBar, FrameNavyInsideAndGreenFill)
{
    TestMainWindow window;
    struct Case {
        int fillEdge;
        uint32_t left, right;  // inside colours at x 31 and x 378
    } cases[] = {{0, Rgb(0, 0, 128), Rgb(0, 0, 128)},
                 {379, Rgb(0, 128, 0), Rgb(0, 128, 0)},
                 {205, Rgb(0, 128, 0), Rgb(0, 0, 128)}};
    for (const Case& c : cases) {
        DrawProgressBar(RECT{30, 155, 380, 175}, c.fillEdge, "");
        Pixels p = GrabWindow(window.handle());
        const uint32_t white = Rgb(255, 255, 255);
        EXPECT_EQ(p.at(30, 155), white);
        EXPECT_EQ(p.at(379, 174), white);
        EXPECT_EQ(p.at(200, 155), white);
        EXPECT_EQ(p.at(30, 165), white);
        EXPECT_EQ(p.at(31, 160), c.left) << c.fillEdge;
        EXPECT_EQ(p.at(378, 160), c.right) << c.fillEdge;
        EXPECT_EQ(p.at(380, 165), Rgb(64, 64, 64)) << "nothing right of the bar";
        if (c.fillEdge == 205) {
            EXPECT_EQ(p.at(204, 157), Rgb(0, 128, 0));
            EXPECT_EQ(p.at(205, 157), Rgb(0, 0, 128));
        }
    }
}

}  // namespace
