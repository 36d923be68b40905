// Word lists as text: export and import are each other's inverse on every
// well-formed list, and an import refuses bad text line by line, writing
// nothing.
#include "word_list_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/word_lists.h"
#include "word_list_text.h"

namespace {

std::string Repeat(const std::string& text, int times)
{
    std::string out;
    while (times-- > 0)
        out += text;
    return out;
}

struct Output {
    int code;
    std::string out, err;
};

std::string Drained(FILE* file)
{
    std::string text;
    std::rewind(file);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    std::fclose(file);
    return text;
}

Output Export(const std::string& path)
{
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    const int code = ExportWordList(path, out, err);
    return {code, Drained(out), Drained(err)};
}

Output Import(const std::string& textPath, const std::string& listPath)
{
    FILE* err = std::tmpfile();
    const int code = ImportWordList(textPath, listPath, err);
    return {code, "", Drained(err)};
}

Output Describe(const std::string& path)
{
    FILE* out = std::tmpfile();
    const int code = DescribeWordList(path, out);
    return {code, Drained(out), ""};
}

// The list's bytes exported, and the text imported again.
std::string RoundTrip(const std::string& list, std::string* text = nullptr)
{
    ScratchFolder dir;
    WriteFileBytes((dir / "in.wb"), list);
    const Output exported = Export((dir / "in.wb"));
    EXPECT_EQ(exported.code, 0) << exported.err;
    WriteFileBytes((dir / "list.txt"), exported.out);
    const Output imported = Import((dir / "list.txt"), (dir / "out.wb"));
    EXPECT_EQ(imported.code, 0) << imported.err;
    if (text)
        *text = exported.out;
    return PathExists((dir / "out.wb")) ? ReadFileBytes((dir / "out.wb")) : "<none>";
}

TEST(WordListText, TheSampleListsComeBackByteForByte)
{
    for (const char* name : {"anglais.wb", "allemand.wb"}) {
        const std::string list = ReadFileBytes(std::string(SAMPLE_MEDIUM_DIR) + "/langue/" + name);
        std::string text;
        EXPECT_TRUE(RoundTrip(list, &text) == list) << name;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(list.size() / 84)) << name;
    }
}

// Bytes 1 to 255 in keys of 30 and values of 50, and the escapes' own
// characters at the ends of fields.
std::vector<KeyValue> EveryByteRecords()
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    std::vector<KeyValue> records;
    for (size_t at = 0; at < all.size(); at += 30)
        records.emplace_back(all.substr(at, 30), all.substr((at * 2) % all.size(), 50));
    records.emplace_back("\\", "\t");
    records.emplace_back("\n\\x41", "\\");
    records.emplace_back(std::string(30, '\xFF'), std::string(50, '\x81'));
    records.emplace_back("vide", "");
    return records;
}

TEST(WordListText, EveryByteValueComesBack)
{
    const std::vector<KeyValue> records = EveryByteRecords();
    const std::string list = ListBytes(records);
    std::string text;
    EXPECT_TRUE(RoundTrip(list, &text) == list);
    // One line a record, in UTF-8: no raw control byte but the tab and line feed.
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(records.size()));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\t'), static_cast<long>(records.size()));
    for (char c : text)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n' || c == '\t') << int(c);
}

TEST(WordListText, ExportWritesCharactersInUtf8AndEscapesTheRest)
{
    struct Case {
        std::string key, value, line;
    } cases[] = {
        {"caf\xE9", "\x80 \x9C", "caf\xC3\xA9\t\xE2\x82\xAC \xC5\x93\n"},
        {"a\tb", "c\nd", "a\\tb\tc\\nd\n"},
        {"back\\slash", "\x81\x8D\x8F\x90\x9D", "back\\\\slash\t\\x81\\x8D\\x8F\\x90\\x9D\n"},
        {"\x01\x1F\x7F", "\r", "\\x01\\x1F\\x7F\t\\x0D\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportLine(c.key, c.value), c.line) << c.key;
}

TEST(WordListText, ImportRefusesBadLinesWithTheirNumbersAndWritesNothing)
{
    const std::string good = "cat\tchat\n";
    struct Case {
        const char* fault;
        std::string text;
        int line;
        const char* says;
    } cases[] = {
        {"key of 31 bytes", good + std::string(31, 'k') + "\tv\n", 2, "key of 31 bytes"},
        {"key of 31 once escaped", good + good + "\\x41" + std::string(30, 'k') + "\tv\n", 3, "key of 31"},
        {"value of 51 bytes", std::string("k\t") + std::string(51, 'v') + "\n" + good, 1, "value of 51 bytes"},
        {"value of 51 characters in two-byte UTF-8", good + "k\t" + Repeat("\xC3\xA9", 51) + "\n", 2,
         "value of 51"},
        {"empty key", good + "\tchat\n", 2, "empty key"},
        {"empty line", good + "\n" + good, 2, "no tab"},
        {"no tab", good + "cat chat\n", 2, "no tab"},
        {"two tabs", good + "cat\tchat\tchien\n", 2, "more than one tab"},
        {"lone continuation byte", good + "c\x80t\tchat\n", 2, "not UTF-8"},
        {"cut-short sequence at the end", good + "cat\tch\xC3", 2, "not UTF-8"},
        {"overlong encoding", good + "cat\t\xC0\xAF\n", 2, "not UTF-8"},
        {"encoded surrogate", good + "cat\t\xED\xA0\x80\n", 2, "not UTF-8"},
        {"Windows-1252 byte as it is", good + "caf\xE9\tcaf\xE9\n", 2, "not UTF-8"},
        {"character beyond Windows-1252", good + "cat\t\xC4\x80\n", 2, "U+0100"},
        {"emoji", good + "cat\t\xF0\x9F\x98\x80\n", 2, "U+1F600"},
        {"escaped zero byte", good + "cat\tch\\x00at\n", 2, "zero byte"},
        {"raw zero byte", good + std::string("cat\tch\0at\n", 10), 2, "U+0000"},
        {"unknown escape", good + "cat\t\\q\n", 2, "backslash"},
        {"cut-short escape", good + "cat\t\\x4\n", 2, "backslash"},
        {"backslash at the end", good + "cat\tchat\\\n", 2, "backslash"},
        {"empty line in the middle, CR LF", good + "\r\n" + good + "\r\n", 2, "no tab"},
        {"byte order mark after the start", good + "\xEF\xBB\xBF" + good, 2, "U+FEFF"},
        {"second byte order mark", "\xEF\xBB\xBF\xEF\xBB\xBF" + good, 1, "U+FEFF"},
        {"blanks on the last line", good + " \n\n", 2, "no tab"},
        {"carriage return alone at the end", good + "\r", 2, "no tab"},
    };
    for (const Case& c : cases) {
        ScratchFolder dir;
        WriteFileBytes((dir / "list.txt"), c.text);
        WriteFileBytes((dir / "kept.wb"), "earlier list");
        const Output kept = Import((dir / "list.txt"), (dir / "kept.wb"));
        const Output none = Import((dir / "list.txt"), (dir / "new.wb"));
        EXPECT_EQ(kept.code, 1) << c.fault;
        EXPECT_EQ(ReadFileBytes((dir / "kept.wb")), "earlier list") << c.fault;
        EXPECT_FALSE(PathExists((dir / "new.wb"))) << c.fault;
        const std::string where = (dir / "list.txt") + ":" + std::to_string(c.line) + ": error: ";
        EXPECT_EQ(none.err.rfind(where, 0), 0u) << c.fault << ": " << none.err;
        EXPECT_NE(none.err.find(c.says), std::string::npos) << c.fault << ": " << none.err;
    }
}

TEST(WordListText, ImportTakesCrLfLinesAndEveryBadLineIsTold)
{
    std::string list;
    std::vector<TextFault> faults;
    EXPECT_TRUE(ImportText("cat\tchat\r\ndog\tchien\r\n", list, faults));
    EXPECT_TRUE(list == ListBytes({{"cat", "chat"}, {"dog", "chien"}}));
    EXPECT_FALSE(ImportText("a\tb\nno tab\nc\td\n\t\n", list, faults));
    ASSERT_EQ(faults.size(), 2u);
    EXPECT_EQ(faults[0].line, 2);
    EXPECT_EQ(faults[1].line, 4);
    EXPECT_TRUE(list.empty());
}

TEST(WordListText, ImportTakesWhatEditorsAddAroundTheText)
{
    const std::string list = ListBytes(EveryByteRecords());
    std::string text;
    std::vector<TextFault> faults;
    ASSERT_TRUE(ExportText(list, text, faults));
    std::string crLf;
    for (char c : text)
        crLf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string& edited : {text, bom + text, text + "\n", text + "\r\n\n\r\n", crLf + "\r\n",
                                      bom + crLf + "\n\n", text.substr(0, text.size() - 1)}) {
        SCOPED_TRACE(edited.substr(edited.size() - 8));
        std::string imported;
        EXPECT_TRUE(ImportText(edited, imported, faults)) << (faults.empty() ? "" : faults[0].text);
        EXPECT_TRUE(imported == list);
    }
    std::string empty;
    for (const char* nothing : {"", "\xEF\xBB\xBF", "\n\r\n"}) {
        EXPECT_TRUE(ImportText(nothing, empty, faults)) << nothing;
        EXPECT_TRUE(empty.empty()) << nothing;
    }
}

TEST(WordListText, ExportRefusesWhatTheTextCannotCarryAndWritesNothing)
{
    const std::string good = RecordBytes("cat", "chat");
    const auto with = [&good](size_t at, const std::string& bytes) {
        std::string record = good;
        return record.replace(at, bytes.size(), bytes);
    };
    struct Case {
        const char* fault;
        std::string list;
        std::vector<std::pair<int, const char*>> says;  // record, text
    } cases[] = {
        {"no zero byte in the value, and bytes after the last record",
         with(31, std::string(51, 'v')) + "xy", {{1, "the value has no zero byte"}, {2, "2 bytes after the last"}}},
        {"no zero byte in the key", good + with(0, std::string(31, 'k')), {{2, "the key has no zero byte"}}},
        {"empty key", good + good + RecordBytes("", "chat"), {{3, "empty key"}}},
        {"a byte after the key's end", with(4, "x") + good, {{1, "after the end of the key"}}},
        {"a byte after the value's end", good + with(81, "x"), {{2, "after the end of the value"}}},
        {"reserved bytes", with(83, "\x01"), {{1, "last two bytes"}}},
        {"less than a record", "xy", {{1, "2 bytes after the last whole record"}}},
        {"every record told", RecordBytes("", "chat") + good + with(82, "\x01"),
         {{1, "empty key"}, {3, "last two bytes"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        ScratchFolder dir;
        const std::string path = dir / "broken.wb";
        WriteFileBytes(path, c.list);
        const Output exported = Export(path);
        EXPECT_EQ(exported.code, 1);
        EXPECT_EQ(exported.out, "");
        size_t at = 0;
        for (const auto& [record, says] : c.says) {
            const std::string where = path + ":" + std::to_string(record) + ": error: ";
            EXPECT_EQ(exported.err.compare(at, where.size(), where), 0) << exported.err;
            EXPECT_NE(exported.err.find(says, at), std::string::npos) << exported.err;
            at = exported.err.find('\n', at) + 1;
        }
        EXPECT_EQ(exported.err.substr(at), path + ": nothing exported\n");
    }
    ScratchFolder dir;
    EXPECT_EQ(Export((dir / "absent.wb")).code, 2);
}

TEST(WordListInfo, CountsLengthsWordsAndFaults)
{
    ScratchFolder dir;
    WriteFileBytes((dir / "l.wb"), ListBytes({{"cat", "chat"}, {"house", "maison, demeure,logis"}, {"a", ","}}));
    const Output info = Describe((dir / "l.wb"));
    EXPECT_EQ(info.code, 0);
    EXPECT_EQ(info.out,
              "records: 3\n"
              "longest key: 5 characters \"house\"\n"
              "longest value: 21 characters \"maison, demeure,logis\"\n"
              "words per value: 0 to 3, 1.33 on average\n" +
                  (dir / "l.wb") +
                  ":3: warning: the value holds no word: the record gives nothing to the TO list\n"
                  "0 errors, 1 warning\n");
}

TEST(WordListReverse, NeedsTheFrenchCollationOfWindows)
{
    ScratchFolder dir;
    WriteFileBytes((dir / "from.wb"), ListBytes({{"cat", "chat"}}));
    FILE* err = std::tmpfile();
    EXPECT_EQ(ReverseWordList((dir / "from.wb"), (dir / "to.wb"), err), 2);
    EXPECT_NE(Drained(err).find("medium.exe"), std::string::npos);
    EXPECT_FALSE(PathExists((dir / "to.wb")));
}

}  // namespace
