// A stand-in main window for the Win32 suites to draw on.
#pragma once

#include <windows.h>

// A full-screen popup window that plays the main window: windowGlobals gets
// its handle and a heading font. Destroyed with the object.
class TestMainWindow {
public:
    TestMainWindow();
    ~TestMainWindow();
    TestMainWindow(const TestMainWindow&) = delete;
    TestMainWindow& operator=(const TestMainWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_;
};

// Lets pending messages through (paints), as the system would between runs.
void PumpMessages();
