// The installation log that an administrator asks for with /log=. Portable.
// A log that cannot be written is dropped quietly: it never stops or
// changes the installation.
#pragma once

#include <string>

// Opens path for appending (created if missing). A path whose folder does
// not exist yet gathers the lines in memory and writes them all as soon as
// the folder is there (the run may be about to make it). False, and no
// log, when it cannot be opened otherwise.
bool OpenRunLog(const char* path);

// Appends one line (UTF-8 text: paths are, and Windows-1252 texts are
// converted by the caller; CR LF on disk) and flushes it, so a
// run that ends abruptly leaves every line written so far. Does nothing
// without a log; a failed write closes the log.
void LogLine(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Open, or waiting for its folder.
bool RunLogIsOpen();
// The path of the open log; empty without one.
const std::string& RunLogPath();
void CloseRunLog();

// The last line of every run, "Exit code N", then the close. Returns
// exitCode, for the caller to end the run with.
int EndRunLog(int exitCode);

// Current local time in strftime's format, by default "YYYY-MM-DD HH:MM:SS".
std::string LocalTimeText(const char* format = "%Y-%m-%d %H:%M:%S");
