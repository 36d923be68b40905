// Helpers of the Win32 suites: a stand-in main window to draw on and pixels
// read back from it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

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

// A 32-bit top-down image of a window's client area or of a memory bitmap.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;  // 0x00RRGGBB
    uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

Pixels GrabWindow(HWND window);

// Saves pixels as a BMP file named name in the folder win-artefacts beside
// the test program, for a person to look at.
void SaveArtefact(const Pixels& pixels, const char* name);

// A memory drawing context with a 32-bit DIB section selected into it.
class DibCanvas {
public:
    DibCanvas(int width, int height);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    HDC dc() const { return dc_; }
    uint32_t at(int x, int y) const { return bits_[static_cast<size_t>(y) * width_ + x] & 0xFFFFFF; }
    void Fill(uint32_t rgb);

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint32_t* bits_;
};

constexpr uint32_t Rgb(int r, int g, int b)
{
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}

// Lets pending messages through (paints), as the system would between runs.
void PumpMessages();
