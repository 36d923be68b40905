// Read-only files met by an installation. Run as an ordinary user: Wine
// lets root write through them. Each case ends as documented (a fatal box
// and exit code 1, or a silent skip and exit code 0), and no read-only file
// changes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"
#include "fault_support.h"
#include "reference.h"

namespace {

const std::string kEnd = "# --- EOF --------------------------------------------------------\r\n";
const std::string kCatalogue = "# --- dict.ini " + std::string(50, '-') +
                               "\r\n\r\n[ajouter]\r\non\r\n\r\n[selectionn\xE9]\r\na.wb\r\n\r\n[langue]\r\n"
                               "fr,it,langue\\italien.tb,Italien\r\nfr,en,langue\\ancien.tb,Anglais\r\n\r\n" +
                               kEnd;

std::string FromList()
{
    std::string bytes;
    for (int i = 0; i < 30; ++i)
        bytes += WordRecordBytes("k" + std::to_string(i), "w" + std::to_string(i % 7) + ",x");
    return bytes;
}

const Tree kWordListMedium = {
    {"install.inf", "mkdir langue\r\ncopy langue.cf langue.cf\r\ncopy a.wb langue\\a.wb\r\nmkwlist\r\n"},
    {"langue.cf", "fr,en,langue\\a.tb,Anglais\r\na.wb\r\na.tb\r\n"},
    {"a.wb", FromList()},
};

struct Case {
    const char* name;
    Tree medium;
    Tree before;                    // the install folder's files
    std::vector<std::string> readOnly;  // made read-only there
    DWORD exitCode;
    const char* message;  // the fatal box, or null for none
};

std::string WinIniPath()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    return std::string(folder) + "\\win.ini";
}

bool IsReadOnly(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

TEST(ReadOnly, EachFileStaysAndTheRunEndsAsDocumented)
{
    // Read-only files are writable for root under Wine: the cases mean
    // nothing there.
    TempFolder probeFolder("fault-probe");
    WriteFileBytes(probeFolder / "probe", "x");
    SetFileAttributesA((probeFolder / "probe").c_str(), FILE_ATTRIBUTE_READONLY);
    FILE* probe = std::fopen((probeFolder / "probe").c_str(), "ab");
    if (probe)
        std::fclose(probe);
    SetFileAttributesA((probeFolder / "probe").c_str(), FILE_ATTRIBUTE_NORMAL);
    if (probe)
        GTEST_SKIP() << "read-only files are writable here (root?): run through tests/fault/run_read_only";

    Tree copyMedium = {
        {"install.inf", "copy a.txt a.txt\r\nxcopy b.txt .\r\nmkdir s\r\nsndcopy s s\r\ncopy d.txt d.txt\r\n"},
        {"a.txt", "new a"}, {"b.txt", "new b"}, {"s\\c.txt", "new c"}, {"d.txt", "new d"},
    };
    const Tree installed = {{"dict.ini", kCatalogue}};
    Tree withTo = installed;
    withTo["langue\\a.tb"] = WordRecordBytes("ancien", "old");
    Tree withTemp = installed;
    withTemp["tmp.ini"] = "left by an earlier run\r\n";
    Tree withTempList = installed;
    withTempList["langue\\temp.wb"] = WordRecordBytes("ancien", "old");

    const Case cases[] = {
        // The replacements fail and are not reported; the catalogue stays.
        {"dict.ini", kWordListMedium, installed, {"dict.ini"}, 0, nullptr},
        {"TO list", kWordListMedium, withTo, {"langue\\a.tb"}, 1, "Can't create output file"},
        {"tmp.ini", kWordListMedium, withTemp, {"tmp.ini"}, 1, "Can't open TMP.INI"},
        {"temporary list", kWordListMedium, withTempList, {"langue\\temp.wb"}, 1, "Can't create tempfile"},
        // Copies onto read-only files are skipped silently; others go on.
        {"copy destinations", copyMedium,
         {{"a.txt", "old a"}, {"b.txt", "old b"}, {"s\\c.txt", "old c"}},
         {"a.txt", "b.txt", "s\\c.txt"}, 0, nullptr},
    };
    for (const Case& c : cases) {
        TempFolder medium("fault-ro-medium");
        WriteTree(medium.path(), c.medium);
        TempFolder parent("fault-ro");
        const std::string dir = parent / "dico";
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
        WriteTree(dir, c.before);
        for (const std::string& name : c.readOnly)
            ASSERT_TRUE(SetFileAttributesA((dir + "\\" + name).c_str(), FILE_ATTRIBUTE_READONLY)) << name;

        InstallResult run = RunInstallation(medium.path(), dir);
        ASSERT_TRUE(run.windowFound) << c.name;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name;
        const MessageBoxInfo* fatal = nullptr;
        for (const MessageBoxInfo& box : run.boxes)
            if (box.caption == "Error")
                fatal = &box;
        if (c.message) {
            ASSERT_NE(fatal, nullptr) << c.name;
            EXPECT_EQ(fatal->text, c.message) << c.name;
            EXPECT_EQ(fatal->icon, MessageBoxInfo::Icon::Error) << c.name;
            EXPECT_TRUE(PathExists(dir + "\\langue.cf")) << c.name << ": the language list stays";
        } else {
            EXPECT_EQ(fatal, nullptr) << c.name << ": " << fatal->text;
        }

        // Nothing the user had is lost: every earlier file that is read-only,
        // and the catalogue, are as they were.
        const Tree after = ReadTree(dir);
        for (const auto& [name, bytes] : c.before) {
            const bool readOnly =
                std::find(c.readOnly.begin(), c.readOnly.end(), name) != c.readOnly.end();
            if (!readOnly && (IsTemporaryName(name) || (name != "dict.ini" && !c.message)))
                continue;
            ASSERT_TRUE(after.count(name)) << c.name << ": " << name << " is gone";
            EXPECT_EQ(after.at(name), bytes) << c.name << ": " << name << " changed";
        }
        for (const std::string& name : c.readOnly)
            EXPECT_TRUE(IsReadOnly(dir + "\\" + name)) << c.name << ": " << name;
        if (std::string(c.name) == "dict.ini") {
            EXPECT_TRUE(after.at("langue\\a.tb") == ReversedWordList(FromList())) << "the list is still built";
        }
        if (std::string(c.name) == "copy destinations") {
            EXPECT_EQ(after.at("d.txt"), "new d") << "a writable destination is copied";
        }
        for (const std::string& name : c.readOnly)
            SetFileAttributesA((dir + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

TEST(ReadOnly, WinIniThatCannotBeWrittenIsLeftAsItWas)
{
    const std::string winIni = WinIniPath();
    if (!PathExists(winIni))
        WriteFileBytes(winIni, "[windows]\r\n");
    const std::string before = ReadFileBytes(winIni);
    ASSERT_TRUE(SetFileAttributesA(winIni.c_str(), FILE_ATTRIBUTE_READONLY));
    FILE* probe = std::fopen(winIni.c_str(), "ab");
    if (probe) {
        std::fclose(probe);
        SetFileAttributesA(winIni.c_str(), FILE_ATTRIBUTE_NORMAL);
        GTEST_SKIP() << "read-only files are writable here (root?): run through tests/fault/run_read_only";
    }

    TempFolder medium("fault-ro-medium");
    WriteTree(medium.path(), {{"install.inf", "avidelay 999\r\nmkdir after\r\n"}});
    TempFolder parent("fault-ro");
    InstallResult run = RunInstallation(medium.path(), parent / "dico");
    SetFileAttributesA(winIni.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(ReadFileBytes(winIni), before);
    EXPECT_TRUE(PathExists(parent / "dico\\after")) << "the script goes on after the failed write";
}

}  // namespace
