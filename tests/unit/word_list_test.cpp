#include "wordlist/word_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fake_shell.h"
#include "support/files.h"
#include "support/word_lists.h"

namespace {

struct OpenFile {
    explicit OpenFile(const std::string& path, const char* mode) : file(std::fopen(path.c_str(), mode)) {}
    ~OpenFile()
    {
        if (file)
            std::fclose(file);
    }
    FILE* file;
};

TEST(CountWordRecords, WholeRecordsOnly)
{
    struct Case {
        size_t bytes;
        int32_t records;
    } cases[] = {{0, 0}, {83, 0}, {84, 1}, {100, 1}, {167, 1}, {168, 2}, {84 * 250, 250}};
    for (const Case& c : cases) {
        ScratchFolder dir;
        WriteFileBytes(dir / "list.wb", std::string(c.bytes, 'x'));
        OpenFile list(dir / "list.wb", "rb");
        EXPECT_EQ(CountWordRecords(list.file), c.records) << c.bytes << " bytes";
        EXPECT_EQ(std::ftell(list.file), 0);
    }
}

TEST(LoadWordList, ReadsEveryRecordAndDrawsTheCounterEvery100)
{
    struct Case {
        int records;
        std::vector<int> counters;
    } cases[] = {{0, {}}, {1, {0}}, {100, {0}}, {101, {0, 100}}, {250, {0, 100, 200}}, {5000, {}}};
    for (const Case& c : cases) {
        ResetFakeShell();
        ScratchFolder dir;
        std::vector<KeyValue> records;
        for (int i = 0; i < c.records; ++i)
            records.emplace_back("k" + std::to_string(i), "v" + std::to_string(i * 7));
        // A trailing part of a record is not read.
        WriteFileBytes(dir / "list.wb", ListBytes(records) + "tail");
        OpenFile list(dir / "list.wb", "rb");
        std::unique_ptr<WordList> loaded = LoadWordList(list.file, CountWordRecords(list.file));
        ASSERT_NE(loaded, nullptr) << c.records;
        ASSERT_EQ(loaded->Count(), c.records);
        for (int i = 0; i < c.records; ++i) {
            ASSERT_STREQ(loaded->Entry(i).key, records[i].first.c_str());
            ASSERT_STREQ(loaded->Entry(i).value, records[i].second.c_str());
        }
        if (c.records == 5000) {  // 0, 100, ..., 4900 across the storage blocks
            ASSERT_EQ(fakeShell.counters.size(), 50u);
            for (size_t i = 0; i < 50; ++i)
                EXPECT_EQ(fakeShell.counters[i], static_cast<int>(i * 100));
        } else {
            EXPECT_EQ(fakeShell.counters, c.counters) << c.records;
        }
    }
}

TEST(LoadWordList, FieldsWithoutTerminatorsEndAtTheirLastByte)
{
    ScratchFolder dir;
    std::string record(84, '\0');
    for (int i = 0; i < 82; ++i)
        record[i] = static_cast<char>('a' + i % 26);
    WriteFileBytes(dir / "list.wb", record);
    OpenFile list(dir / "list.wb", "rb");
    std::unique_ptr<WordList> loaded = LoadWordList(list.file, CountWordRecords(list.file));
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(std::string(loaded->Entry(0).key), record.substr(0, 30));
    EXPECT_EQ(std::string(loaded->Entry(0).value), record.substr(31, 50));
}

TEST(LoadWordList, AShortReadOrABadCountGivesNoList)
{
    ScratchFolder dir;
    WriteFileBytes(dir / "list.wb", ListBytes({{"a", "b"}, {"c", "d"}}));
    OpenFile list(dir / "list.wb", "rb");
    EXPECT_EQ(LoadWordList(list.file, 3), nullptr);
    EXPECT_EQ(LoadWordList(list.file, -1), nullptr);
    std::unique_ptr<WordList> two = LoadWordList(list.file, 2);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->Count(), 2);
}

TEST(WriteWordRecord, KeepsTheFormatOrDropsTheRecord)
{
    const std::string k30(30, 'k'), k31(31, 'k'), v50(50, 'v'), v51(51, 'v');
    struct Case {
        std::string value, key;
        bool written;
        std::string storedKey;
    } cases[] = {
        {"chat", "cat", true, "cat"},
        {"chat", "   cat", true, "cat"},
        {"chat", "cat ", true, "cat "},
        {"chat", " \tcat", true, "\tcat"},  // only the space is skipped
        {"chat", k30, true, k30},
        {"chat", "     " + k30, true, k30},
        {"chat", k31, false, ""},
        {v50, "cat", true, "cat"},
        {v51, "cat", false, ""},
        {"chat", "    ", true, ""},
        {"", "cat", true, "cat"},
    };
    for (const Case& c : cases) {
        ScratchFolder dir;
        {
            OpenFile out(dir / "temp.wb", "wb");
            WriteWordRecord(out.file, c.value.c_str(), c.key.c_str());
        }
        std::string bytes = ReadFileBytes(dir / "temp.wb");
        if (!c.written) {
            EXPECT_EQ(bytes.size(), 0u) << c.key << " / " << c.value;
            continue;
        }
        ASSERT_EQ(bytes.size(), 84u) << c.key;
        EXPECT_EQ(ParseRecords(bytes), (std::vector<KeyValue>{{c.storedKey, c.value}})) << c.key;
    }
}

}  // namespace
