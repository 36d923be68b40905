// The installation run, started by the Install command of the main window.
// Upper layer.
#pragma once

#include <windows.h>

// Takes the text of the directory field as setup.installDir. 0 when the
// directory exists (file or folder) or could be made one level deep; -1,
// after the "Invalid Directory" box, otherwise.
int ValidateInstallDir(HWND directoryField);

// The whole installation for a command of the Install id: nothing for a
// notification code other than 0, nothing more than the box for a rejected
// directory; otherwise it ends by destroying the main window.
void InstallRun(int notificationCode);
