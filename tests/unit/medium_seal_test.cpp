#include "script/medium_seal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string SampleManifest()
{
    std::string text;
    EXPECT_TRUE(WriteSeal({{"install.inf", 12, 0x0badf00d},
                           {"langue\\anglais.wb", 840, 0x12345678},
                           {"aide/abr\xC3\xA9viations.txt", 0, 0}},
                          text));
    return text;
}

TEST(MediumSeal, CrcIsTheZipCrcWhateverThePieces)
{
    EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(Crc32(""), 0u);
    const std::string bytes(1000, '\x5A');
    for (size_t cut : {0, 1, 7, 8, 9, 999}) {
        uint32_t state = Crc32Update(Crc32Init, bytes.data(), cut);
        state = Crc32Update(state, bytes.data() + cut, bytes.size() - cut);
        EXPECT_EQ(Crc32Final(state), Crc32(bytes)) << cut;
    }
}

TEST(MediumSeal, WrittenManifestReadsBackAndFindsNamesAsWindowsCompares)
{
    MediumSeal seal;
    ASSERT_TRUE(seal.Parse(SampleManifest()));
    ASSERT_EQ(seal.entries().size(), 3u);
    const SealEntry* found = seal.Find("LANGUE/Anglais.WB");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, "langue\\anglais.wb");
    EXPECT_EQ(found->size, 840u);
    EXPECT_EQ(found->crc, 0x12345678u);
    ASSERT_NE(seal.Find("AIDE\\ABR\xC3\x89VIATIONS.TXT"), nullptr);
    // A name that is no UTF-8: the letter after a lone C3 still folds.
    EXPECT_EQ(SealKey("abr\xC3vviations"), SealKey("ABR\xC3VVIATIONS"));
    EXPECT_EQ(seal.Find("install.in"), nullptr);
    EXPECT_EQ(seal.Find("langue"), nullptr);
}

TEST(MediumSeal, AnyDamageToTheManifestIsRefused)
{
    const std::string good = SampleManifest();
    struct Case {
        const char* what;
        std::string text;
    };
    std::vector<Case> cases = {
        {"empty", ""},
        {"cut short", good.substr(0, good.size() - 3)},
        {"end line missing", good.substr(0, good.find("end "))},
        {"a tail after the end", good + "x"},
        {"zeros after the end", good + std::string(16, '\0')},
        {"LF line ends", [&] {
             std::string lf;
             for (char c : good)
                 if (c != '\r')
                     lf += c;
             return lf;
         }()},
    };
    // Every single bit flipped in turn.
    for (size_t i = 0; i < good.size(); ++i)
        for (int bit = 0; bit < 8; ++bit) {
            std::string flipped = good;
            flipped[i] = static_cast<char>(flipped[i] ^ (1 << bit));
            cases.push_back({"bit flipped", flipped});
        }
    for (const Case& c : cases) {
        MediumSeal seal;
        EXPECT_FALSE(seal.Parse(c.text)) << c.what;
        EXPECT_TRUE(seal.entries().empty()) << c.what;
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
