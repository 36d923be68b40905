// The full-screen main window, its controls and the directory chooser.
// Upper layer.
#pragma once

#include <windows.h>

// Control ids; commands carry them in the low 16 bits of the first parameter.
enum ControlId : int {
    kInstallButtonId = 200,
    kCancelButtonId = 201,
    kChangeButtonId = 202,
    kFrameBoxId = 249,
    kMessageLabelId = 250,
    kDriveLabelId = 251,
    kFolderLabelId = 252,
    kDriveListId = 300,
    kFolderListId = 301,
    kDirectoryFieldId = 350,
};

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

extern MainControls mainControls;

// Registers the class "Installation" and creates the window with its
// controls, shown with the given show command and painted. Null on failure.
HWND CreateMainWindow(int showCommand);

// Creates the window and runs the message loop; returns the code carried by
// the quit message.
int RunMainWindow(int showCommand);

// The paint handling without BeginPaint/EndPaint, so a test can call it on
// a memory drawing context: gradient and shadowed title.
void PaintContent(HDC dc, const RECT& client);
