// Installations over an earlier one onto a small drive that fills up: with
// every amount of free space from none to enough, the run either completes
// or ends with the documented box and exit code 1, and every file the user
// had keeps its earlier content or gets its whole new one.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "driver.h"
#include "support/installed_files.h"
#include "support/word_lists.h"

namespace {

const char kInstallInf[] =
    "mkdir langue\r\n"
    "mkdir sons\r\n"
    "copy langue.cf langue.cf\r\n"
    "copy a.wb langue\\a.wb\r\n"
    "xcopy *.txt .\r\n"
    "sndcopy sons sons\r\n"
    "mkwlist\r\n";

// A medium; the earlier one has smaller files and another catalogue line.
Files Medium(bool earlier)
{
    return {
        {"install.inf", kInstallInf},
        {"langue.cf", earlier ? "fr,en,langue\\ancien.tb,Anglais\r\na.wb\r\na.tb\r\n"
                              : "fr,en,langue\\a.tb,Anglais\r\na.wb\r\na.tb\r\n"},
        {"a.wb", ListBytes(earlier ? NumberedRecords("old", 20) : NumberedRecords("k", 40))},
        {"lisezmoi.txt", std::string(earlier ? 1000 : 6000, earlier ? 'o' : 'n')},
        {"sons\\ouvrir.wav", std::string(earlier ? 500 : 5000, earlier ? 'O' : 'N')},
    };
}

// Installs the medium into dir, which first receives the files of before.
InstallResult InstallOver(const Files& medium, const std::string& dir, const Files& before)
{
    ScratchFolder mediumFolder("fault-medium");
    WriteFiles(mediumFolder.path(), medium);
    MakeFolder(dir);
    WriteFiles(dir, before);
    return RunInstallation(mediumFolder.path(), dir);
}

ULONGLONG FreeBytes(const std::string& root)
{
    ULARGE_INTEGER free = {};
    GetDiskFreeSpaceExA(root.c_str(), &free, nullptr, nullptr);
    return free.QuadPart;
}

// Leaves pages pages of 4 KiB free on the drive, or false.
bool LeaveFree(const std::string& root, ULONGLONG pages)
{
    const ULONGLONG free = FreeBytes(root);
    const ULONGLONG keep = pages * 4096;
    if (free < keep)
        return false;
    HANDLE filler = CreateFileA((root + "filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (filler == INVALID_HANDLE_VALUE)
        return false;
    std::string block(4096, 'f');
    for (ULONGLONG i = 0; i < (free - keep) / 4096; ++i) {
        DWORD written = 0;
        if (!WriteFile(filler, block.data(), 4096, &written, nullptr) || written != 4096)
            break;
    }
    CloseHandle(filler);
    return FreeBytes(root) == keep;
}

TEST(FullDisk, EveryAmountOfFreeSpaceLosesNothing)
{
    const char* drive = std::getenv("FAULT_DRIVE");
    if (!drive || !PathExists(drive))
        GTEST_SKIP() << "FAULT_DRIVE names no small drive (tests/fault/run_full_disk maps one)";
    const std::string root = drive;

    // The earlier installation, then the expected result of this one, on
    // the system drive where space does not run out.
    ScratchFolder work("fault-full");
    InstallResult earlierRun = InstallOver(Medium(true), work / "earlier", {});
    ASSERT_EQ(earlierRun.exitCode, 0u);
    const Files earlier = ReadFiles(work / "earlier");
    ASSERT_TRUE(earlier.count("dict.ini"));
    InstallResult cleanRun = InstallOver(Medium(false), work / "final", earlier);
    ASSERT_EQ(cleanRun.exitCode, 0u);
    const Files final = ReadFiles(work / "final");
    ASSERT_NE(final.at("dict.ini"), earlier.at("dict.ini"));
    ASSERT_TRUE(final.at("langue\\a.tb") == ReversedWordList(Medium(false).at("a.wb"), FrenchOrder));

    ScratchFolder medium("fault-medium");
    WriteFiles(medium.path(), Medium(false));
    const std::string dir = root + "dico";
    bool completed = false;
    bool fatalAtNoSpace = false;
    std::set<std::string> messages;
    for (ULONGLONG pages = 0; pages <= 11 && !completed; ++pages) {
        const std::string what = "free pages " + std::to_string(pages);
        RemoveTree(dir);
        DeleteFileA((root + "filler").c_str());
        ASSERT_TRUE(MakeFolder(dir)) << what;
        WriteFiles(dir, earlier);
        ASSERT_TRUE(LeaveFree(root, pages)) << what << ": " << FreeBytes(root) << " bytes free";

        InstallResult run = RunInstallation(medium.path(), dir);
        ASSERT_TRUE(run.windowFound) << what;
        const Files after = ReadFiles(dir);
        std::string message;
        if (run.exitCode == 1) {
            ASSERT_FALSE(run.boxes.empty()) << what;
            const MessageBoxInfo& box = run.boxes.back();
            message = box.text;
            EXPECT_EQ(box.caption, "Error") << what;
            EXPECT_EQ(box.icon, MessageBoxInfo::Icon::Error) << what;
            // A copy that failed silently may leave no language list.
            EXPECT_TRUE(IsWriteFailureMessage(box.text) || box.text == "Can't open LANGUAGE.CF")
                << what << ": " << box.text;
            messages.insert(box.text);
            fatalAtNoSpace = fatalAtNoSpace || pages == 0;
        } else {
            EXPECT_EQ(run.exitCode, 0u) << what;
            for (const MessageBoxInfo& box : run.boxes)
                EXPECT_EQ(box.caption, "Installation") << what << ": " << box.text;
        }
        std::printf("[ faults   ] %s: exit %lu %s\n", what.c_str(), run.exitCode, message.c_str());

        // Each file holds its earlier content or its whole new one; the
        // language list stays when the run ends before its end.
        std::set<std::string> names;
        for (const Files* tree : {&earlier, &final, &after})
            for (const auto& [name, bytes] : *tree)
                names.insert(name);
        bool asFinal = true;
        for (const std::string& name : names) {
            if (IsTemporaryName(name))
                continue;
            const auto found = after.find(name);
            const bool present = found != after.end();
            auto matches = [&](const Files& tree) {
                const auto it = tree.find(name);
                return it == tree.end() ? !present : present && found->second == it->second;
            };
            const bool listLeft = name == "langue.cf" && present && found->second == Medium(false).at(name);
            EXPECT_TRUE(matches(earlier) || matches(final) || listLeft)
                << what << ": " << name << " half written (" << (present ? found->second.size() : 0)
                << " bytes)";
            asFinal = asFinal && matches(final);
        }
        completed = run.exitCode == 0 && asFinal;
    }
    EXPECT_TRUE(fatalAtNoSpace) << "a full drive must end the run";
    EXPECT_TRUE(completed) << "no amount of free space let the installation complete";
    EXPECT_FALSE(messages.empty());
    RemoveTree(dir);
    DeleteFileA((root + "filler").c_str());
}

}  // namespace
