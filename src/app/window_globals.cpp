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
    SetWindowTextW(windowGlobals.directoryField, WidePath(text).c_str());
    UpdateWindow(windowGlobals.mainWindow);
}
