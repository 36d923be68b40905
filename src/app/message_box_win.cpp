#include <windows.h>

#include "app/window_globals.h"
#include "shell/message_box.h"
#include "shell/run_log.h"
#include "shell/run_mode.h"
#include "shell/wide_text.h"
#include "shell/windows1252.h"

void ShowMessageBox(BoxOwner owner, const char* text, const char* caption, BoxIcon icon)
{
    LogLine("Message \"%s\": %s", Windows1252ToUtf8(caption).c_str(), Windows1252ToUtf8(text).c_str());
    // Nobody is there to close it.
    if (Unattended())
        return;
    UINT style = MB_OK;
    if (icon == BoxIcon::Error)
        style |= MB_ICONERROR;
    else if (icon == BoxIcon::Warning)
        style |= MB_ICONWARNING;
    HWND ownerWindow = owner == BoxOwner::MainWindow ? windowGlobals.mainWindow : nullptr;
    MessageBoxW(ownerWindow, WidenText(text).c_str(), WidenText(caption).c_str(), style);
}
