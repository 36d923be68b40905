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

#include <string>

#include "app/command_line.h"
#include "app/main_window.h"
#include "shell/run_log.h"
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

const char kOptionsHelp[] =
    "setup.exe [/silent | /verysilent] [/dir=R\xE9pertoire] [/log=Fichier]\n\n"
    "/silent\tinstalle aussit\xF4t, sans attendre l'utilisateur ni afficher de message\n"
    "/verysilent\tcomme /silent, sans aucune fen\xEAtre\n"
    "/dir=R\xE9pertoire\tle r\xE9pertoire d'installation propos\xE9\n"
    "/log=Fichier\tajoute le compte rendu de l'installation \xE0 ce fichier\n\n"
    "Codes de sortie : 0 install\xE9, 1 erreur, 2 r\xE9pertoire refus\xE9.";

// The log is named from the directory the program starts in; the run moves
// the current directory later.
void OpenLogOfOptions(const CommandLine& options, const char* arguments)
{
    if (options.logPath.empty())
        return;
    char full[kPathSize];
    const DWORD length = GetFullPathNameA(options.logPath.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full || !OpenRunLog(full))
        return;
    LogLine("==== Installation started %s", LocalTimeText().c_str());
    LogLine("Options: %s", arguments);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int showCommand)
{
    // Before anything may load a DLL on demand.
    RestrictDllSearch();
    const CommandLine options = ParseCommandLine(arguments);
    runMode = options.verySilent ? RunMode::VerySilent
              : options.silent   ? RunMode::Silent
                                 : RunMode::Attended;
    if (options.help) {
        if (!options.verySilent)
            MessageBoxA(nullptr, kOptionsHelp, "Installation", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    OpenLogOfOptions(options, arguments);

    ResetSetupState();
    windowGlobals.instance = instance;
    windowGlobals.headingFont = CreateHeadingFont();
    DWORD length = GetCurrentDirectoryA(sizeof setup.sourceDir, setup.sourceDir);
    if (length == 0 || length >= sizeof setup.sourceDir)
        CopyText(setup.sourceDir, sizeof setup.sourceDir, ".");  // too long to hold: stay relative
    LogLine("Source directory: %s", setup.sourceDir);
    ReadStartupKeys();
    const int exitCode = RunMainWindow(options.verySilent ? SW_HIDE : showCommand,
                                       options.hasDir ? options.dir.c_str() : nullptr,
                                       options.silent);
    LogLine("Exit code %d", exitCode);
    CloseRunLog();
    return exitCode;
}
