#include "app/window_globals.h"

#include "shell/window_seam.h"

WindowGlobals windowGlobals;

HWND MainWindowHandle()
{
    return windowGlobals.mainWindow;
}

void ShowInDirectoryField(const char* text)
{
    SetWindowTextA(windowGlobals.directoryField, text);
    UpdateWindow(windowGlobals.mainWindow);
}
