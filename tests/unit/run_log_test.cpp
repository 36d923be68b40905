#include "shell/run_log.h"

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"

namespace {

TEST(RunLog, AppendsCrLfLinesAndIsDroppedWhenItCannotBeWritten)
{
    ScratchFolder dir;
    const std::string path = dir / "setup.log";
    WriteFileBytes(path, "earlier run\r\n");

    ASSERT_TRUE(OpenRunLog(path.c_str()));
    LogLine("copy %s -> %s: %d bytes", "a.txt", "c:\\dico\\a.txt", 12);
    LogLine("box:\nline two");
    CloseRunLog();
    EXPECT_EQ(ReadFileBytes(path),
              "earlier run\r\ncopy a.txt -> c:\\dico\\a.txt: 12 bytes\r\nbox:\r\nline two\r\n");

    // A folder cannot be opened as a file: no log, and logging is harmless.
    EXPECT_FALSE(OpenRunLog(dir.path().c_str()));
    EXPECT_FALSE(RunLogIsOpen());
    LogLine("nothing %d", 1);

    // A line longer than the buffer is cut, not overrun.
    ASSERT_TRUE(OpenRunLog(path.c_str()));
    LogLine("%s", std::string(5000, 'x').c_str());
    CloseRunLog();
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes.find(std::string(2047, 'x') + "\r\n"), bytes.size() - 2049);

    // A log in a folder the run makes later holds every line from the start,
    // through a close and a reopening as a fatal error does.
    const std::string later = dir / "dico/setup.log";
    ASSERT_TRUE(OpenRunLog(later.c_str()));
    LogLine("first");
    CloseRunLog();
    ASSERT_TRUE(OpenRunLog(later.c_str()));
    LogLine("second");
    MakeFolder(dir / "dico");
    LogLine("third");
    EndRunLog(1);
    // A new log says it is UTF-8; an earlier one, above, got no mark.
    EXPECT_EQ(ReadFileBytes(later), "\xEF\xBB\xBF" "first\r\nsecond\r\nthird\r\nExit code 1\r\n");
}

}  // namespace
