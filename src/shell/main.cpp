// setup.exe: the full-screen setup program of the dictionary.
//
// Subsystems, and who may call whom:
//   shell/      the setup state, start-up, FatalError, the main window and
//               directory chooser, the installation run, all drawing. The
//               upper layer (main.cpp, main_window.cpp, install_run.cpp) is
//               the only caller of the three subsystems below.
//   script/     the install commands of install.inf and the program-menu
//               shortcut.
//   wordlist/   the 84-byte word list format, the reverse list builder and
//               the driver over langue.cf (which writes catalogue lines).
//   catalogue/  dict.ini: creation, language lines, count and sort.
// Every subsystem may use the lower layer of shell/ (setup_state.h,
// fatal_error.h, message_box.h, progress_display.h, text_file.h,
// window_globals.h) and wordlist/collation.h.
#include <windows.h>

#include "shell/main_window.h"
#include "shell/screen_drawing.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/window_globals.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    ResetSetupState();
    windowGlobals.instance = instance;
    windowGlobals.headingFont = CreateHeadingFont();
    DWORD length = GetCurrentDirectoryA(sizeof setup.sourceDir, setup.sourceDir);
    if (length == 0 || length >= sizeof setup.sourceDir)
        CopyText(setup.sourceDir, sizeof setup.sourceDir, ".");  // too long to hold: stay relative
    ReadStartupKeys();
    setup.headingY = 100;
    setup.progressY = 155;
    setup.createShortcut = 0;
    setup.buildWordLists = 0;
    return RunMainWindow(showCommand);
}
