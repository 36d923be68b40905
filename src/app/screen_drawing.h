// Drawing primitives of the main window. Windows build only.
#pragma once

#include <windows.h>

#include "shell/scoped_handles.h"

// The heading font: Times New Roman, cell height 40, bold.
ScopedGdiObject<HFONT> CreateHeadingFont();

// The blue gradient over the client rectangle (flat (0,0,104) below 24 bits).
void PaintBackground(HDC dc, const RECT& client);

// text in black, then again 2 pixels up and left in (230,230,230).
void DrawShadowedText(HDC dc, const char* text, RECT rect);

// Frame, navy inside, green up to fillEdge (an x coordinate, 0 for none) and
// the centred text, on a fresh drawing context of the main window.
void DrawProgressBar(RECT rect, int fillEdge, const char* text);

// Releases what the progress display holds (the run canvas and the counter
// brush); the main window's destruction calls it.
void ReleaseProgressDisplay();
