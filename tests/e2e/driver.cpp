#include "driver.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace {

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

bool LooksMoreLike(const Pixels& shot, const RECT& rect, LPCSTR icon, LPCSTR other);

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
    Pixels shot = GrabScreen();
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
        return LooksMoreLike(shot, rect, IDI_QUESTION, IDI_ASTERISK) ? MessageBoxInfo::Icon::Question
                                                                      : MessageBoxInfo::Icon::Information;
    return MessageBoxInfo::Icon::Other;
}

// How far the screen's pixels in rect are from the system icon as the box's
// icon control draws it (stretched to the control, on the box's colour,
// which shows in its corner): the sum of the colour differences.
long long DistanceFromIcon(const Pixels& shot, const RECT& rect, LPCSTR icon)
{
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || rect.left < 0 || rect.top < 0 || rect.right > shot.width ||
        rect.bottom > shot.height)
        return 0;
    DibCanvas canvas(width, height);
    canvas.Fill(shot.at(rect.left, rect.top));
    DrawIconEx(canvas.dc(), 0, 0, LoadIconA(nullptr, icon), width, height, 0, nullptr, DI_NORMAL);
    long long distance = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t a = canvas.at(x, y), b = shot.at(rect.left + x, rect.top + y);
            for (int shift : {0, 8, 16})
                distance += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        }
    }
    return distance;
}

// The blue icons differ by their drawing, not their colours.
bool LooksMoreLike(const Pixels& shot, const RECT& rect, LPCSTR icon, LPCSTR other)
{
    return DistanceFromIcon(shot, rect, icon) < DistanceFromIcon(shot, rect, other);
}

}  // namespace

std::string SourceFile(const std::string& name)
{
    // Wine shows the Unix root as drive Z:.
    std::string path = std::string("Z:") + SETUP_SOURCE_DIR + "/" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string SetupExePath()
{
    return BesideProgram("setup.exe");
}

SetupProcess::SetupProcess(const std::string& currentDir, const std::string& exe,
                           const std::string& arguments, bool waitUntilIdle)
{
    std::wstring commandLine = WideName("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(WideName(exe).c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        WideName(currentDir).c_str(), &startup, &info_))
        throw std::runtime_error("cannot start " + exe);
    if (waitUntilIdle)
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

namespace {
const std::string& PrepareMedium(const ScratchFolder& medium, const std::string& setupFile)
{
    WriteFileBytes(medium / "install.inf", setupFile);
    return medium.path();
}
}  // namespace

SetupOnMedium::SetupOnMedium(const std::string& setupFile, const std::string& hint)
    : medium(hint), process(PrepareMedium(medium, setupFile)),
      window(process.WaitForWindow("Installation"))
{
}

HWND SetupOnMedium::control(int id) const
{
    return ControlById(window, id);
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

bool SetupProcess::Kill()
{
    const bool killed = TerminateProcess(info_.hProcess, 99) != 0;
    WaitForSingleObject(info_.hProcess, 10000);
    return killed;
}

MessageBoxInfo WaitForMessageBox(const SetupProcess& process, DWORD timeoutMs)
{
    MessageBoxInfo info;
    HWND box = process.WaitForWindow("#32770", timeoutMs);
    if (!box)
        return info;
    info.handle = box;
    info.caption = WindowText(box);
    info.text = WindowText(GetDlgItem(box, 0xFFFF));
    info.owner = GetWindow(box, GW_OWNER);
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowVisible(button))
            info.buttons.push_back(id);
    }
    // The icon is told from the screen: wait for the box's first paint.
    WaitFor([&] { return (info.icon = IconOf(box)) != MessageBoxInfo::Icon::Other; }, 5000);
    return info;
}

void AnswerMessageBox(const MessageBoxInfo& box, int button)
{
    PostMessageA(box.handle, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.handle, button)));
}

namespace {

constexpr DWORD kMessageTimeoutMs = 10000;

// A message's result, or -1 when the window did not answer in time. Wine's
// SendMessageTimeout returns the message's result rather than nonzero, so a
// 0 is a failure only when the last error says so. Wine hands texts of
// another process's controls back to the A calls unconverted: texts go
// through the W calls (wide) and are turned into the program's code page.
LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool wide = false)
{
    DWORD_PTR result = 0;
    SetLastError(0);
    const auto send = wide ? SendMessageTimeoutW : SendMessageTimeoutA;
    if (!send(window, message, wParam, lParam, SMTO_NORMAL, kMessageTimeoutMs, &result) && GetLastError() != 0)
        return -1;
    return static_cast<LRESULT>(result);
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return "";
    int length = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &result[0],
                        length, nullptr, nullptr);
    return result;
}

void SendInputs(std::vector<INPUT> inputs)
{
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        throw std::runtime_error("SendInput refused the input");
}

INPUT KeyInput(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// The key pressed and let go with the modifiers held around it.
std::vector<INPUT> Chord(WORD key, const std::vector<WORD>& modifiers)
{
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers)
        inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        inputs.push_back(KeyInput(*m, true));
    return inputs;
}

INPUT MouseInput(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return condition();
        Sleep(30);
    }
}

HWND ControlById(HWND window, int id)
{
    return GetDlgItem(window, id);
}

std::string ControlText(HWND control)
{
    LRESULT length = SendTo(control, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return "";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT got = SendTo(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), true);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return Narrow(text);
}

ControlInfo ReadControl(HWND control)
{
    ControlInfo info;
    info.handle = control;
    if (!control)
        return info;
    char className[64] = "";
    GetClassNameA(control, className, sizeof className);
    info.className = className;
    info.id = GetDlgCtrlID(control);
    info.text = ControlText(control);
    info.style = GetWindowLongA(control, GWL_STYLE);
    info.exStyle = GetWindowLongA(control, GWL_EXSTYLE);
    info.visible = (info.style & WS_VISIBLE) != 0;
    info.enabled = IsWindowEnabled(control) != FALSE;
    GetWindowRect(control, &info.rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&info.rect), 2);
    info.font = reinterpret_cast<HFONT>(SendTo(control, WM_GETFONT, 0, 0));
    return info;
}

std::vector<std::string> ListItems(HWND list)
{
    std::vector<std::string> items;
    LRESULT count = SendTo(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendTo(list, LB_GETTEXTLEN, i, 0);
        std::wstring item(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        LRESULT got = SendTo(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&item[0]), true);
        item.resize(got > 0 ? static_cast<size_t>(got) : 0);
        items.push_back(Narrow(item));
    }
    return items;
}

bool SendCommand(HWND window, int id, int code)
{
    return SendTo(window, WM_COMMAND, MAKEWPARAM(id, code), 0) != -1;
}

unsigned EnvironmentNumber(const char* name, unsigned fallback)
{
    char text[32] = "";
    DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
    if (length == 0 || length >= sizeof text)
        return fallback;
    char* end = nullptr;
    unsigned long value = std::strtoul(text, &end, 10);
    return end != text && *end == '\0' ? static_cast<unsigned>(value) : fallback;
}

SeededRuns SeededRunsFromEnvironment(unsigned defaultSeed, unsigned defaultRuns)
{
    const SeededRuns seeded{EnvironmentNumber("SETUP_CRASH_SEED", defaultSeed),
                            EnvironmentNumber("SETUP_CRASH_RUNS", defaultRuns)};
    std::printf("seed %u (SETUP_CRASH_SEED), %u runs (SETUP_CRASH_RUNS)\n", seeded.seed, seeded.runs);
    return seeded;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b)
{
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

void ClickAt(POINT screen)
{
    // Two clicks on one spot within the double-click time make a double
    // click; a test's clicks are single ones.
    static DWORD lastClick;
    static POINT lastPoint = {-100, -100};
    const DWORD doubleClickTime = GetDoubleClickTime();
    if (std::abs(screen.x - lastPoint.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
        std::abs(screen.y - lastPoint.y) <= GetSystemMetrics(SM_CYDOUBLECLK)) {
        DWORD since = GetTickCount() - lastClick;
        if (since <= doubleClickTime)
            Sleep(doubleClickTime - since + 50);
    }
    SetCursorPos(screen.x, screen.y);
    WaitFor([&] {
        POINT at;
        return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
    }, 5000);
    SendInputs({MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)});
    lastClick = GetTickCount();
    lastPoint = screen;
}

void ClickControl(HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

void ClickListItem(HWND list, const std::string& item)
{
    std::vector<std::string> items = ListItems(list);
    int index = -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            index = static_cast<int>(i);
    if (index < 0)
        throw std::runtime_error("no list item " + item);
    RECT client;
    GetClientRect(list, &client);
    int height = static_cast<int>(SendTo(list, LB_GETITEMHEIGHT, 0, 0));
    if (height <= 0)
        throw std::runtime_error("no item height");
    int visible = client.bottom / height;
    int top = static_cast<int>(SendTo(list, LB_GETTOPINDEX, 0, 0));
    if (index < top || index >= top + visible) {
        // As the user would scroll; scrolling selects nothing.
        SendTo(list, LB_SETTOPINDEX, index, 0);
        top = static_cast<int>(SendTo(list, LB_GETTOPINDEX, 0, 0));
    }
    POINT point = {client.right / 2, (index - top) * height + height / 2};
    ClientToScreen(list, &point);
    ClickAt(point);
}

void PressKey(WORD key, std::initializer_list<WORD> modifiers)
{
    SendInputs(Chord(key, modifiers));
}

bool TypeIntoField(const SetupProcess& process, HWND field, const std::string& text)
{
    ClickControl(field);
    bool focused = WaitFor([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(process.threadId(), &info) && info.hwndFocus == field;
    });
    if (!focused)
        return false;
    PressKey(VK_END);
    PressKey(VK_HOME, {VK_SHIFT});
    PressKey(VK_DELETE);
    if (!WaitFor([&] { return ControlText(field).empty(); }))
        return false;
    for (char c : text) {
        SHORT key = VkKeyScanA(c);
        if (key == -1)
            throw std::runtime_error(std::string("no key types ") + c);
        std::vector<WORD> modifiers;
        if (key & 0x100)
            modifiers.push_back(VK_SHIFT);
        if (key & 0x200)
            modifiers.push_back(VK_CONTROL);
        if (key & 0x400)
            modifiers.push_back(VK_MENU);
        SendInputs(Chord(LOBYTE(key), modifiers));
    }
    return WaitFor([&] { return ControlText(field) == text; });
}

Watched WatchUntilExit(SetupProcess& setup, DWORD timeoutMs)
{
    Watched watched;
    WaitFor(
        [&] {
            HWND window = setup.FindWindowOfClass("Installation");
            watched.windowShown = watched.windowShown || (window && IsWindowVisible(window));
            watched.boxShown = watched.boxShown || setup.FindWindowOfClass("#32770") != nullptr;
            return setup.WaitForExit(0) != STILL_ACTIVE;
        },
        timeoutMs);
    watched.exitCode = setup.WaitForExit(1000);
    return watched;
}

InstallResult RunInstallation(const std::string& root, const std::string& installDir, const std::string& exe)
{
    InstallResult result;
    SetupProcess setup(root, exe);
    HWND window = setup.WaitForWindow("Installation");
    result.windowFound = window != nullptr;
    if (!window)
        return result;
    HWND field = ControlById(window, kField);
    result.directoryTyped = TypeIntoField(setup, field, installDir);
    PressKey(VK_RETURN);
    for (;;) {
        MessageBoxInfo box = WaitForMessageBox(setup, 120000);
        if (!box.handle)
            break;
        result.lastBoxShot = GrabScreen();
        result.boxes.push_back(box);
        AnswerMessageBox(box);
        if (!WaitFor([&] { return !IsWindow(box.handle); }, 20000))
            break;
        if (setup.WaitForExit(0) != STILL_ACTIVE)
            break;
    }
    result.exitCode = setup.WaitForExit(120000);
    return result;
}

ToolRun RunMedium(const std::string& arguments)
{
    ScratchFolder streams("medium-streams");
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA((streams / "out").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE err = CreateFileA((streams / "err").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring command = WideName("\"" + BesideProgram("tools\\medium\\medium.exe") + "\" " + arguments);
    PROCESS_INFORMATION process = {};
    ToolRun run;
    if (CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                       &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &run.code);
        else
            TerminateProcess(process.hProcess, 99);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
    run.out = ReadFileBytes(streams / "out");
    run.err = ReadFileBytes(streams / "err");
    return run;
}


void ResealIfSealed(const std::string& medium)
{
    if (!PathExists(medium + "\\manifest.crc"))
        return;
    const ToolRun run = RunMedium("seal \"" + medium + "\"");
    if (run.code != 0)
        throw std::runtime_error("medium seal failed: " + run.out + run.err);
}
