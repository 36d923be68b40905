#include <windows.h>

#include "app/window_globals.h"
#include "shell/fatal_error.h"
#include "shell/run_log.h"
#include "shell/run_mode.h"

void FatalError(const char* message)
{
    LogLine("Fatal error: %s", message);
    if (!Unattended()) {
        // Replaces the wait cursor a language build may be showing.
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        MessageBoxA(windowGlobals.mainWindow, message, "Error", MB_OK | MB_ICONERROR);
    }
    ExitProcess(EndRunLog(1));
}
