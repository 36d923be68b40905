// The LZ module: what it compresses expands to the original, by its own
// expansion and by libmspack's, hand-made streams end as the one-byte rule
// says, and the underscore names are the LZ open's.
#include "script/lz_file.h"

#include <gtest/gtest.h>
#include <mspack.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "support/files.h"
#include "support/lz_blocks.h"

namespace {

std::string Fixture(const std::string& name)
{
    return ReadFileBytes(std::string(LZ_FIXTURES_DIR) + "/" + name);
}

// A header promising size, then the groups as given.
std::string Stream(uint32_t size, const std::string& groups, char mode = 'A')
{
    std::string out("SZDD\x88\xF0\x27\x33", 8);
    out += mode;
    out += 'x';
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((size >> shift) & 0xFF);
    return out + groups;
}

TEST(LzExpand, EndsAsTheOneByteRuleSays)
{
    // Groups of eight matches of 18 spaces each.
    std::string allMatches;
    for (int i = 0; i < 2084; ++i) {
        allMatches += '\0';
        for (int match = 0; match < 8; ++match)
            allMatches += std::string("\x00\x0F", 2);
    }
    std::string noSignature = Stream(2, "\x03" "ab");
    noSignature[7] = '\x34';
    struct Case {
        const char* what;
        std::string compressed;
        LzOutcome outcome;
        std::string expanded;
    } cases[] = {
        // text.txt repeats its lines over 28 KB, past the window's wrap.
        {"text", Fixture("text.tx_"), LzOutcome::Whole, Fixture("text.txt")},
        {"every byte value", Fixture("binary.bi_"), LzOutcome::Whole, Fixture("binary.bin")},
        {"empty", Fixture("empty.tx_"), LzOutcome::Whole, ""},
        {"mscompress's empty file: one zero byte over", Stream(0, std::string("\x01\0", 2)), LzOutcome::WholeCut,
         ""},
        {"cut in half", Fixture("truncated.bi_"), LzOutcome::Short, ""},
        // Flag bits from the lowest; matches copy from the window, which starts
        // with spaces and is written from 4096 - 16, byte by byte.
        {"literals then a match", Stream(6, "\x07" "abc" "\xF0\xF0"), LzOutcome::Whole, "abcabc"},
        {"a match reading its own output", Stream(6, std::string("\x01" "a" "\xF0\xF2", 4)), LzOutcome::Whole,
         "aaaaaa"},
        {"a match of the initial spaces", Stream(3, std::string("\x00\x00\x00", 3)), LzOutcome::Whole, "   "},
        {"past 256 KB of matches", Stream(2084 * 8 * 18, allMatches), LzOutcome::Whole,
         std::string(2084 * 8 * 18, ' ')},
        {"the flag byte's missing items", Stream(2, "\xFF" "ab"), LzOutcome::Whole, "ab"},
        {"one byte over", Stream(3, "\x0F" "abcd"), LzOutcome::WholeCut, "abc"},
        {"two bytes over", Stream(2, "\x0F" "abcd"), LzOutcome::Corrupt, ""},
        {"a match far over", Stream(1, std::string("\x00\x00\x0F", 3)), LzOutcome::Corrupt, ""},
        {"short", Stream(5, "\x0F" "abcd"), LzOutcome::Short, ""},
        {"cut inside a match", Stream(9, "\x03" "ab" "\xF0"), LzOutcome::Short, ""},
        {"a match's lone first byte after every promised byte", Stream(2, "\x03" "ab" "\xF0"),
         LzOutcome::Corrupt, ""},
        {"mode other than A", Stream(2, "\x03" "ab", 'B'), LzOutcome::Corrupt, ""},
        {"header cut short", Stream(2, "").substr(0, 12), LzOutcome::Corrupt, ""},
        {"no signature", noSignature, LzOutcome::Corrupt, ""},
    };
    for (const Case& c : cases) {
        std::string whole, pieces;
        const LzOutcome outcome = LzExpandBytes(c.compressed, whole);
        EXPECT_EQ(outcome, c.outcome) << c.what;
        EXPECT_TRUE(whole == c.expanded) << c.what << ": " << whole.size() << " bytes";
        EXPECT_EQ(ExpandInBlocks(c.compressed, 7, pieces), c.outcome) << c.what << " in pieces";
        if (c.outcome == LzOutcome::Whole || c.outcome == LzOutcome::WholeCut) {
            EXPECT_TRUE(pieces == c.expanded) << c.what << " in pieces";
        }
    }
}

TEST(LzExpand, ReadAndWriteFailuresAreTheirOwnOutcomes)
{
    const std::string text = Fixture("text.tx_");
    const auto fromText = [&](char* buffer, size_t capacity, size_t& count) {
        count = std::min(capacity, text.size());
        std::memcpy(buffer, text.data(), count);
        return true;
    };
    const auto failedRead = [](char*, size_t, size_t&) { return false; };
    const auto written = [](const char*, size_t) { return true; };
    const auto failedWrite = [](const char*, size_t) { return false; };
    EXPECT_EQ(LzExpand(failedRead, written), LzOutcome::ReadFailed);
    EXPECT_EQ(LzExpand(fromText, failedWrite), LzOutcome::WriteFailed);
}

TEST(LzCompressedName, ReplacesTheExtensionsLastCharacterOfTheLastPathElement)
{
    struct Case {
        const char* path;
        const char* stored;
        char replaced;  // which the header keeps
    } cases[] = {
        {"dico.exe", "dico.ex_", 'e'},
        {"x.md", "x.md_", '\0'},
        {"x", "x._", '\0'},
        {"", "._", '\0'},
        {"a.b.cde", "a.b.cd_", 'e'},
        {"a.b.c", "a.b._", 'c'},
        {"v1.0/readme", "v1.0/readme._", '\0'},
        {"a\\b.c\\d", "a\\b.c\\d._", '\0'},
        {"v1.0\\dir/x.txt", "v1.0\\dir/x.tx_", 't'},
        // A UTF-8 path counts its letters, a Windows-1252 name its bytes.
        {"a.tx\xC3\xA9", "a.tx_", '\0'},
        {"a.\xC3\xA9t", "a.\xC3\xA9t_", '\0'},
        {"a.t\xE9\xB0", "a.t\xE9_", '\xB0'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LzCompressedName(c.path), c.stored) << c.path;
        EXPECT_EQ(LzReplacedCharacter(c.path), c.replaced) << c.path;
    }
}

TEST(IsLzCompressed, TakesTheSignatureAlone)
{
    EXPECT_TRUE(IsLzCompressed(std::string("SZDD\x88\xF0\x27\x33", 8)));
    EXPECT_TRUE(IsLzCompressed(Fixture("text.tx_")));
    EXPECT_FALSE(IsLzCompressed(std::string("SZDD\x88\xF0\x27", 7)));
    EXPECT_FALSE(IsLzCompressed(Fixture("text.txt")));
}

// libmspack's expansion of a compressed file; "<error N>" when it fails.
std::string ExpandByMspack(const std::string& compressed)
{
    ScratchFolder scratch("mspack");
    const std::string in = scratch / "in", out = scratch / "out";
    WriteFileBytes(in, compressed);
    std::unique_ptr<msszdd_decompressor, void (*)(msszdd_decompressor*)> szdd(
        mspack_create_szdd_decompressor(nullptr), mspack_destroy_szdd_decompressor);
    const int error = szdd->decompress(szdd.get(), in.c_str(), out.c_str());
    return error == MSPACK_ERR_OK ? ReadFileBytes(out) : "<error " + std::to_string(error) + ">";
}

TEST(LzCompressBytes, EverySizeExpandsWholeByBothExpansions)
{
    constexpr size_t kLongest = 10000;
    std::string random, text;
    for (uint32_t x = 2024; random.size() < kLongest;)
        random += static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
    for (int line = 0; text.size() < kLongest; ++line)
        text += std::to_string(line) + ": le dictionnaire bilingue, ses mots et leur traduction\r\n";
    std::string period(kLongest, '\0');
    for (size_t i = 0; i < kLongest; ++i)
        period[i] = "ab\xFF"[i % 3];
    const std::pair<const char*, std::string> kinds[] = {
        {"random", random}, {"text", text}, {"a period of three", period}, {"one byte", std::string(kLongest, 'x')},
        // What the window holds before the first byte: matches reach into it.
        {"spaces", std::string(kLongest, ' ')},
    };
    std::vector<size_t> sizes = {4079, 4080, 4095, 4096, 4097, 8192, kLongest};
    for (size_t size = 0; size <= 70; ++size)
        sizes.push_back(size);
    for (const auto& [kind, bytes] : kinds) {
        for (size_t size : sizes) {
            const std::string source = bytes.substr(0, size), compressed = LzCompressBytes(source, 'e');
            const std::string what = std::string(kind) + ", " + std::to_string(size) + " bytes";
            std::string expanded;
            EXPECT_EQ(LzExpandBytes(compressed, expanded), LzOutcome::Whole) << what;
            EXPECT_TRUE(expanded == source) << what;
            EXPECT_TRUE(ExpandByMspack(compressed) == source) << what << " by libmspack";
            // At worst every byte a literal, with a flag byte for each eight.
            EXPECT_LE(compressed.size(), kLzHeaderSize + size + (size + 7) / 8) << what;
            if (size > 70 && std::strcmp(kind, "random") != 0) {
                EXPECT_LT(compressed.size(), kLzHeaderSize + size / 3) << what << ": too few matches";
            }
        }
    }
}

}  // namespace
