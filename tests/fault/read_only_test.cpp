// Read-only files met by an installation. Run as an ordinary user: Wine
// lets root write through them. Each case ends as documented (a fatal box
// and exit code 1, or a silent skip and exit code 0), and no read-only file
// changes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver.h"
#include "support/installed_files.h"
#include "support/word_lists.h"

namespace {

const std::string kCatalogue =
    Catalogue("a.wb", "fr,it,langue\\italien.tb,Italien\r\nfr,en,langue\\ancien.tb,Anglais\r\n");

std::string FromList()
{
    return ListBytes(NumberedRecords("k", 30));
}

const Files kWordListMedium = {
    {"install.inf", "mkdir langue\r\ncopy langue.cf langue.cf\r\ncopy a.wb langue\\a.wb\r\nmkwlist\r\n"},
    {"langue.cf", "fr,en,langue\\a.tb,Anglais\r\na.wb\r\na.tb\r\n"},
    {"a.wb", FromList()},
};

struct Case {
    const char* name;
    Files medium;
    Files before;                       // the install folder's files
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

uint64_t LastWriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

bool IsReadOnly(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// Read-only files are writable for root under Wine: the cases mean nothing
// there.
bool ReadOnlyFilesAreWritable()
{
    ScratchFolder probeFolder("fault-probe");
    WriteFileBytes(probeFolder / "probe", "x");
    SetFileAttributesA((probeFolder / "probe").c_str(), FILE_ATTRIBUTE_READONLY);
    FILE* probe = std::fopen((probeFolder / "probe").c_str(), "ab");
    if (probe)
        std::fclose(probe);
    SetFileAttributesA((probeFolder / "probe").c_str(), FILE_ATTRIBUTE_NORMAL);
    return probe != nullptr;
}

TEST(ReadOnly, EachFileStaysAndTheRunEndsAsDocumented)
{
    if (ReadOnlyFilesAreWritable())
        GTEST_SKIP() << "read-only files are writable here (root?): run through tests/fault/run_read_only";

    Files copyMedium = {
        {"install.inf", "copy a.txt a.txt\r\nxcopy b.txt .\r\nmkdir s\r\nsndcopy s s\r\ncopy d.txt d.txt\r\n"},
        {"a.txt", "new a"}, {"b.txt", "new b"}, {"s\\c.txt", "new c"}, {"d.txt", "new d"},
    };
    const Files installed = {{"dict.ini", kCatalogue}};
    Files withTo = installed;
    withTo["langue\\a.tb"] = RecordBytes("ancien", "old");
    Files withTemp = installed;
    withTemp["tmp.ini"] = "left by an earlier run\r\n";
    Files withTempList = installed;
    withTempList["langue\\temp.wb"] = RecordBytes("ancien", "old");

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
        ScratchFolder medium("fault-ro-medium");
        WriteFiles(medium.path(), c.medium);
        ScratchFolder parent("fault-ro");
        const std::string dir = parent / "dico";
        ASSERT_TRUE(MakeFolder(dir));
        WriteFiles(dir, c.before);
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
            EXPECT_FALSE(PathExists(dir + "\\langue.cf")) << c.name << ": the failed run is undone";
        } else {
            EXPECT_EQ(fatal, nullptr) << c.name << ": " << fatal->text;
        }

        // Nothing the user had is lost: every earlier file that is read-only,
        // and the catalogue, are as they were.
        const Files after = ReadFiles(dir);
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
            EXPECT_TRUE(after.at("langue\\a.tb") == ReversedWordList(FromList(), FrenchOrder)) << "the list is still built";
        }
        if (std::string(c.name) == "copy destinations") {
            EXPECT_EQ(after.at("d.txt"), "new d") << "a writable destination is copied";
        }
        for (const std::string& name : c.readOnly)
            SetFileAttributesA((dir + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// The name under which a copy to destination (a name in its folder) keeps
// its work before the move: the same in every run, so that a run takes over
// what a killed one left.
std::string CopyTemporaryName(const std::string& destination)
{
    uint32_t hash = 2166136261u;  // FNV-1a of the name in capitals
    for (char c : destination) {
        hash ^= static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        hash *= 16777619u;
    }
    char name[32];
    std::snprintf(name, sizeof name, "~lz%08lx.tmp", static_cast<unsigned long>(hash));
    return name;
}

TEST(ReadOnly, SampleMediumFromACdInstallsTwiceAsFromAWritableFolder)
{
    if (ReadOnlyFilesAreWritable())
        GTEST_SKIP() << "read-only files are writable here (root?): run through tests/fault/run_read_only";
    const char* readOnlyMedium = std::getenv("FAULT_READ_ONLY_MEDIUM");
    if (!readOnlyMedium)
        GTEST_SKIP() << "no read-only medium: run through tests/fault/run_read_only";
    const std::string cd = readOnlyMedium;
    const Files medium = ReadFiles(cd);
    ASSERT_EQ(medium, ReadFiles(BesideProgram("medium"))) << "not a copy of the sample medium";
    HANDLE written = CreateFileA((cd + "\\new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_EQ(written, INVALID_HANDLE_VALUE) << "the medium's folder can be written";
    for (const auto& [name, bytes] : medium)
        ASSERT_TRUE(IsReadOnly(cd + "\\" + name)) << name;

    // The same medium from a writable folder gives the reference.
    ScratchFolder writable("fault-rw-medium");
    WriteFiles(writable.path(), medium);
    ScratchFolder parent("fault-ro");
    const std::string referenceDir = parent / "reference";
    ASSERT_EQ(RunInstallation(writable.path(), referenceDir).exitCode, 0u);
    const Files reference = ReadFiles(referenceDir);
    ASSERT_TRUE(reference.count("langue\\anglais.tb"));

    const std::string dir = parent / "dico";
    for (int run = 1; run <= 2; ++run) {
        if (run == 2) {
            // What a run killed before its moves leaves: read-only
            // temporaries, an older program and a file not yet copied.
            WriteFileBytes(dir + "\\dico.exe", "older program");
            const std::string index = dir + "\\aide\\index.txt";
            SetFileAttributesA(index.c_str(), FILE_ATTRIBUTE_NORMAL);
            ASSERT_TRUE(DeleteFileA(index.c_str()));
            for (const std::string& left : {dir + "\\" + CopyTemporaryName("dico.exe"),
                                            dir + "\\aide\\" + CopyTemporaryName("index.txt")}) {
                WriteFileBytes(left, "left by a killed run");
                ASSERT_TRUE(SetFileAttributesA(left.c_str(), FILE_ATTRIBUTE_READONLY));
            }
        }

        InstallResult result = RunInstallation(cd, dir);
        EXPECT_EQ(result.exitCode, 0u) << "run " << run;
        for (const MessageBoxInfo& box : result.boxes)
            EXPECT_NE(box.caption, "Error") << "run " << run << ": " << box.text;

        // The same files with the same bytes, and no temporary anywhere.
        const Files installed = ReadFiles(dir);
        std::vector<std::string> names, referenceNames;
        for (const auto& file : installed)
            names.push_back(file.first);
        for (const auto& file : reference)
            referenceNames.push_back(file.first);
        EXPECT_EQ(names, referenceNames) << "run " << run;
        for (const auto& [name, bytes] : reference)
            EXPECT_TRUE(installed.count(name) && installed.at(name) == bytes) << "run " << run << ": " << name;
        EXPECT_EQ(ReadFiles(cd), medium) << "run " << run << ": the medium changed";
        EXPECT_EQ(FolderNames(parent.path()), (std::vector<std::string>{"dico", "reference"}))
            << "run " << run << ": something beside the install folder";

        // No installed file keeps the medium's read-only mark, so the next
        // installation replaces them all; each copy keeps the last-write
        // time of the file it was made from (the compressed one included).
        for (const auto& [name, bytes] : installed) {
            EXPECT_FALSE(IsReadOnly(dir + "\\" + name)) << "run " << run << ": " << name;
            const std::string stored = name.substr(0, name.size() - 1) + "_";
            const std::string source = medium.count(name) ? name : medium.count(stored) ? stored : "";
            if (!source.empty()) {
                EXPECT_EQ(LastWriteTime(dir + "\\" + name), LastWriteTime(cd + "\\" + source))
                    << "run " << run << ": " << name;
            }
        }
        if (run == 1) {
            // Older copies of a file of each command for the second run.
            for (const char* name : {"lisezmoi.txt", "langue\\anglais.wb", "sons\\fermer.wav"})
                WriteFileBytes(dir + "\\" + name, "an older version");
        }
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

    ScratchFolder medium("fault-ro-medium");
    WriteFiles(medium.path(), {{"install.inf", "avidelay 999\r\nmkdir after\r\n"}});
    ScratchFolder parent("fault-ro");
    InstallResult run = RunInstallation(medium.path(), parent / "dico");
    SetFileAttributesA(winIni.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(ReadFileBytes(winIni), before);
    EXPECT_TRUE(PathExists(parent / "dico\\after")) << "the script goes on after the failed write";
}

}  // namespace
