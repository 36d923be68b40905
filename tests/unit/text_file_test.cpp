#include "shell/text_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "shell/windows1252.h"
#include "support/files.h"

namespace {

std::vector<std::string> FieldsOf(const std::string& line, size_t maxFields)
{
    std::vector<FieldSpan> spans(maxFields);
    size_t count = SplitFields(line, spans.data(), maxFields);
    std::vector<std::string> fields;
    for (size_t i = 0; i < count; ++i)
        fields.push_back(line.substr(spans[i].start, spans[i].length));
    return fields;
}

TEST(SplitFields, CommasSeparateAndNoFieldIsEmpty)
{
    struct Case {
        std::string line;
        size_t maxFields;
        std::vector<std::string> fields;
    } cases[] = {
        {"p1,p2,p3,Italien", 4, {"p1", "p2", "p3", "Italien"}},
        {"p1,p2,p3,Italien\n", 4, {"p1", "p2", "p3", "Italien\n"}},
        {",,a,b,c,d", 4, {"a", "b", "c", "d"}},
        {"a,,b,,,c,Anglais", 4, {"a", "b", "c", "Anglais"}},
        {"a, b, c, Anglais", 4, {"a", " b", " c", " Anglais"}},
        {"a,b,c,Anglais,x", 4, {"a", "b", "c", "Anglais"}},
        {"a,b,c,Anglais,x", 9, {"a", "b", "c", "Anglais", "x"}},
        {"a,b,", 4, {"a", "b"}},
        {",,,", 4, {}},
        {",,,\n", 4, {"\n"}},
        {"", 4, {}},
        {"[langue]\n", 4, {"[langue]\n"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FieldsOf(c.line, c.maxFields), c.fields) << c.line;
}

TEST(CopyText, NeverWritesPastTheBufferAndSaysWhenItCut)
{
    char buf[6];
    EXPECT_TRUE(CopyText(buf, sizeof buf, "abcde"));
    EXPECT_STREQ(buf, "abcde");
    EXPECT_FALSE(CopyText(buf, sizeof buf, "abcdef"));
    EXPECT_STREQ(buf, "abcde");
    EXPECT_TRUE(CopyText(buf, sizeof buf, ""));
    EXPECT_STREQ(buf, "");

    CopyText(buf, sizeof buf, "ab");
    EXPECT_TRUE(AppendText(buf, sizeof buf, "cde"));
    EXPECT_STREQ(buf, "abcde");
    EXPECT_FALSE(AppendText(buf, sizeof buf, "f"));
    EXPECT_STREQ(buf, "abcde");
}

TEST(JoinText, EmptiesTheBufferRatherThanKeepACutPath)
{
    char buf[8];
    EXPECT_TRUE(JoinText(buf, sizeof buf, {"ab", "\\", "cdef"}));
    EXPECT_STREQ(buf, "ab\\cdef");
    EXPECT_FALSE(JoinText(buf, sizeof buf, {"ab", "\\", "cdefg"}));
    EXPECT_STREQ(buf, "");
}

std::vector<std::string> TextLinesOf(const std::string& bytes, size_t bufSize)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "f", bytes);
    FILE* file = OpenTextRead((dir / "f").c_str());
    std::vector<std::string> lines;
    std::vector<char> buf(bufSize);
    while (ReadTextLine(file, buf.data(), buf.size()))
        lines.emplace_back(buf.data());
    std::fclose(file);
    return lines;
}

TEST(ReadTextLine, BehavesLikeTextModeFgets)
{
    struct Case {
        const char* name;
        std::string bytes;
        size_t bufSize;
        std::vector<std::string> lines;
    } cases[] = {
        {"crlf to lf", "a\r\nb\r\n", 10, {"a\n", "b\n"}},
        {"lone cr stays", "a\rb", 10, {"a\rb"}},
        {"cr cr lf", "a\r\r\n", 10, {"a\r\n"}},
        {"limit counted after translation", "abc\r\n", 5, {"abc\n"}},
        {"piece at the limit", "abcdef\n", 4, {"abc", "def", "\n"}},
        {"cr at end of file", "a\r", 10, {"a\r"}},
        {"crlf split by the limit", "ab\r\nc", 3, {"ab", "\n", "c"}},
        {"end-of-file mark ends the file", "a\r\nb\x1A\r\nc\n", 10, {"a\n", "b"}},
        {"cr before the mark stays", "a\r\x1A", 10, {"a\r"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextLinesOf(c.bytes, c.bufSize), c.lines) << c.name;
}

TEST(ReadWholeTextLine, ReadsLinesOfAnyLength)
{
    ScratchFolder dir;
    const std::string longLine(5000, 'q');
    WriteFileBytes(dir / "f", longLine + "\r\nend");
    FILE* file = OpenTextRead((dir / "f").c_str());
    std::string line;
    ASSERT_TRUE(ReadWholeTextLine(file, line));
    EXPECT_EQ(line, longLine + "\n");
    ASSERT_TRUE(ReadWholeTextLine(file, line));
    EXPECT_EQ(line, "end");
    EXPECT_FALSE(ReadWholeTextLine(file, line));
    std::fclose(file);
}

TEST(WriteText, WritesLineEndsAsCrLf)
{
    ScratchFolder dir;
    FILE* file = OpenTextWrite((dir / "f").c_str());
    ASSERT_TRUE(WriteText(file, "a\n\nb"));
    ASSERT_TRUE(WriteText(file, std::string("\xE9\n")));
    ASSERT_TRUE(FlushAndClose(file));
    EXPECT_EQ(ReadFileBytes(dir / "f"), "a\r\n\r\nb\xE9\r\n");
}

TEST(ReplaceFileAtomically, ReplacesOrLeavesTheTargetWhole)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "target", "old");
    WriteFileBytes(dir / "source", "new");
    ASSERT_TRUE(ReplaceFileAtomically((dir / "source").c_str(), (dir / "target").c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "target"), "new");
    EXPECT_FALSE(PathExists(dir / "source"));

    EXPECT_FALSE(ReplaceFileAtomically((dir / "missing").c_str(), (dir / "target").c_str()));
    EXPECT_EQ(ReadFileBytes(dir / "target"), "new");
}

TEST(MoveToNewName, MovesOnlyWhereNothingHasTheName)
{
    struct Case {
        const char* name;
        const char* targetWas;  // nullptr: none; "->" a dangling link
        bool moved;
    } cases[] = {
        {"no target", nullptr, true},
        {"existing target", "old", false},
        {"empty target", "", false},
        {"dangling link", "->", false},
    };
    for (const Case& c : cases) {
        ScratchFolder dir;
        const std::string source = dir / "source", target = dir / "target";
        WriteFileBytes(source, "new");
        if (c.targetWas && std::string(c.targetWas) == "->")
            ASSERT_EQ(symlink("missing/folder/file", target.c_str()), 0);
        else if (c.targetWas)
            WriteFileBytes(target, c.targetWas);

        EXPECT_EQ(MoveToNewName(source.c_str(), target.c_str()), c.moved) << c.name;
        EXPECT_EQ(PathExists(source), !c.moved) << c.name;
        if (c.moved) {
            EXPECT_EQ(ReadFileBytes(target), "new") << c.name;
        } else if (std::string(c.targetWas) != "->") {
            EXPECT_EQ(ReadFileBytes(target), c.targetWas) << c.name;
        }
    }
}

}  // namespace

TEST(Windows1252, EveryByteComesBackThroughUtf8AndPathsCountTheirLetters)
{
    std::string bytes;
    for (int b = 1; b < 256; ++b)
        bytes += static_cast<char>(b);
    const std::string utf8 = Windows1252ToUtf8(bytes);
    std::string back;
    EXPECT_TRUE(IsUtf8(utf8) && Utf8ToWindows1252(utf8, back));
    EXPECT_EQ(back, bytes);  // the five bytes without a character too
    EXPECT_EQ(Windows1252ToUtf8("\x80\xE9\x81"), "\xE2\x82\xAC\xC3\xA9\xC2\x81");
    EXPECT_EQ(PathLength(utf8), 255u);
    EXPECT_EQ(PathLength("\xF0\x9F\x98\x80" "a"), 3u);  // a letter beyond U+FFFF takes two units
    EXPECT_EQ(PathLength("\xFF" "a"), 2u);
}
