// The end-to-end driver: starts setup.exe on a prepared medium, finds its
// windows and message boxes, answers them with real input and waits for the
// exit code. Runs under Wine in the same prefix as setup.exe. Files, drives,
// pixels and shortcuts: tests/support/.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/pixels.h"

// The ids of the main window's controls.
constexpr int kInstall = 200, kCancel = 201, kChange = 202, kFrame = 249, kMessage = 250, kDriveLabel = 251,
              kFolderLabel = 252, kDriveList = 300, kFolderList = 301, kField = 350;

// The setup.exe beside the driver executable.
std::string SetupExePath();

// A file of the source tree, as a Windows path.
std::string SourceFile(const std::string& name);

// One run of setup.exe.
class SetupProcess {
public:
    // Starts setup.exe (or the given copy of it) with currentDir as its
    // current directory and the given command-line arguments; waits until
    // it is idle unless told not to (an unattended run is never idle until
    // its installation is over).
    explicit SetupProcess(const std::string& currentDir, const std::string& exe = SetupExePath(),
                          const std::string& arguments = "", bool waitUntilIdle = true);
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
    ScratchFolder medium;
    SetupProcess process;
    HWND window;
    HWND control(int id) const;
};

struct MessageBoxInfo {
    HWND handle = nullptr;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    enum class Icon { None, Error, Warning, Information, Question, Other } icon = Icon::None;
    std::vector<int> buttons;  // the ids of its visible buttons (IDOK, IDYES, ...), ascending
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
// A number from the environment (a seed, a count of runs), or fallback
// when it is unset or not a number.
unsigned EnvironmentNumber(const char* name, unsigned fallback);
// The seed and number of runs of a test of killed runs: SETUP_CRASH_SEED and
// SETUP_CRASH_RUNS, or the defaults; printed, so a failing batch can be
// run again.
struct SeededRuns {
    unsigned seed, runs;
};
SeededRuns SeededRunsFromEnvironment(unsigned defaultSeed, unsigned defaultRuns);
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

// Waits for a message box of the process; handle is null after the timeout.
MessageBoxInfo WaitForMessageBox(const SetupProcess& process, DWORD timeoutMs = 20000);

// Presses one of the box's buttons: OK, or the one of the given id.
void AnswerMessageBox(const MessageBoxInfo& box, int button = IDOK);

// What an unattended run showed until it ended: its window at any moment
// (polled, so a window that shows only for an instant may go unseen), or a
// box, which is seen and never answered.
struct Watched {
    DWORD exitCode = STILL_ACTIVE;  // after the time limit: still running
    bool windowShown = false;
    bool boxShown = false;
};
Watched WatchUntilExit(SetupProcess& setup, DWORD timeoutMs = 120000);

// One whole installation: setup.exe started at root, installDir typed into
// the directory field, Enter pressed, and every message box answered until
// the process ends.
struct InstallResult {
    bool windowFound = false;
    bool directoryTyped = false;
    DWORD exitCode = STILL_ACTIVE;
    std::vector<MessageBoxInfo> boxes;
    Pixels lastBoxShot;  // the screen while the last box was up
};

InstallResult RunInstallation(const std::string& root, const std::string& installDir,
                              const std::string& exe = SetupExePath());

// A run of medium.exe, the publisher's tool beside the driver.
struct ToolRun {
    DWORD code = STILL_ACTIVE;
    std::string out, err;
};
// Runs it with the arguments, standard output and error into files.
ToolRun RunMedium(const std::string& arguments);

// A medium that a test changed is sealed again when it came sealed.
void ResealIfSealed(const std::string& medium);
