#include "shell/collation.h"

#include <gtest/gtest.h>

namespace {

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(FrenchCollation, OrdersWordsAsTheFrenchDictionaryDoes)
{
    ASSERT_TRUE(SetFrenchCollation());
    ASSERT_TRUE(FrenchCollationIsSet());
    struct Case {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"co-op", "coop", -1},         {"l'eau", "leau", -1},     {"Chat", "chat", 0},
        {"cote", "c\xF4te", -1},       {"c\xF4te", "cot\xE9", -1}, {"cot\xE9", "c\xF4t\xE9", -1},
        {"\xE9t\xE9", "etre", -1},     {"\xE9t\xE9", "f", -1},     {"z", "\xE9t\xE9", 1},
        {"Allemand", "anglais", -1},   {"anglais", "\xC9" "cossais", -1},
        {"\xC9" "cossais", "espagnol", -1}, {"espagnol", "Italien", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sign(CompareCollated(c.a, c.b)), c.order) << c.a << " ? " << c.b;
}

TEST(FoldedBytes, FoldsOnlyAToZAndPutsAccentsAfterZ)
{
    struct Case {
        const char* a;
        const char* b;
        int order;
    } cases[] = {
        {"Chat", "chat", 0}, {"z", "\xE9t\xE9", -1}, {"\xC9", "\xE9", -1}, {"abc", "ABD", -1},
        {"ab", "abc", -1},   {"", "a", -1},          {"[", "a", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Sign(CompareFoldedBytes(c.a, c.b)), c.order) << c.a << " ? " << c.b;
}

}  // namespace
