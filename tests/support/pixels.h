// Pixels of the screen, of a window or of a memory bitmap, and BMP files of
// them for a person to look at. Windows build only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t Rgb(int r, int g, int b)
{
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}

// A 32-bit top-down image.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;  // 0x00RRGGBB
    uint32_t at(int x, int y) const { return data[static_cast<size_t>(y) * width + x]; }
};

Pixels GrabScreen();
Pixels GrabWindow(HWND window);  // its client area

// Bits per pixel of the screen.
int ScreenDepth();

// Whether the background gradient shows at (x, y) of a full-screen picture:
// it is one colour along each line, so the pixel equals the one at x 900,
// right of every control.
bool ShowsGradient(const Pixels& shot, int x, int y);

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
    Pixels Read() const;

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint32_t* bits_;
};

void SaveBitmap(const Pixels& pixels, const std::string& path);

// The folder "artefacts" beside the test program, where tests leave
// pictures; made when first asked for.
std::string ArtefactFolder();
// Saves pixels as name.bmp there.
void SaveArtefact(const Pixels& pixels, const std::string& name);
