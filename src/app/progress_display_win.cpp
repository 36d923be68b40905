// The progress display of a language build. It draws at the moment things
// happen and is not part of the paint handling: a repaint shows only the
// background and title there.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "app/screen_drawing.h"
#include "app/window_globals.h"
#include "shell/progress_display.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/wide_text.h"

namespace {
// Held from one language's heading to the next, or to the window's end.
WindowDc runCanvas;
ScopedGdiObject<HBRUSH> counterBrush;
RECT counterField;
HCURSOR rememberedCursor;
}  // namespace

void BeginLanguageDisplay(const char* languageName)
{
    runCanvas.reset();
    runCanvas = WindowDc(windowGlobals.mainWindow);
    SetBkMode(runCanvas.get(), TRANSPARENT);

    counterBrush.reset(CreateSolidBrush(RGB(0, 0, 104)));

    RECT heading;
    SetRect(&heading, 30, setup.headingY, 480, setup.headingY + 40);
    DrawShadowedText(runCanvas.get(), languageName, heading);
    setup.headingY += 50;

    rememberedCursor = SetCursor(windowGlobals.waitCursor);
}

void DrawProgressStep(int fillEdge, const char* text)
{
    RECT bar;
    SetRect(&bar, 30, setup.progressY, 380, setup.progressY + 20);
    DrawProgressBar(bar, fillEdge, text);
}

void StatusLine(const char* text, int left, int right)
{
    if (setup.verbose == 0)
        return;
    SelectObject(runCanvas.get(), GetStockObject(SYSTEM_FONT));
    SetTextColor(runCanvas.get(), RGB(255, 255, 255));
    RECT rect;
    SetRect(&rect, left, setup.statusY, right, setup.statusY + 30);
    DrawTextW(runCanvas.get(), WidenText(text).c_str(), -1, &rect, DT_SINGLELINE | DT_LEFT | DT_TOP);
}

void StatusDone()
{
    if (setup.verbose == 0)
        return;
    StatusLine("Done.", 300, 480);
    setup.statusY += 25;
}

void PlaceCounterField()
{
    SetRect(&counterField, 210, setup.statusY, 290, setup.statusY + 16);
}

void DrawCounter(int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
    FillRect(runCanvas.get(), &counterField, counterBrush.get());
    // The same pixels as DrawText with DT_SINGLELINE | DT_LEFT | DT_TOP
    // (digits, the same in every code page, need no prefix or tab
    // handling) at half the cost: a list of a
    // million words draws some 50,000 counters.
    ExtTextOutA(runCanvas.get(), counterField.left, counterField.top, ETO_CLIPPED, &counterField, text,
                static_cast<UINT>(std::strlen(text)), nullptr);
}

void EndLanguageDisplay()
{
    setup.progressY += 50;
    SetCursor(rememberedCursor);
}

void ReleaseProgressDisplay()
{
    runCanvas.reset();
    counterBrush.reset();
}
