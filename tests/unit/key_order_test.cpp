#include "wordlist/key_order.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fake_shell.h"
#include "shell/collation.h"
#include "shell/setup_state.h"
#include "support/files.h"
#include "support/word_lists.h"

namespace {

std::unique_ptr<WordList> ListOfKeys(const std::vector<std::string>& keys)
{
    ScratchFolder dir;
    std::vector<KeyValue> records;
    for (size_t i = 0; i < keys.size(); ++i)
        records.emplace_back(keys[i], std::to_string(i));
    WriteFileBytes(dir / "list.wb", ListBytes(records));
    FILE* file = std::fopen((dir / "list.wb").c_str(), "rb");
    std::unique_ptr<WordList> list = LoadWordList(file, CountWordRecords(file));
    std::fclose(file);
    return list;
}

TEST(SortWordList, CollationThenBytesThenPosition)
{
    ResetFakeShell();
    setup.verbose = 0;
    const char* stems[] = {"chat", "Chat", "CHAT", "chien", "co-op", "coop", "l'eau", "leau", "\xE9t\xE9",
                           "\xC9t\xE9", "zoo", "Zoo", "a", "", " ", "cat ", "cat", "abc\xFF", "abc"};
    struct Case {
        const char* what;
        std::vector<std::string> keys;
    } cases[] = {
        {"empty", {}},
        {"one", {"chat"}},
        {"case variants around byte-equal keys", {"chat", "Chat", "chat", "CHAT", "chat"}},
        {"mixed", {}},
    };
    for (int i = 0; i < 6000; ++i)
        cases[3].keys.push_back(std::string(stems[(i * 31) % 19]) + (i % 5 == 0 ? std::to_string(i % 7) : ""));
    for (const Case& c : cases) {
        std::unique_ptr<WordList> list = ListOfKeys(c.keys);
        ASSERT_NE(list, nullptr);
        SortWordList(*list);
        EXPECT_EQ(list->entries, SortedPositions(c.keys, CompareCollated)) << c.what;
        std::unique_ptr<WordList> plain = ListOfKeys(c.keys);
        SortWordListComparingTexts(*plain);
        EXPECT_EQ(plain->entries, list->entries) << c.what;
        // The records themselves never move.
        for (size_t p = 0; p < c.keys.size(); ++p)
            ASSERT_STREQ(list->RecordAt(static_cast<uint32_t>(p)).key, c.keys[p].c_str());
    }
}

TEST(SortWordList, CountsComparisonsOnlyInVerboseMode)
{
    ResetFakeShell();
    std::vector<std::string> keys;
    for (int i = 0; i < 2000; ++i)
        keys.push_back("w" + std::to_string((i * 7919) % 2000));
    std::unique_ptr<WordList> list = ListOfKeys(keys);
    fakeShell.counters.clear();

    setup.verbose = 0;
    comparisonCount = 5;
    SortWordList(*list);
    EXPECT_EQ(comparisonCount, 5);
    EXPECT_TRUE(fakeShell.counters.empty());

    setup.verbose = 1;
    comparisonCount = INT32_MAX - 1500;
    SortWordList(*list);
    // Past the largest count it starts again from 0 instead of going negative.
    ASSERT_GE(fakeShell.counters.size(), 2u);
    for (int value : fakeShell.counters)
        EXPECT_TRUE(value >= 0 && value % 1000 == 0) << value;
    EXPECT_EQ(fakeShell.counters.front(), INT32_MAX - INT32_MAX % 1000);
    EXPECT_EQ(fakeShell.counters[1], 0);
    EXPECT_GE(comparisonCount, 0);
}

}  // namespace
