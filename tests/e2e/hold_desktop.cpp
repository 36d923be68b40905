// Keeps Wine's desktop open for a whole test run. The wine server closes a
// desktop one second after its last user leaves; a program that starts just
// then finds no desktop and cannot show a window or a box. Between two test
// programs there is such a moment. This program is a user all along: a
// hidden window and its message loop, until it is ended.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "HoldDesktop";
    if (!RegisterClassA(&windowClass) ||
        !CreateWindowA("HoldDesktop", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
