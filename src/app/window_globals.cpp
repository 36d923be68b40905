#include "app/window_globals.h"

#include "shell/window_seam.h"
#include "shell/wide_text.h"

WindowGlobals windowGlobals;

HWND MainWindowHandle()
{
    return windowGlobals.mainWindow;
}

void ShowInDirectoryField(const char* text)
{
    SetWindowTextW(windowGlobals.directoryField, Widen(text, CP_ACP).c_str());
    UpdateWindow(windowGlobals.mainWindow);
}
