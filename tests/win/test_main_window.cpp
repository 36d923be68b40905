#include "test_main_window.h"

#include "app/screen_drawing.h"
#include "app/window_globals.h"

namespace {
LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ERASEBKGND)
        return 1;  // keep what the test drew
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

TestMainWindow::TestMainWindow()
{
    static bool registered = false;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registered) {
        WNDCLASSEXA windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = PlainProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = "InstallationTestWindow";
        RegisterClassExA(&windowClass);
        registered = true;
    }
    window_ = CreateWindowExA(0, "InstallationTestWindow", nullptr, WS_POPUP | WS_VISIBLE, 0, 0,
                              GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                              nullptr, nullptr, instance, nullptr);
    windowGlobals.instance = instance;
    windowGlobals.mainWindow = window_;
    windowGlobals.headingFont = CreateHeadingFont();
    windowGlobals.waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    PumpMessages();
    // Start from a known colour everywhere.
    HDC dc = GetDC(window_);
    RECT all = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HBRUSH grey = CreateSolidBrush(RGB(64, 64, 64));
    FillRect(dc, &all, grey);
    DeleteObject(grey);
    ReleaseDC(window_, dc);
}

TestMainWindow::~TestMainWindow()
{
    ReleaseProgressDisplay();
    DestroyWindow(window_);
    windowGlobals = WindowGlobals{};
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
