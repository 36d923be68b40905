// Handles that the window's parts share: the main window (owner of every
// box after start-up and target of all drawing), its directory field, the
// wait cursor and the heading font. Upper layer; the subsystems reach the
// window through shell/window_seam.h.
#pragma once

#include <windows.h>

#include "shell/scoped_handles.h"

struct WindowGlobals {
    HINSTANCE instance;
    HWND mainWindow;      // null until the window exists, and after it is gone
    HWND directoryField;  // shows each destination while the script copies
    HCURSOR waitCursor;
    // Made at start-up, deleted with the window.
    ScopedGdiObject<HFONT> headingFont;
};

extern WindowGlobals windowGlobals;
