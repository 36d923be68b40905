// The main window: a borderless popup over the whole screen. Its procedure
// is a short dispatch with one handler per message.
#include "shell/main_window.h"

#include "shell/screen_drawing.h"
#include "shell/setup_state.h"
#include "shell/window_globals.h"

namespace {

LRESULT OnCreate(HWND window)
{
    windowGlobals.mainWindow = window;
    windowGlobals.waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    return 0;
}

LRESULT OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    PaintContent(dc, client);
    EndPaint(window, &paint);
    return 0;
}

LRESULT OnDestroy()
{
    DeleteObject(windowGlobals.headingFont);
    windowGlobals.headingFont = nullptr;
    ReleaseProgressDisplay();
    windowGlobals.mainWindow = nullptr;
    PostQuitMessage(0);
    return 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_PAINT:
        return OnPaint(window);
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterMainWindowClass()
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = windowGlobals.instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(windowGlobals.instance, "installicon");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszMenuName = "Installation";
    windowClass.lpszClassName = "Installation";
    return RegisterClassExA(&windowClass) != 0;
}

}  // namespace

void PaintContent(HDC dc, const RECT& client)
{
    PaintBackground(dc, client);
    RECT titleRect = {30, 20, 480, 90};
    DrawShadowedText(dc, setup.title, titleRect);
}

int RunMainWindow(int showCommand)
{
    RegisterMainWindowClass();
    HWND window = CreateWindowExA(0, "Installation", nullptr,
                                  WS_POPUP | WS_CLIPSIBLINGS | WS_MAXIMIZE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, windowGlobals.instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
