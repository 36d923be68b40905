// The full-screen main window. Upper layer.
#pragma once

#include <windows.h>

// Registers the class "Installation", creates and shows the window with the
// show command the system passed, runs the message loop and returns the code
// carried by the quit message.
int RunMainWindow(int showCommand);

// The paint handling without BeginPaint/EndPaint, so a test can call it on
// a memory drawing context: gradient and shadowed title.
void PaintContent(HDC dc, const RECT& client);
