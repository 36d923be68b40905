// A sealed medium damaged as media get damaged: setup.exe, run without a
// window, ends with exit code 1, names the file in its log and leaves the
// machine as it found it. (The check's naming of each damage is tested
// natively, in the tool's own suite.)
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "driver.h"
#include "outside.h"
#include "support/files.h"

namespace {

void FlipBit(const std::string& path, size_t at)
{
    std::string bytes = ReadFileBytes(path);
    ASSERT_LT(at, bytes.size()) << path;
    bytes[at] = static_cast<char>(bytes[at] ^ 0x10);
    WriteFileBytes(path, bytes);
}

void FlipMiddleBit(const std::string& path)
{
    FlipBit(path, ReadFileBytes(path).size() / 2);
}

TEST(DamagedMedium, EndsTheInstallationWithTheMachineAsBefore)
{
    // The sample medium with an uninstall line, so that the run would also
    // enter the product in the list of installed programs, sealed.
    const UninstallMedium sealed;
    ASSERT_EQ(RunMedium("seal \"" + sealed.path() + "\"").code, 0u);
    ASSERT_EQ(RunMedium("check \"" + sealed.path() + "\"").code, 0u);

    struct Damage {
        const char* file;  // as the log names it
        std::function<void(const std::string& medium)> make;
    } damages[] = {
        {"aide\\index.txt", [](const std::string& m) { FlipMiddleBit(m + "\\aide\\index.txt"); }},
        {"dico.ex_", [](const std::string& m) { FlipMiddleBit(m + "\\dico.ex_"); }},
        {"langue\\anglais.wb", [](const std::string& m) { FlipMiddleBit(m + "\\langue\\anglais.wb"); }},
        {"langue.cf", [](const std::string& m) { FlipMiddleBit(m + "\\langue.cf"); }},
        {"install.inf", [](const std::string& m) { FlipBit(m + "\\install.inf", 2); }},
        {"sons\\fermer.wav", [](const std::string& m) { FlipMiddleBit(m + "\\sons\\fermer.wav"); }},
        {"lisezmoi.tx_", [](const std::string& m) {
             const std::string bytes = ReadFileBytes(m + "\\lisezmoi.tx_");
             WriteFileBytes(m + "\\lisezmoi.tx_", bytes.substr(0, bytes.size() - 10));
         }},
        {"dico.ic_", [](const std::string& m) {
             WriteFileBytes(m + "\\dico.ic_", ReadFileBytes(m + "\\dico.ic_") + std::string(512, '\0'));
         }},
        {"sons\\ouvrir.wav", [](const std::string& m) { DeleteFileA((m + "\\sons\\ouvrir.wav").c_str()); }},
        {"manifest.crc", [](const std::string& m) { FlipMiddleBit(m + "\\manifest.crc"); }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.file);
        ScratchFolder medium("damaged-medium");
        CopyTree(sealed.path(), medium.path());
        damage.make(medium.path());

        const OutsideForTheTest outside(Before::OthersThere);
        ScratchFolder parent("damaged-install");
        const Snapshot before = Take(parent.path());
        const std::string log = parent / "setup.log";
        SetupProcess setup(medium.path(), SetupExePath(),
                           "/verysilent \"/dir=" + (parent / "dico") + "\" \"/log=" + log + "\"", false);
        EXPECT_EQ(setup.WaitForExit(180000), 1u);
        const std::string written = ReadFileBytes(log);
        EXPECT_NE(written.find(std::string("Fatal error: Damaged medium: ") + damage.file + "\r\n"),
                  std::string::npos)
            << written;
        DeleteFileA(log.c_str());
        const std::vector<std::string> differences = Differences(before, Take(parent.path()));
        EXPECT_TRUE(differences.empty()) << Joined(differences);
    }

    // A file that a search finds but the manifest does not list (what a
    // file manager leaves in a medium's folder) is not the publisher's: it
    // is skipped, and the rest installs.
    ScratchFolder medium("extended-medium");
    CopyTree(sealed.path(), medium.path());
    WriteFileBytes(medium / "aide\\desktop.ini", "[.ShellClassInfo]\r\n");
    const OutsideForTheTest outside(Before::Nothing);
    ScratchFolder parent("extended-install");
    const std::string log = parent / "setup.log";
    SetupProcess setup(medium.path(), SetupExePath(),
                       "/verysilent \"/dir=" + (parent / "dico") + "\" \"/log=" + log + "\"", false);
    EXPECT_EQ(setup.WaitForExit(180000), 0u);
    EXPECT_TRUE(PathExists(parent / "dico\\aide\\index.txt"));
    EXPECT_FALSE(PathExists(parent / "dico\\aide\\desktop.ini"));
    EXPECT_NE(ReadFileBytes(log).find("desktop.ini: skipped (not listed in the medium's manifest)"),
              std::string::npos);
}

}  // namespace
