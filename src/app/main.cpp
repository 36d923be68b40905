// setup.exe: the full-screen setup program of the dictionary.
//
// Subsystems, and who may call whom:
//   app/        the upper layer: start-up (this file), the main window and
//               directory chooser, the installation run. The only caller of
//               the three subsystems below.
//   script/     the install commands of install.inf and the program-menu
//               shortcut.
//   wordlist/   the 84-byte word list format, the reverse list builder and
//               the driver over langue.cf (which writes catalogue lines).
//   catalogue/  dict.ini: creation, language lines, count and sort.
//   shell/      the lower layer that every folder may use: the setup state,
//               FatalError, message boxes, drawing and the progress display,
//               text and file helpers, the French collation.
// No subsystem includes app/, and shell/ includes only shell/.
#include <windows.h>

#include "app/main_window.h"
#include "shell/screen_drawing.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/window_globals.h"

namespace {

// A setup program runs from folders that others can write (a download
// folder, a copied medium): a DLL there named like one the system loads on
// demand must never be loaded. The search is kept to the system folder where
// the system can say so (looked up, as older systems lack it), and otherwise
// at least leaves out the current directory.
void RestrictDllSearch()
{
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    FARPROC found = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void (*)()>(found));
    if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryA("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // Before anything may load a DLL on demand.
    RestrictDllSearch();
    ResetSetupState();
    windowGlobals.instance = instance;
    windowGlobals.headingFont = CreateHeadingFont();
    DWORD length = GetCurrentDirectoryA(sizeof setup.sourceDir, setup.sourceDir);
    if (length == 0 || length >= sizeof setup.sourceDir)
        CopyText(setup.sourceDir, sizeof setup.sourceDir, ".");  // too long to hold: stay relative
    ReadStartupKeys();
    return RunMainWindow(showCommand);
}
