// The full-screen main window, its controls, the directory chooser and how
// they look while the install commands run.
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

// Registers the class "Installation" and creates the window with its
// controls, shown with the given show command and painted; without
// controls, only the background and the title show. Null on failure.
HWND CreateMainWindow(int showCommand, bool withControls);

// Creates the window and runs the message loop; returns the code carried by
// the quit message. firstDir, when given, replaces the directory field's
// first text; installAtOnce starts the installation without the user.
int RunMainWindow(int showCommand, const char* firstDir, bool installAtOnce);

// The copy display, while the install commands run: the frame back to its
// small size, the chooser and the other buttons hidden, "Copie des
// fichiers..." over the field, repainted.
void ShowCopyDisplay();

// Leaves only the painted background and title.
void HideCopyDisplay();

// The paint handling without BeginPaint/EndPaint, so a test can call it on
// a memory drawing context: gradient and shadowed title.
void PaintContent(HDC dc, const RECT& client);
