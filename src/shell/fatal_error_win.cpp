#include <windows.h>

#include "shell/fatal_error.h"
#include "shell/window_globals.h"

void FatalError(const char* message)
{
    // Replaces the wait cursor a language build may be showing.
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    MessageBoxA(windowGlobals.mainWindow, message, "Error", MB_OK | MB_ICONERROR);
    ExitProcess(1);
}
