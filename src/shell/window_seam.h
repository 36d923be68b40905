// What the subsystems may ask of the main window, which the upper layer
// owns. Link seam; Windows build only.
#pragma once

#include <windows.h>

// The main window, as owner of what the system shows for us; null until it
// exists and after it is gone.
HWND MainWindowHandle();

// Shows text in the directory field and has the main window repaint at once,
// although the message loop is blocked.
void ShowInDirectoryField(const char* text);
