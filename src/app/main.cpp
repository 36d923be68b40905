// setup.exe: the full-screen setup program of the dictionary.
//
// Subsystems, and who may call whom:
//   app/        the upper layer: start-up (this file), the main window and
//               directory chooser, its drawing, boxes and progress display,
//               the installation run, the uninstallation and the entry in
//               the list of installed programs. The only caller of the
//               three subsystems below.
//   script/     the install commands of install.inf and the program-menu
//               shortcut.
//   wordlist/   the 84-byte word list format, the reverse list builder and
//               the driver over langue.cf (which writes catalogue lines).
//   catalogue/  dict.ini: creation, language lines, count and sort.
//   shell/      the lower layer that every folder may use: the setup state,
//               the log, text and file helpers, the French collation, and
//               the headers through which the window is reached (FatalError,
//               message boxes, the progress display, the window seam).
// No subsystem includes app/, and shell/ includes only shell/.
#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/run_journal.h"
#include "app/screen_drawing.h"
#include "app/uninstall_run.h"
#include "app/window_globals.h"
#include "script/sealed_medium.h"
#include "shell/fatal_error.h"
#include "shell/install_record.h"
#include "shell/run_log.h"
#include "shell/run_mode.h"
#include "shell/setup_state.h"
#include "shell/text_file.h"
#include "shell/wide_text.h"
#include "shell/windows1252.h"

namespace {

// A setup program runs from folders that others can write (a download
// folder, a copied medium): a DLL there named like one the system loads on
// demand must never be loaded. The search is kept to the system folder where
// the system can say so (looked up, as older systems lack it), and otherwise
// at least leaves out the current directory.
void RestrictDllSearch()
{
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    FARPROC found = kernel ? GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    auto setDefaultDllDirectories = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void (*)()>(found));
    if (!setDefaultDllDirectories || !setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        SetDllDirectoryW(L"");
}

const char kOptionsHelp[] =
    "setup.exe [/silent | /verysilent] [/dir=R\xE9pertoire] [/log=Fichier]\n"
    "setup.exe /uninstall=R\xE9pertoire [/product=Nom] [/silent | /verysilent] [/log=Fichier]\n\n"
    "/silent\tinstalle aussit\xF4t, sans attendre l'utilisateur ni afficher de message\n"
    "/verysilent\tcomme /silent, sans aucune fen\xEAtre\n"
    "/dir=R\xE9pertoire\tle r\xE9pertoire d'installation propos\xE9\n"
    "/log=Fichier\tajoute le compte rendu de l'installation \xE0 ce fichier\n"
    "/uninstall=R\xE9pertoire\td\xE9sinstalle ce qui a \xE9t\xE9 install\xE9 dans ce r\xE9pertoire\n"
    "/product=Nom\tn'en d\xE9sinstalle que ce produit\n\n"
    "Codes de sortie : 0 install\xE9, 1 erreur, 2 r\xE9pertoire refus\xE9,\n"
    "3 d\xE9sinstallation inachev\xE9" "e (\xE0 relancer), 4 option refus\xE9" "e.";

// What the box and the log say of a refused argument. The box sets the
// argument in guillemets so that an empty one or one with blanks shows.
struct RefusalTexts {
    Refusal refusal;
    const char* box;  // Windows-1252
    const char* log;
};
constexpr RefusalTexts kRefusalTexts[] = {
    {Refusal::Unknown, "Option inconnue", "unknown option"},
    {Refusal::NoValue, "Option sans valeur", "needs a value"},
    {Refusal::BadValue, "Valeur incorrecte", "wrong value"},
};

const RefusalTexts& TextsOf(Refusal refusal)
{
    for (const RefusalTexts& texts : kRefusalTexts)
        if (texts.refusal == refusal)
            return texts;
    return kRefusalTexts[0];
}

// The log is named from the directory the program starts in; the run moves
// the current directory later.
void OpenLogOfOptions(const CommandLine& options, const char* arguments)
{
    if (options.logPath.empty())
        return;
    const std::wstring full = FullWidePath(options.logPath.c_str());
    if (full.empty() || !OpenRunLog(Utf8Path(full).c_str()))
        return;
    LogLine("==== %s started %s", options.uninstall ? "Uninstallation" : "Installation",
            LocalTimeText().c_str());
    LogLine("Options: %s", arguments);
}

// The program's own file name, and its folder.
bool ProgramPath(std::string& folder, std::string& name)
{
    const std::string full = ProgramFilePath();
    if (full.empty())
        return false;
    const size_t separator = full.find_last_of('\\');
    folder = full.substr(0, separator == std::string::npos ? 0 : separator);
    name = full.substr(separator == std::string::npos ? 0 : separator + 1);
    return true;
}

// The directory an uninstallation works on, by its full name: the one
// given, or the uninstaller's own folder.
bool UninstallDir(const CommandLine& options, std::string& dir)
{
    std::string folder, name;
    if (options.uninstallDir.empty())
        return ProgramPath(dir, name);
    dir = Utf8Path(FullWidePath(options.uninstallDir.c_str()));
    if (dir.empty())
        return false;
    // "c:\dico\" names the folder that "c:\dico" does; a drive's root keeps its separator.
    if (dir.size() > 3 && dir.back() == '\\')
        dir.pop_back();
    return true;
}

// The text after the program's name, in UTF-8: the narrow one that WinMain
// receives has lost every character outside the system's code page. The
// name ends at the first blank outside quotes, as the C runtime reads it.
std::string ArgumentsText()
{
    const wchar_t* text = GetCommandLineW();
    for (bool quoted = false; *text && (quoted || (*text != L' ' && *text != L'\t')); ++text)
        quoted ^= *text == L'"';
    while (*text == L' ' || *text == L'\t')
        ++text;
    return Utf8Path(text);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    // Before anything may load a DLL on demand.
    RestrictDllSearch();
    const std::string argumentsText = ArgumentsText();
    const char* arguments = argumentsText.c_str();
    CommandLine options = ParseCommandLine(arguments);
    // The uninstaller started without options (from the folder, say) does
    // what it is there for.
    std::string ownFolder, ownName;
    if (!options.uninstall && ProgramPath(ownFolder, ownName) &&
        lstrcmpiW(WidePath(ownName.c_str()).c_str(), WidePath(kUninstallerFile).c_str()) == 0)
        options.uninstall = true;
    runMode = options.verySilent ? RunMode::VerySilent
              : options.silent   ? RunMode::Silent
                                 : RunMode::Attended;
    // A refused argument may be a misspelt /silent or a lost value: nothing
    // is done, not even the undoing of a stopped run.
    if (options.refusal != Refusal::None) {
        const RefusalTexts& texts = TextsOf(options.refusal);
        OpenLogOfOptions(options, arguments);
        LogLine("Options: refused \"%s\" (%s)", options.refused.c_str(), texts.log);
        if (!options.silent) {
            const std::wstring text = WidenText(texts.box) + L" : \u00AB\u00A0" + WidePath(options.refused.c_str()) +
                                      L"\u00A0\u00BB\n\n" + WidenText(kOptionsHelp);
            MessageBoxW(nullptr, text.c_str(), L"Installation", MB_OK | MB_ICONEXCLAMATION);
        }
        return EndRunLog(4);
    }
    if (options.help) {
        if (!options.verySilent)
            MessageBoxW(nullptr, WidenText(kOptionsHelp).c_str(), L"Installation", MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (options.finish) {
        std::string dir;
        return UninstallDir(options, dir)
                   ? FinishUninstallation(dir.c_str(), reinterpret_cast<HANDLE>(options.finishHandle))
                   : 1;
    }
    OpenLogOfOptions(options, arguments);
    // A killed installation is undone before anything else.
    RecoverInterruptedRuns();

    ResetSetupState();
    windowGlobals.instance = instance;
    windowGlobals.headingFont = CreateHeadingFont();
    const int shownAs = options.verySilent ? SW_HIDE : showCommand;
    if (options.uninstall) {
        std::string dir;
        if (!UninstallDir(options, dir))
            FatalError("Can't open DESINSTAL.DAT");
        // Product names are Windows-1252, as install.inf gives them.
        std::string product;
        Utf8ToWindows1252(options.product, product);
        return EndRunLog(RunUninstallation(dir.c_str(), product, shownAs));
    }
    if (!JoinPath(setup.sourceDir, {CurrentDirectoryPath().c_str()}) || setup.sourceDir[0] == '\0')
        CopyText(setup.sourceDir, sizeof setup.sourceDir, ".");  // too long to hold: stay relative
    LogLine("Source directory: %s", setup.sourceDir);
    // A damaged medium is refused before the first line of install.inf counts.
    OpenSealedMedium(setup.sourceDir);
    CheckWholeMediumFile(PathInDir(setup.sourceDir, "install.inf").c_str());
    ReadStartupKeys();
    return EndRunLog(RunMainWindow(shownAs, options.hasDir ? options.dir.c_str() : nullptr,
                                   options.silent));
}
