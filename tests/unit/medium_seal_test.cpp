#include "script/medium_seal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(MediumSeal, FindsNamesAsWindowsComparesThemWithTheZipCrc)
{
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    std::string text;
    ASSERT_TRUE(WriteSeal({{"install.inf", 12, 1}, {"aide/abr\xC3\xA9viations.txt", 840, 0x12345678}}, text));
    MediumSeal seal;
    ASSERT_TRUE(seal.Parse(text));
    const SealEntry* found = seal.Find("AIDE\\ABR\xC3\x89VIATIONS.TXT");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, "aide\\abr\xC3\xA9viations.txt");
    EXPECT_EQ(found->size, 840u);
    EXPECT_EQ(found->crc, 0x12345678u);
    EXPECT_EQ(seal.Find("install.in"), nullptr);
    EXPECT_EQ(seal.Find("aide"), nullptr);
    // A name that is no UTF-8: the letter after a lone C3 still folds.
    EXPECT_EQ(SealKey("abr\xC3vviations"), SealKey("ABR\xC3VVIATIONS"));

    // Any damage is refused: every single bit flipped, a cut, a tail.
    std::vector<std::string> damaged = {"", text.substr(0, text.size() - 3), text.substr(0, text.find("end ")),
                                        text + "x", text + std::string(16, '\0')};
    for (size_t i = 0; i < text.size(); ++i)
        for (int bit = 0; bit < 8; ++bit)
            damaged.push_back(text.substr(0, i) + static_cast<char>(text[i] ^ (1 << bit)) + text.substr(i + 1));
    for (const std::string& bytes : damaged) {
        MediumSeal refused;
        EXPECT_FALSE(refused.Parse(bytes)) << bytes;
        EXPECT_TRUE(refused.entries().empty());
    }
}

TEST(MediumSeal, NamesThatCannotBeReadBackAreNotWritten)
{
    for (const char* name : {"", "\\install.inf", "c:install.inf", "a\\..\\b", "a\\\\b", ".\\a", "a\\", "a\tb"}) {
        std::string text = "x";
        EXPECT_FALSE(WriteSeal({{name, 1, 1}}, text)) << name;
        EXPECT_TRUE(text.empty()) << name;
    }
    std::string text;
    EXPECT_FALSE(WriteSeal({{"Install.inf", 1, 1}, {"INSTALL.INF", 1, 1}}, text));
}

}  // namespace
