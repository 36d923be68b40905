#include "win_test_support.h"

#include <cstdio>
#include <string>

#include "shell/screen_drawing.h"
#include "shell/window_globals.h"

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
    DeleteObject(windowGlobals.headingFont);
    windowGlobals = WindowGlobals{};
}

Pixels GrabWindow(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    DibCanvas canvas(client.right, client.bottom);
    HDC dc = GetDC(window);
    BitBlt(canvas.dc(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
    Pixels pixels;
    pixels.width = client.right;
    pixels.height = client.bottom;
    pixels.data.resize(static_cast<size_t>(pixels.width) * pixels.height);
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            pixels.data[static_cast<size_t>(y) * pixels.width + x] = canvas.at(x, y);
    return pixels;
}

void SaveArtefact(const Pixels& pixels, const char* name)
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    folder = folder.substr(0, folder.find_last_of('\\')) + "\\win-artefacts";
    CreateDirectoryA(folder.c_str(), nullptr);

    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = pixels.width;
    header.biHeight = -pixels.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const DWORD imageSize = static_cast<DWORD>(pixels.data.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    FILE* out = std::fopen((folder + "\\" + name).c_str(), "wb");
    if (!out)
        return;
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&header, sizeof header, 1, out);
    std::fwrite(pixels.data.data(), 1, imageSize, out);
    std::fclose(out);
}

DibCanvas::DibCanvas(int width, int height) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
}

DibCanvas::~DibCanvas()
{
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void DibCanvas::Fill(uint32_t rgb)
{
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i)
        bits_[i] = rgb;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}
