#include "shell/run_log.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "shell/scoped_handles.h"
#include "shell/text_file.h"

namespace {

ScopedFile logFile;
std::string logPath;

}  // namespace

bool OpenRunLog(const char* path)
{
    CloseRunLog();
    logFile.reset(std::fopen(path, "ab"));
    logPath = logFile ? path : "";
    return static_cast<bool>(logFile);
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
    if (!WriteText(logFile.get(), line) || !WriteText(logFile.get(), "\n") || !FlushFile(logFile.get()))
        CloseRunLog();
}

bool RunLogIsOpen()
{
    return static_cast<bool>(logFile);
}

const std::string& RunLogPath()
{
    return logPath;
}

void CloseRunLog()
{
    logFile.reset();
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
