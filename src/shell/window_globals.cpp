#include "shell/window_globals.h"

WindowGlobals windowGlobals;

void ShowInDirectoryField(const char* text)
{
    SetWindowTextA(windowGlobals.directoryField, text);
    UpdateWindow(windowGlobals.mainWindow);
}
