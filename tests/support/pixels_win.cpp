#include "pixels.h"

#include <algorithm>

#include "files.h"

namespace {

BITMAPINFOHEADER TopDown32(int width, int height)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

// The pixels of a source drawing context, copied through a canvas.
Pixels Grab(HDC source, int width, int height)
{
    DibCanvas canvas(width, height);
    BitBlt(canvas.dc(), 0, 0, width, height, source, 0, 0, SRCCOPY);
    return canvas.Read();
}

}  // namespace

Pixels GrabScreen()
{
    HDC screen = GetDC(nullptr);
    Pixels pixels = Grab(screen, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    ReleaseDC(nullptr, screen);
    return pixels;
}

Pixels GrabWindow(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    HDC dc = GetDC(window);
    Pixels pixels = Grab(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    return pixels;
}

int ScreenDepth()
{
    HDC screen = GetDC(nullptr);
    const int depth = GetDeviceCaps(screen, PLANES) * GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return depth;
}

bool ShowsGradient(const Pixels& shot, int x, int y)
{
    return shot.at(x, y) == shot.at(900, y);
}

DibCanvas::DibCanvas(int width, int height) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader = TopDown32(width, height);
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
    std::fill(bits_, bits_ + static_cast<size_t>(width_) * height_, rgb);
}

Pixels DibCanvas::Read() const
{
    GdiFlush();
    Pixels pixels;
    pixels.width = width_;
    pixels.height = height_;
    pixels.data.assign(bits_, bits_ + static_cast<size_t>(width_) * height_);
    for (uint32_t& pixel : pixels.data)
        pixel &= 0xFFFFFF;
    return pixels;
}

void SaveBitmap(const Pixels& pixels, const std::string& path)
{
    const BITMAPINFOHEADER header = TopDown32(pixels.width, pixels.height);
    const DWORD imageSize = static_cast<DWORD>(pixels.data.size() * 4);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(pixels.data.data()), imageSize);
    WriteFileBytes(path, bytes);
}

std::string ArtefactFolder()
{
    const std::string folder = BesideProgram("artefacts");
    MakeFolder(folder);
    return folder;
}

void SaveArtefact(const Pixels& pixels, const std::string& name)
{
    SaveBitmap(pixels, ArtefactFolder() + "\\" + name + ".bmp");
}
