#include "shell/run_log.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <ctime>

#include "shell/scoped_handles.h"
#include "shell/text_file.h"

namespace {

ScopedFile logFile;
std::string logPath;
// A log named in a folder that does not exist yet (the install folder the
// run is about to make) gathers its lines here until the folder is there.
bool waiting = false;
std::string waitingLines;
constexpr size_t kMaxWaitingBytes = 1u << 20;

// The log is UTF-8, so that it shows every path exactly; a new log begins
// with a byte order mark, which tells Notepad and every Windows editor so.
bool OpenLog(const char* path)
{
    logFile.reset(OpenFile(path, "ab"));
    if (!logFile)
        return false;
    if (std::fseek(logFile.get(), 0, SEEK_END) == 0 && std::ftell(logFile.get()) == 0 &&
        !WriteToFile(logFile.get(), "\xEF\xBB\xBF", 3))
        logFile.reset();
    return static_cast<bool>(logFile);
}

// Writes the lines gathered so far once the log's folder exists.
bool WriteWaitingLines()
{
    if (!OpenLog(logPath.c_str()))
        return false;
    waiting = false;
    const bool written = WriteText(logFile.get(), waitingLines) && FlushFile(logFile.get());
    waitingLines.clear();
    if (!written)
        logFile.reset();
    return written;
}

}  // namespace

bool OpenRunLog(const char* path)
{
    if (!(waiting && logPath == path))
        waitingLines.clear();
    CloseRunLog();
    logPath = path;
    waiting = true;
    if (WriteWaitingLines())
        return true;
    // Still waiting only while the folder is missing.
    waiting = waiting && errno == ENOENT;
    if (!waiting) {
        logPath.clear();
        waitingLines.clear();
    }
    return waiting;
}

void LogLine(const char* format, ...)
{
    if (!logFile && !waiting)
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
    if (waiting) {
        if (waitingLines.size() < kMaxWaitingBytes)
            waitingLines.append(line).append("\n");
        WriteWaitingLines();
        return;
    }
    if (!WriteText(logFile.get(), line) || !WriteText(logFile.get(), "\n") || !FlushFile(logFile.get()))
        CloseRunLog();
}

bool RunLogIsOpen()
{
    return static_cast<bool>(logFile) || waiting;
}

const std::string& RunLogPath()
{
    return logPath;
}

void CloseRunLog()
{
    logFile.reset();
    // A log still waiting for its folder keeps its lines for a reopening.
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
