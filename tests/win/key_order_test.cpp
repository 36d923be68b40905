#include "wordlist/key_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "french_words.h"
#include "shell/collation.h"
#include "shell/setup_state.h"
#include "support/files.h"
#include "support/word_lists.h"

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

int CompareKeys(const std::string& a, const std::string& b)
{
    int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (order != 0)
        return Sign(order);
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

TEST(CollationSortKey, OrdersAsCompareStringADoes)
{
    ASSERT_TRUE(SetFrenchCollation());
    const std::vector<std::string> words = ManyFrenchWords();
    ASSERT_GT(words.size(), 2500u);
    std::vector<std::string> keys(words.size());
    for (size_t i = 0; i < words.size(); ++i)
        ASSERT_TRUE(CollationSortKey(words[i].c_str(), keys[i])) << words[i];

    // Every pair of the real words, and many pairs of the made ones.
    const size_t real = RealFrenchWords().size();
    long pairs = 0;
    for (size_t i = 0; i < words.size(); ++i) {
        const size_t partners = i < real ? words.size() : 40;
        for (size_t k = 0; k < partners; ++k) {
            size_t j = i < real ? k : (i * 7919 + k * 104729) % words.size();
            ASSERT_EQ(CompareKeys(keys[i], keys[j]), Sign(CompareCollated(words[i].c_str(), words[j].c_str())))
                << "\"" << words[i] << "\" ? \"" << words[j] << "\"";
            ++pairs;
        }
    }
    EXPECT_GT(pairs, 500000);
}

TEST(SortWordList, FrenchOrderThenBytesThenPosition)
{
    ASSERT_TRUE(SetFrenchCollation());
    setup.verbose = 0;
    std::vector<std::string> keys = ManyFrenchWords();
    // Byte-equal keys several times, far apart.
    const size_t made = keys.size();
    for (size_t i = 0; i < made; i += 3)
        keys.push_back(keys[(i * 31) % made]);

    std::vector<KeyValue> records;
    for (size_t i = 0; i < keys.size(); ++i)
        records.emplace_back(keys[i], std::to_string(i));
    ScratchFolder folder;
    WriteFileBytes(folder / "list.wb", ListBytes(records));
    FILE* in = std::fopen((folder / "list.wb").c_str(), "rb");
    std::unique_ptr<WordList> list = LoadWordList(in, CountWordRecords(in));
    std::fclose(in);
    ASSERT_NE(list, nullptr);

    SortWordList(*list);

    const std::vector<uint32_t> expected = SortedPositions(keys, CompareCollated);
    EXPECT_EQ(list->entries, expected);

    // The sort that needs no memory gives the same order.
    std::reverse(list->entries.begin(), list->entries.end());
    SortWordListComparingTexts(*list);
    EXPECT_EQ(list->entries, expected);
}

TEST(SortWordList, FallbackPutsAccentedLettersAfterZ)
{
    if (FrenchCollationIsSet())
        GTEST_SKIP() << "the French collation was set earlier in this process";
    std::string zoo, ete;
    ASSERT_TRUE(CollationSortKey("Zoo", zoo));
    ASSERT_TRUE(CollationSortKey("\xE9t\xE9", ete));
    EXPECT_LT(CompareKeys(zoo, ete), 0);
    std::string chat, Chat;
    ASSERT_TRUE(CollationSortKey("chat", chat));
    ASSERT_TRUE(CollationSortKey("Chat", Chat));
    EXPECT_EQ(CompareKeys(chat, Chat), 0);
}

}  // namespace
