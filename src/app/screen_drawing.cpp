#include "app/screen_drawing.h"

#include "app/window_globals.h"
#include "shell/scoped_handles.h"
#include "shell/wide_text.h"

ScopedGdiObject<HFONT> CreateHeadingFont()
{
    return ScopedGdiObject<HFONT>(CreateFontW(40, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                              DEFAULT_PITCH, L"Times New Roman"));
}

void PaintBackground(HDC dc, const RECT& client)
{
    const int width = client.right;
    const int height = client.bottom;
    const int depth = GetDeviceCaps(dc, PLANES) * GetDeviceCaps(dc, BITSPIXEL);

    // Deleted after the old pen is selected back.
    ScopedGdiObject<HPEN> pens[64];
    for (int i = 0; i < 64; ++i)
        pens[i].reset(CreatePen(PS_SOLID, 1, RGB(0, 0, 200 - 3 * i)));

    HGDIOBJ oldPen = SelectObject(dc, pens[0].get());
    for (int y = 0; y < height; ++y) {
        int pen = depth < 24 ? 32 : y * 63 / height;
        SelectObject(dc, pens[pen].get());
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, width, y);
    }
    SelectObject(dc, oldPen);
}

void DrawShadowedText(HDC dc, const char* text, RECT rect)
{
    SelectObject(dc, windowGlobals.headingFont.get());
    SetBkMode(dc, TRANSPARENT);
    const UINT format = DT_SINGLELINE | DT_LEFT | DT_TOP;
    const std::wstring wide = WidenText(text);
    SetTextColor(dc, RGB(0, 0, 0));
    DrawTextW(dc, wide.c_str(), -1, &rect, format);
    rect.left -= 2;
    rect.top -= 2;
    SetTextColor(dc, RGB(230, 230, 230));
    DrawTextW(dc, wide.c_str(), -1, &rect, format);
}

namespace {

void DrawBar(HDC dc, RECT rect, int fillEdge, const char* text)
{
    ScopedGdiObject<HBRUSH> green(CreateSolidBrush(RGB(0, 128, 0)));
    ScopedGdiObject<HBRUSH> white(CreateSolidBrush(RGB(255, 255, 255)));
    ScopedGdiObject<HBRUSH> navy(CreateSolidBrush(RGB(0, 0, 128)));

    RECT full;
    CopyRect(&full, &rect);
    FrameRect(dc, &rect, white.get());
    InflateRect(&rect, -1, -1);
    FillRect(dc, &rect, navy.get());
    if (fillEdge > 0) {
        rect.right = fillEdge;
        FillRect(dc, &rect, green.get());
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextW(dc, WidenText(text).c_str(), -1, &full, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

}  // namespace

void DrawProgressBar(RECT rect, int fillEdge, const char* text)
{
    {
        WindowDc dc(windowGlobals.mainWindow);
        DrawBar(dc.get(), rect, fillEdge, text);
    }
    UpdateWindow(windowGlobals.mainWindow);
}
