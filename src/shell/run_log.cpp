#include "shell/run_log.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "shell/text_file.h"

namespace {

FILE* logFile;

}  // namespace

bool OpenRunLog(const char* path)
{
    CloseRunLog();
    logFile = std::fopen(path, "ab");
    return logFile != nullptr;
}

void LogLine(const char* format, ...)
{
    if (!logFile)
        return;
    // Lines name paths and message texts: 2 KiB holds the longest of them;
    // a longer one is cut, never overrun.
    char line[2048];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    if (length < 0)
        return;
    if (!WriteText(logFile, line) || !WriteText(logFile, "\n") || !FlushFile(logFile))
        CloseRunLog();
}

bool RunLogIsOpen()
{
    return logFile != nullptr;
}

void CloseRunLog()
{
    if (logFile)
        std::fclose(logFile);
    logFile = nullptr;
}

int EndRunLog(int exitCode)
{
    LogLine("Exit code %d", exitCode);
    CloseRunLog();
    return exitCode;
}

std::string LocalTimeText(const char* format)
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    char text[32] = "";
    if (local)
        std::strftime(text, sizeof text, format, local);
    return text;
}
