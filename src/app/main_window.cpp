// The main window: a borderless popup over the whole screen holding the
// directory controls and the directory chooser, and how they look through an
// installation. Its procedure is a short dispatch with one handler per
// message.
#include "app/main_window.h"

#include <objbase.h>

#include <initializer_list>
#include <string>

#include "app/install_run.h"
#include "app/screen_drawing.h"
#include "app/window_globals.h"
#include "shell/scoped_handles.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/wide_text.h"

namespace {

// The controls made with the window; the directory field's handle is in
// windowGlobals, where the install commands find it.
struct MainControls {
    HWND frameBox;
    HWND driveList;
    HWND folderList;
    HWND installButton;
    HWND cancelButton;
    HWND changeButton;
    HWND messageLabel;
    HWND driveLabel;
    HWND folderLabel;
};

MainControls mainControls;

// The edit control's own procedure, under the Enter handler.
WNDPROC directoryFieldOwnProc;

// The frame box carries a static type the system does not define, so the
// control draws nothing inside and only its border shows.
constexpr DWORD kFrameBoxType = 0x16;

// The frame around the directory controls, and the same frame grown down
// around the chooser's lists.
constexpr RECT kFrame = {110, 138, 550, 248};
constexpr RECT kChooserFrame = {110, 138, 550, 458};

void PlaceFrame(const RECT& frame)
{
    MoveWindow(mainControls.frameBox, frame.left, frame.top, frame.right - frame.left,
               frame.bottom - frame.top, TRUE);
}

struct ControlSpec {
    HWND* handle;
    DWORD exStyle;
    const char* className;
    int id;
    const char* text;  // Windows-1252
    DWORD style;
    int x, y, width, height;
};

// No control gets a font, a tab stop or the default-button style: the
// controls draw in the system font and the keyboard never moves between them.
void CreateControls(HWND window)
{
    const DWORD listStyle = WS_CHILD | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT;
    const ControlSpec controls[] = {
        {&mainControls.frameBox, 0, "static", kFrameBoxId, nullptr,
         WS_CHILD | WS_VISIBLE | WS_BORDER | kFrameBoxType, kFrame.left, kFrame.top,
         kFrame.right - kFrame.left, kFrame.bottom - kFrame.top},
        {&windowGlobals.directoryField, WS_EX_CLIENTEDGE, "edit", kDirectoryFieldId,
         nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_LEFT, 120, 170, 420, 25},
        {&mainControls.driveList, WS_EX_CLIENTEDGE, "listbox", kDriveListId, nullptr, listStyle,
         120, 280, 150, 100},
        {&mainControls.folderList, WS_EX_CLIENTEDGE, "listbox", kFolderListId, nullptr,
         listStyle, 280, 280, 260, 180},
        {&mainControls.installButton, 0, "button", kInstallButtonId, "Installer",
         WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 120, 205, 100, 30},
        {&mainControls.cancelButton, 0, "button", kCancelButtonId, "Annuler",
         WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 440, 205, 100, 30},
        {&mainControls.changeButton, 0, "button", kChangeButtonId, "Changer de r\xE9pertoire",
         WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 230, 205, 200, 30},
        {&mainControls.messageLabel, 0, "static", kMessageLabelId,
         "Installer dans le r\xE9pertoire :", WS_CHILD | WS_VISIBLE | SS_LEFT, 120, 148, 420, 22},
        {&mainControls.driveLabel, 0, "static", kDriveLabelId, "Lecteur :", WS_CHILD | SS_LEFT,
         120, 260, 150, 20},
        {&mainControls.folderLabel, 0, "static", kFolderLabelId, "R\xE9pertoire :",
         WS_CHILD | SS_LEFT, 280, 260, 260, 20},
    };
    for (const ControlSpec& control : controls) {
        *control.handle = CreateWindowExW(
            control.exStyle, Widen(control.className, CP_ACP).c_str(),
            control.text ? WidenText(control.text).c_str() : nullptr, control.style, control.x,
            control.y, control.width, control.height, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), windowGlobals.instance,
            nullptr);
    }
    // A path, not a text: UTF-8.
    SetWindowTextW(windowGlobals.directoryField, WidePath(setup.defaultDir).c_str());
}

// Enter in the directory field starts the installation as the "Installer"
// button does; every message then goes on to the edit control.
LRESULT CALLBACK DirectoryFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && wParam == VK_RETURN) {
        SendMessageW(GetParent(field), WM_COMMAND, kInstallButtonId,
                     LOWORD(reinterpret_cast<UINT_PTR>(field)));
        // A run that went through has destroyed the field with the window.
        if (!IsWindow(field))
            return 0;
    }
    return CallWindowProcW(directoryFieldOwnProc, field, message, wParam, lParam);
}

void ShowCurrentDirectory()
{
    SetWindowTextW(windowGlobals.directoryField, WidePath(CurrentDirectoryPath().c_str()).c_str());
}

// Adds the visible folders of the current directory to the folder list,
// which sorts them. "." is left out after a folder choice; ".." always stays,
// as it is the way up.
void ListFolders(bool keepDot)
{
    WIN32_FIND_DATAW entry;
    ScopedFind search(FindFirstFileW(L"*.*", &entry));
    if (!search)
        return;
    do {
        const bool folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const bool hidden = (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
        if (!folder || hidden)
            continue;
        if (!keepDot && lstrcmpW(entry.cFileName, L".") == 0)
            continue;
        SendMessageW(mainControls.folderList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.cFileName));
    } while (FindNextFileW(search.get(), &entry));
}

// The text of the list's selected item; empty when nothing is selected or
// the item is longer than a path.
std::wstring SelectedItem(HWND list)
{
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return std::wstring();
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR || length > kPathLimit)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

void OpenDirectoryChooser()
{
    EnableWindow(mainControls.changeButton, FALSE);
    PlaceFrame(kChooserFrame);
    // The frame paints nothing inside: the window beneath repaints the
    // grown area, or the frame's old lower edge would stay across it.
    RedrawWindow(windowGlobals.mainWindow, &kChooserFrame, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (HWND control : {mainControls.driveList, mainControls.folderList, mainControls.driveLabel,
                         mainControls.folderLabel})
        ShowWindow(control, SW_SHOW);

    wchar_t drives[200];
    const DWORD length = GetLogicalDriveStringsW(200, drives);
    if (length > 0 && length < 200) {
        for (const wchar_t* drive = drives; *drive; drive += lstrlenW(drive) + 1)
            SendMessageW(mainControls.driveList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(drive));
    }

    SetCurrentDirectoryW(L"c:\\");
    ListFolders(true);
    ShowCurrentDirectory();
}

// A drive or folder was chosen: enter it and list its folders ("." only
// after a drive). A drive without a medium leaves the current directory as
// it was; the list and the field then show that directory again.
void EnterChosenItem(HWND list, bool keepDot)
{
    SetCurrentDirectoryW(SelectedItem(list).c_str());
    SendMessageW(mainControls.folderList, LB_RESETCONTENT, 0, 0);
    ListFolders(keepDot);
    ShowCurrentDirectory();
}

LRESULT OnCreate(HWND window)
{
    windowGlobals.mainWindow = window;
    windowGlobals.waitCursor = LoadCursorA(nullptr, IDC_WAIT);
    CreateControls(window);
    directoryFieldOwnProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        windowGlobals.directoryField, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DirectoryFieldProc)));
    // For the program-menu shortcut; left initialised until the process ends.
    CoInitialize(nullptr);
    return 0;
}

LRESULT OnPaint(HWND window)
{
    PaintDc dc(window);
    RECT client;
    GetClientRect(window, &client);
    PaintContent(dc.get(), client);
    return 0;
}

LRESULT OnCommand(HWND window, int id, int code)
{
    switch (id) {
    case kInstallButtonId:
        InstallRun(code);
        break;
    case kCancelButtonId:
        if (code == BN_CLICKED)
            DestroyWindow(window);
        break;
    case kChangeButtonId:
        if (code == BN_CLICKED)
            OpenDirectoryChooser();
        break;
    case kDriveListId:
        if (code == LBN_SELCHANGE)
            EnterChosenItem(mainControls.driveList, true);
        break;
    case kFolderListId:
        if (code == LBN_SELCHANGE)
            EnterChosenItem(mainControls.folderList, false);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT OnDestroy()
{
    // The canvas may still have the font selected: release it first.
    ReleaseProgressDisplay();
    windowGlobals.headingFont.reset();
    windowGlobals.mainWindow = nullptr;
    windowGlobals.directoryField = nullptr;
    mainControls = MainControls{};
    PostQuitMessage(0);
    return 0;
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_PAINT:
        return OnPaint(window);
    case WM_COMMAND:
        return OnCommand(window, LOWORD(wParam), HIWORD(wParam));
    case WM_DESTROY:
        return OnDestroy();
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void RegisterMainWindowClass()
{
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = windowGlobals.instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(windowGlobals.instance, "installicon");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    windowClass.lpszMenuName = L"Installation";
    windowClass.lpszClassName = L"Installation";
    RegisterClassExW(&windowClass);
}

}  // namespace

void ShowCopyDisplay()
{
    // The directory chooser may have enlarged the frame.
    PlaceFrame(kFrame);
    for (HWND control : {mainControls.driveList, mainControls.folderList,
                         mainControls.installButton, mainControls.changeButton,
                         mainControls.driveLabel, mainControls.folderLabel})
        ShowWindow(control, SW_HIDE);
    SetWindowTextW(mainControls.messageLabel, L"Copie des fichiers...");
    // The message loop waits until the run is over: paint now.
    UpdateWindow(windowGlobals.mainWindow);
}

void HideCopyDisplay()
{
    for (HWND control : {mainControls.cancelButton, mainControls.messageLabel,
                         mainControls.frameBox, windowGlobals.directoryField})
        ShowWindow(control, SW_HIDE);
}

void PaintContent(HDC dc, const RECT& client)
{
    PaintBackground(dc, client);
    RECT titleRect = {30, 20, 480, 90};
    DrawShadowedText(dc, setup.title, titleRect);
}

HWND CreateMainWindow(int showCommand, bool withControls)
{
    RegisterMainWindowClass();
    HWND window = CreateWindowExW(0, L"Installation", nullptr,
                                  WS_POPUP | WS_CLIPSIBLINGS | WS_MAXIMIZE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, windowGlobals.instance, nullptr);
    if (!window)
        return nullptr;
    if (!withControls) {
        for (HWND control : {mainControls.frameBox, windowGlobals.directoryField,
                             mainControls.installButton, mainControls.cancelButton,
                             mainControls.changeButton, mainControls.messageLabel})
            ShowWindow(control, SW_HIDE);
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return window;
}

int RunMainWindow(int showCommand, const char* firstDir, bool installAtOnce)
{
    HWND window = CreateMainWindow(showCommand, true);
    if (!window)
        return 1;
    if (firstDir) {
        SetWindowTextW(windowGlobals.directoryField, WidePath(firstDir).c_str());
        UpdateWindow(window);
    }
    if (installAtOnce)
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(kInstallButtonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(mainControls.installButton));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
