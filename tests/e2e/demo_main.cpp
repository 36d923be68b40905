// The demo without a display: starts setup.exe on the sample medium (the
// current directory), saves a screenshot of each look into the folder given
// as the first argument, closes the window and returns setup.exe's exit code.
#include <cstdio>
#include <string>

#include "driver.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: demo_driver OUTPUT-FOLDER\n");
        return 2;
    }
    const std::string out = argv[1];
    char medium[MAX_PATH];
    GetCurrentDirectoryA(sizeof medium, medium);

    SetupProcess setup(medium);
    HWND window = setup.WaitForWindow("Installation");
    if (!window) {
        MessageBoxInfo box = WaitForMessageBox(setup, 2000);
        if (box.handle) {
            std::printf("setup.exe says: %s: %s\n", box.caption.c_str(), box.text.c_str());
            AnswerMessageBox(box);
        }
        DWORD code = setup.WaitForExit();
        std::printf("setup.exe exit code: %lu\n", code);
        return static_cast<int>(code);
    }
    Sleep(1000);
    GrabScreen().SaveBmp(out + "\\start.bmp");
    std::printf("screenshot: start\n");
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = setup.WaitForExit();
    std::printf("setup.exe exit code: %lu\n", code);
    return static_cast<int>(code);
}
