// The end-to-end driver: starts setup.exe on a prepared medium, finds its
// windows and message boxes, answers them, grabs the screen and waits for
// the exit code. Runs under Wine in the same prefix as setup.exe.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The setup.exe beside the driver executable.
std::string SetupExePath();

// A fresh, empty folder under the Windows temporary folder; removed with its
// content when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
void RemoveTree(const std::string& path);

// One run of setup.exe.
class SetupProcess {
public:
    // Starts setup.exe with currentDir as its current directory.
    explicit SetupProcess(const std::string& currentDir);
    ~SetupProcess();  // kills the process if it still runs
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;

    DWORD id() const { return info_.dwProcessId; }
    // The top-level window of the given class, or null after the timeout.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 20000) const;
    // Any top-level window of the given class right now.
    HWND FindWindowOfClass(const char* className) const;
    // The exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitForExit(DWORD timeoutMs = 30000);

private:
    PROCESS_INFORMATION info_ = {};
};

struct MessageBoxInfo {
    HWND handle = nullptr;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    enum class Icon { None, Error, Warning, Information, Other } icon = Icon::None;
};

// Waits for a message box of the process; handle is null after the timeout.
MessageBoxInfo WaitForMessageBox(const SetupProcess& process, DWORD timeoutMs = 20000);

// Presses the box's OK button.
void AnswerMessageBox(const MessageBoxInfo& box);

// A 32-bit image of the whole screen.
struct ScreenShot {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top-down
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Saves a BMP file, for a person to look at.
    void SaveBmp(const std::string& path) const;
};

ScreenShot GrabScreen();

// The folder where tests leave screenshots (under the build folder).
std::string ArtefactFolder();

constexpr uint32_t Rgb(int r, int g, int b)
{
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}
