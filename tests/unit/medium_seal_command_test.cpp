// A sealed medium like the sample, damaged one way at a time: the check
// names the damaged file as setup.exe would stop on it.
#include "seal_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "medium_check.h"
#include "script/lz_file.h"
#include "support/files.h"

namespace {

int Seal(const std::string& root)
{
    FILE* out = std::tmpfile();
    const int code = SealMedium(root, out, out);
    std::fclose(out);
    return code;
}

void Flip(const std::string& path, size_t at)
{
    std::string bytes = ReadFileBytes(path);
    bytes.at(at) = static_cast<char>(bytes.at(at) ^ 0x10);
    WriteFileBytes(path, bytes);
}

void Rewrite(const std::string& path, const std::function<std::string(const std::string&)>& change)
{
    WriteFileBytes(path, change(ReadFileBytes(path)));
}

// The manifest as sealed, but for one entry.
void Unlist(const std::string& root, const std::string& name)
{
    MediumSeal seal;
    ASSERT_TRUE(seal.Parse(ReadFileBytes(root + "/manifest.crc")));
    std::vector<SealEntry> entries;
    for (const SealEntry& entry : seal.entries())
        if (entry.name != name)
            entries.push_back(entry);
    std::string text;
    ASSERT_TRUE(WriteSeal(entries, text));
    WriteFileBytes(root + "/manifest.crc", text);
}

// sndcopy finds it; install.inf cannot name it.
const std::string kDvorak = "sons/Dvo\xC5\x99\xC3\xA1k.wav";

TEST(SealMedium, EveryDamageToASealedMediumIsNamed)
{
    using Damage = std::function<void(const std::string& root)>;
    struct Case {
        const char* damage;
        Damage change;
        std::string file;  // of the finding; said as setup.exe would say it, but for the warning
        Severity severity;
    } cases[] = {
        {"a bit flipped in a plain file", [](auto r) { Flip(r + "/fin.txt", 40); }, "fin.txt", Severity::Error},
        {"a bit flipped in a compressed file", [](auto r) { Flip(r + "/dico.ex_", 200); }, "dico.ex_",
         Severity::Error},
        {"a bit flipped in a word list", [](auto r) { Flip(r + "/langue/anglais.wb", 90000); }, "langue/anglais.wb",
         Severity::Error},
        {"a bit flipped in langue.cf", [](auto r) { Flip(r + "/langue.cf", 60); }, "langue.cf", Severity::Error},
        {"a word list cut short by a record",
         [](auto r) { Rewrite(r + "/langue/allemand.wb", [](auto b) { return b.substr(0, b.size() - 84); }); },
         "langue/allemand.wb", Severity::Error},
        {"a tail of zeros",
         [](auto r) { Rewrite(r + "/sons/fermer.wav", [](auto b) { return b + std::string(512, '\0'); }); },
         "sons/fermer.wav", Severity::Error},
        {"a file missing", [](auto r) { RemoveTree(r + "/aide/LISEZMOI"); }, "aide/LISEZMOI", Severity::Error},
        {"a bit flipped in a found name outside Windows-1252", [](auto r) { Flip(r + "/" + kDvorak, 2); }, kDvorak,
         Severity::Error},
        {"the manifest cut short", [](auto r) { Rewrite(r + "/manifest.crc", [](auto b) { return b.substr(0, 90); }); },
         "manifest.crc", Severity::Error},
        {"a bit flipped in the manifest", [](auto r) { Flip(r + "/manifest.crc", 30); }, "manifest.crc",
         Severity::Error},
        {"a copied file not listed", [](auto r) { Unlist(r, "fin.txt"); }, "fin.txt", Severity::Error},
        // A file manager's leftover that a search finds: skipped, not fatal.
        {"a found file not listed", [](auto r) { WriteFileBytes(r + "/aide/desktop.ini", "x"); }, "aide/desktop.ini",
         Severity::Error},
        {"a file listed but never read",
         [](auto r) {
             WriteFileBytes(r + "/notes.txt", "x");
             Seal(r);
         },
         "notes.txt", Severity::Warning},
    };
    ScratchFolder scratch("seal");
    const std::string clean = scratch / "clean";
    CopyTree(SAMPLE_MEDIUM_DIR, clean);
    WriteFiles(clean, {{"dico.ex_", LzCompressBytes(std::string(3000, 'd') + "fin", 'e')},
                       {"lisezmoi.tx_",
                        LzCompressBytes(ReadFileBytes(SAMPLE_MEDIUM_DIR "/../compress/lisezmoi.txt"), 't')},
                       {"dico.ic_", LzCompressBytes(std::string(766, '\0') + "icon", 'o')},
                       {kDvorak, "RIFF"}});
    ASSERT_EQ(Seal(clean), 0);
    Report report;
    ASSERT_TRUE(CheckMedium(clean, report));
    ASSERT_TRUE(report.findings.empty()) << FormatFinding(report.findings[0]);

    for (const Case& c : cases) {
        const std::string root = scratch / "damaged";
        RemoveTree(root);
        CopyTree(clean, root);
        c.change(root);
        Report damaged;
        ASSERT_TRUE(CheckMedium(root, damaged));
        std::string name = c.file, said;
        std::replace(name.begin(), name.end(), '/', '\\');
        bool found = false;
        for (const Finding& finding : damaged.findings) {
            said += "\n  " + FormatFinding(finding);
            found = found || (finding.file == c.file && finding.severity == c.severity &&
                              (c.severity == Severity::Warning ||
                               finding.text.find(c.file.find("desktop") != std::string::npos
                                                     ? "setup.exe skips it"
                                                     : "\"" + DamagedMediumMessage(name) + "\"") !=
                                   std::string::npos));
        }
        EXPECT_TRUE(found) << c.damage << said;
        EXPECT_EQ(damaged.Count(Severity::Error) > 0, c.severity == Severity::Error) << c.damage << said;
    }
}

}  // namespace
