#include "shell/screen_drawing.h"

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "shell/progress_display.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/window_globals.h"
#include "win_test_support.h"

namespace {

int Blue(uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }

TEST(PaintBackground, GradientOnA768LineClientArea)
{
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    ASSERT_GE(depth, 24) << "the suite runs on a 24-bit screen";

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
