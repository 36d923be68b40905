// The end-to-end driver: starts setup.exe on a prepared medium, finds its
// windows and message boxes, answers them, grabs the screen and waits for
// the exit code. Runs under Wine in the same prefix as setup.exe.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// The user's program-menu folder, where shortcuts go.
std::string ProgramMenuFolder();

// A shortcut file read back through IShellLinkA and IPersistFile::Load.
struct ShortcutInfo {
    bool loaded = false;
    std::string path, arguments, workingDirectory;
};
ShortcutInfo ReadShortcut(const std::string& file);

// The setup.exe beside the driver executable.
std::string SetupExePath();

// A file of the build folder (where setup.exe and the driver are), and of
// the source tree, as Windows paths.
std::string BuildFile(const std::string& name);
std::string SourceFile(const std::string& name);

// A fresh, empty folder under the Windows temporary folder; removed with its
// content when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& hint);
    // A folder in parent, e.g. "C:\\", for names short enough to type.
    TempFolder(const std::string& parent, const std::string& hint);
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
// Visits every folder and file below root by its name relative to root, a
// folder before what it holds.
void WalkTree(const std::string& root,
              const std::function<void(const std::string& relative, bool isFolder)>& visit);

// One run of setup.exe.
class SetupProcess {
public:
    // Starts setup.exe (or the given copy of it) with currentDir as its
    // current directory.
    explicit SetupProcess(const std::string& currentDir, const std::string& exe = SetupExePath());
    ~SetupProcess();  // kills the process if it still runs
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;

    DWORD id() const { return info_.dwProcessId; }
    DWORD threadId() const { return info_.dwThreadId; }
    // The top-level window of the given class, or null after the timeout.
    HWND WaitForWindow(const char* className, DWORD timeoutMs = 20000) const;
    // Any top-level window of the given class right now.
    HWND FindWindowOfClass(const char* className) const;
    // The exit code, or STILL_ACTIVE after the timeout.
    DWORD WaitForExit(DWORD timeoutMs = 30000);
    // Ends the process at once, wherever it is, as the task manager would,
    // and waits until it is gone. False when it had already ended.
    bool Kill();

private:
    PROCESS_INFORMATION info_ = {};
};

// setup.exe started on a fresh medium folder that holds the given
// install.inf, with its main window found (null when it did not come).
class SetupOnMedium {
public:
    explicit SetupOnMedium(const std::string& setupFile, const std::string& hint = "medium");
    TempFolder medium;
    SetupProcess process;
    HWND window;
    HWND control(int id) const;
};

struct MessageBoxInfo {
    HWND handle = nullptr;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    enum class Icon { None, Error, Warning, Information, Other } icon = Icon::None;
};

// True once condition holds; false when timeoutMs passed first. Polls, so
// a loaded machine only makes it slower.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = 20000);

// What a test sees of one control of setup.exe, read across processes.
struct ControlInfo {
    HWND handle = nullptr;
    std::string className;  // as the system registered it, e.g. "Button"
    int id = 0;
    std::string text;
    LONG style = 0;
    LONG exStyle = 0;
    bool visible = false;  // its own WS_VISIBLE
    bool enabled = false;
    RECT rect = {};        // in the parent's client coordinates
    HFONT font = nullptr;  // what WM_GETFONT answers
};

HWND ControlById(HWND window, int id);
ControlInfo ReadControl(HWND control);
std::string ControlText(HWND control);
std::vector<std::string> ListItems(HWND list);
// Sends the window a command (id, notification code) and waits until it
// has been handled; false when the window did not answer.
bool SendCommand(HWND window, int id, int code);
// True when the texts are equal but for the case of letters.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

// Real input, as a user gives it: the cursor moved onto the target and the
// mouse button or keys sent through SendInput.
void ClickAt(POINT screen);
void ClickControl(HWND control);
// Clicks the list's item (scrolled into view first), which selects it as a
// user's click does, notification included.
void ClickListItem(HWND list, const std::string& item);
// Presses a key with the given modifiers (VK_SHIFT, VK_MENU, VK_CONTROL) held.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// Clicks into the edit control, waits until it has the keyboard, clears it
// with End, Shift+Home, Delete and types text. False when the field did not
// end up holding text.
bool TypeIntoField(const SetupProcess& process, HWND field, const std::string& text);

// Maps a folder as a drive of the Wine prefix (a link in dosdevices), so a
// program started there runs from a drive root. Removed with the object.
class MappedDrive {
public:
    MappedDrive(char letter, const std::string& folder);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;
    bool ok() const { return ok_; }
    std::string root() const { return std::string(1, letter_) + ":\\"; }

private:
    char letter_;
    std::string link_;
    bool ok_ = false;
};

// A drive that the system lists but that cannot be entered, like a drive
// without a medium. Removed with the object.
class DriveWithoutMedium {
public:
    DriveWithoutMedium();
    ~DriveWithoutMedium();
    DriveWithoutMedium(const DriveWithoutMedium&) = delete;
    DriveWithoutMedium& operator=(const DriveWithoutMedium&) = delete;
    bool ok() const { return ok_; }
    std::string root() const { return std::string(1, letter_) + ":\\"; }

private:
    char letter_ = 0;
    bool ok_ = false;
};

// The drive root strings as the system gives them.
std::vector<std::string> LogicalDriveStrings();

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

// The folder where tests leave screenshots (under the build folder). A
// failing test leaves failed-<suite>.<test>.bmp there, taken at its first
// failed check.
std::string ArtefactFolder();

// Saves the screen as name (.bmp) in the artefact folder.
void SaveScreenShot(const std::string& name);

constexpr uint32_t Rgb(int r, int g, int b)
{
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | static_cast<uint32_t>(b);
}

// One whole installation: setup.exe started at root, installDir typed into
// the directory field, Enter pressed, and every message box answered until
// the process ends.
struct InstallResult {
    bool windowFound = false;
    bool directoryTyped = false;
    DWORD exitCode = STILL_ACTIVE;
    std::vector<MessageBoxInfo> boxes;
    ScreenShot lastBoxShot;  // the screen while the last box was up
};

InstallResult RunInstallation(const std::string& root, const std::string& installDir,
                              const std::string& exe = SetupExePath());
