#include "driver.h"

#include <shellapi.h>

#include <cstdio>
#include <stdexcept>

namespace {

std::string FolderOf(const std::string& path)
{
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string ModuleFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    return FolderOf(std::string(path, n));
}

struct FindContext {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param)
{
    auto* context = reinterpret_cast<FindContext*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (owner == context->processId && lstrcmpA(className, context->className) == 0 &&
        IsWindowVisible(window)) {
        context->found = window;
        return FALSE;
    }
    return TRUE;
}

std::string WindowText(HWND window)
{
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The box's icon told by its colours: the error icon is red, the warning
// icon yellow, the information and question icons blue. The icon handles of
// another process cannot be compared with ours.
MessageBoxInfo::Icon IconOf(HWND box)
{
    HWND iconControl = nullptr;
    for (int id : {20, 1088})  // Windows' and Wine's id of the icon static
        if (!iconControl)
            iconControl = GetDlgItem(box, id);
    if (!iconControl || !IsWindowVisible(iconControl) ||
        !SendMessageA(iconControl, STM_GETICON, 0, 0))
        return MessageBoxInfo::Icon::None;
    RECT rect;
    GetWindowRect(iconControl, &rect);
    ScreenShot shot = GrabScreen();
    int red = 0, yellow = 0, blue = 0;
    for (int y = rect.top; y < rect.bottom && y < shot.height; ++y) {
        for (int x = rect.left; x < rect.right && x < shot.width; ++x) {
            uint32_t p = shot.at(x, y);
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            red += r > 160 && g < 90 && b < 90;
            yellow += r > 180 && g > 160 && b < 90;
            blue += b > 150 && r < 100 && g < 160;
        }
    }
    if (red > 40 && red > yellow && red > blue)
        return MessageBoxInfo::Icon::Error;
    if (yellow > 40 && yellow > blue)
        return MessageBoxInfo::Icon::Warning;
    if (blue > 40)
        return MessageBoxInfo::Icon::Information;
    return MessageBoxInfo::Icon::Other;
}

}  // namespace

std::string SetupExePath()
{
    return ModuleFolder() + "\\setup.exe";
}

TempFolder::TempFolder(const std::string& hint)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (unsigned i = GetTickCount();; ++i) {
        std::string candidate = std::string(temp) + "setup-" + hint + "-" + std::to_string(i);
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot make " + candidate);
    }
}

TempFolder::~TempFolder()
{
    RemoveTree(path_);
}

void RemoveTree(const std::string& path)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot create " + path);
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw std::runtime_error("cannot open " + path);
    std::string bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, file)) > 0)
        bytes.append(buf, n);
    std::fclose(file);
    return bytes;
}

bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

SetupProcess::SetupProcess(const std::string& currentDir)
{
    std::string exe = SetupExePath();
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDir.c_str(), &startup, &info_))
        throw std::runtime_error("cannot start " + exe);
    WaitForInputIdle(info_.hProcess, 10000);
}

SetupProcess::~SetupProcess()
{
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

HWND SetupProcess::FindWindowOfClass(const char* className) const
{
    FindContext context = {info_.dwProcessId, className, nullptr};
    EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&context));
    return context.found;
}

HWND SetupProcess::WaitForWindow(const char* className, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = FindWindowOfClass(className))
            return found;
        if (GetTickCount() - start > timeoutMs)
            return nullptr;
        if (WaitForSingleObject(info_.hProcess, 50) == WAIT_OBJECT_0)
            return FindWindowOfClass(className);
    }
}

DWORD SetupProcess::WaitForExit(DWORD timeoutMs)
{
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

MessageBoxInfo WaitForMessageBox(const SetupProcess& process, DWORD timeoutMs)
{
    MessageBoxInfo info;
    HWND box = process.WaitForWindow("#32770", timeoutMs);
    if (!box)
        return info;
    Sleep(200);  // let the box finish its first paint
    info.handle = box;
    info.caption = WindowText(box);
    info.text = WindowText(GetDlgItem(box, 0xFFFF));
    info.owner = GetWindow(box, GW_OWNER);
    info.icon = IconOf(box);
    return info;
}

void AnswerMessageBox(const MessageBoxInfo& box)
{
    PostMessageA(box.handle, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.handle, IDOK)));
}

ScreenShot GrabScreen()
{
    ScreenShot shot;
    shot.width = GetSystemMetrics(SM_CXSCREEN);
    shot.height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    shot.pixels.assign(p, p + static_cast<size_t>(shot.width) * shot.height);
    for (uint32_t& pixel : shot.pixels)
        pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

void ScreenShot::SaveBmp(const std::string& path) const
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    const DWORD imageSize = static_cast<DWORD>(pixels.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    bytes.append(reinterpret_cast<const char*>(pixels.data()), imageSize);
    WriteFileBytes(path, bytes);
}

std::string ArtefactFolder()
{
    std::string folder = ModuleFolder() + "\\e2e-artefacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}
