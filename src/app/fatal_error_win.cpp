#include <windows.h>

#include <cstdio>
#include <string>

#include "app/run_journal.h"
#include "app/window_globals.h"
#include "shell/fatal_error.h"
#include "shell/install_record.h"
#include "shell/run_log.h"
#include "shell/run_mode.h"
#include "shell/wide_text.h"
#include "shell/windows1252.h"

namespace {

[[noreturn]] void EndWithError(const std::string& logged, const std::wstring& shown)
{
    LogLine("Fatal error: %s", logged.c_str());
    if (!Unattended()) {
        // Replaces the wait cursor a language build may be showing.
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        MessageBoxW(windowGlobals.mainWindow, shown.c_str(), L"Error", MB_OK | MB_ICONERROR);
    }
    // Once the user has read why, the run's changes are taken back. The
    // files the run still holds open (the language list, a word list)
    // could not be removed: every stream is closed first, the log opened
    // again after.
    const std::string log = RunLogPath();
    CloseRunLog();
    CloseRunJournal();
    _fcloseall();
    if (!log.empty())
        OpenRunLog(log.c_str());
    RollBackRun();
    ExitProcess(EndRunLog(1));
}

}  // namespace

void FatalError(const char* message)
{
    EndWithError(Windows1252ToUtf8(message), WidenText(message));
}

void FatalErrorNaming(const char* message, const char* path)
{
    EndWithError(Windows1252ToUtf8(message) + path, WidenText(message) + WidePath(path));
}
