// The journal of a run and the record of an installation: written, read
// back from disk, and undone against a scratch folder.
#include "shell/install_record.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "shell/journal_undo.h"
#include "shell/scoped_handles.h"
#include "shell/text_file.h"
#include "support/files.h"

namespace {

// Files and folders for real; win.ini and the registry as maps.
class ScratchSystem final : public UndoSystem {
public:
    std::map<std::string, std::string> ini;  // "section\tkey" -> value
    std::map<std::string, std::string> registry;  // key, or "key\tvalue" -> data
    std::set<std::string> inUse;  // files that cannot be removed now

    bool Stamp(const std::string& path, uint64_t& size, uint64_t& time) override
    {
        return FileStamp(path.c_str(), size, time);
    }
    bool Exists(const std::string& path) override { return PathExists(path); }
    bool RemoveFile(const std::string& path) override
    {
        return inUse.count(path) == 0 && std::remove(path.c_str()) == 0;
    }
    bool MoveToFreeName(const std::string& from, const std::string& to) override
    {
        return MoveToNewName(from.c_str(), to.c_str());
    }
    bool RemoveFolder(const std::string& path) override { return rmdir(path.c_str()) == 0; }
    bool IniValue(const RecordedIniKey& key, std::string& value) override
    {
        const auto found = ini.find(key.section + '\t' + key.key);
        value = found == ini.end() ? "" : found->second;
        return found != ini.end();
    }
    void RestoreIniKey(const RecordedIniKey& key) override
    {
        if (key.hadValue)
            ini[key.section + '\t' + key.key] = key.value;
        else
            ini.erase(key.section + '\t' + key.key);
    }
    bool RemoveRegistryKey(const std::string& path) override { return registry.erase(path) > 0; }
    bool RestoreRegistryValue(const std::string& key, const std::string& name, bool had, uint32_t,
                              const std::string& data) override
    {
        if (had)
            registry[key + '\t' + name] = data;
        else
            registry.erase(key + '\t' + name);
        return true;
    }
};

RunJournal ReadJournal(const std::string& path)
{
    RunJournal journal;
    ScopedFile file(OpenTextRead(path.c_str()));
    EXPECT_TRUE(file && ReadRunJournal(file.get(), journal)) << path;
    return journal;
}

InstallRecord ReadRecord(const std::string& path)
{
    InstallRecord record;
    ScopedFile file(OpenTextRead(path.c_str()));
    EXPECT_TRUE(file && ReadInstallRecord(file.get(), record)) << path;
    return record;
}

// An installation into a folder that holds another product's files, one
// change after the other, each journaled first, as the program does it.
struct Installation {
    ScratchFolder root{"journal"};
    std::string dir = root / "dico";
    std::string journal = root / "run.jnl";
    ScratchSystem system;

    Installation()
    {
        MakeFolder(dir);
        WriteFileBytes(dir + "/dico.exe", "another product's program");
        WriteFileBytes(dir + "/big.bin", "the user's 22 bytes...");
        WriteFileBytes(dir + "/dict.ini", "[langue]\r\nfr,de,b.tb,Allemand\r\n");
        system.ini["Dictionary\tFrenchAviDelay"] = "100";
        system.registry["Uninstall"] = "";
    }

    // Each a change, or its entry alone: a kill may fall between the two.
    std::vector<std::function<void()>> Steps()
    {
        return {
            [&] { RecordFolder((dir + "/langue").c_str()); },
            [&] { MakeFolder(dir + "/langue"); },
            [&] { RecordFileToWrite((dir + "/~lz1.tmp").c_str()); },
            [&] { WriteFileBytes(dir + "/~lz1.tmp", "the medium's program"); },
            [&] { ASSERT_TRUE(RecordFileToReplace((dir + "/dico.exe").c_str())); },
            [&] { ASSERT_TRUE(MoveToNewName((dir + "/~lz1.tmp").c_str(), (dir + "/dico.exe").c_str())); },
            [&] { RecordFileWritten((dir + "/dico.exe").c_str()); },
            [&] { ASSERT_TRUE(RecordFileToReplace((dir + "/langue/a.tb").c_str())); },
            [&] { WriteFileBytes(dir + "/langue/a.tb", "a list"); },
            [&] { RecordFileWritten((dir + "/langue/a.tb").c_str()); },
            // A copy onto the user's file that fails half way.
            [&] { ASSERT_TRUE(RecordFileToReplace((dir + "/big.bin").c_str())); },
            [&] { RecordFileNotWritten((dir + "/big.bin").c_str()); },
            [&] { ASSERT_TRUE(RecordCatalogueBefore((dir + "/dict.ini").c_str())); },
            [&] { WriteFileBytes(dir + "/dict.ini", "[langue]\r\nfr,en,a.tb,Anglais\r\n"); },
            [&] { RecordIniKey({"win.ini", "Dictionary", "FrenchAviDelay", true, true, "100", {}, false}); },
            [&] { system.ini["Dictionary\tFrenchAviDelay"] = "250"; },
            [&] { RecordIniWritten("win.ini", "Dictionary", "FrenchAviDelay", "250"); },
            [&] { RecordMenuFolder((dir + "/menu").c_str()); },
            [&] { MakeFolder(dir + "/menu"); },
            [&] { ASSERT_TRUE(RecordFileToReplace((dir + "/menu/Dico.lnk").c_str())); },
            [&] { WriteFileBytes(dir + "/menu/Dico.lnk", "a shortcut"); },
            [&] { RecordFileWritten((dir + "/menu/Dico.lnk").c_str()); },
            [&] { RecordRegistryKey("Uninstall\\Dico"); },
            [&] { system.registry["Uninstall\\Dico"] = ""; },
            [&] { RecordRegistryValue("Uninstall", "Size", false, 4, ""); },
            [&] { system.registry["Uninstall\tSize"] = "4"; },
        };
    }

    Tree TreeNow() const { return ReadTree(dir); }
};

// A run killed after any step, or ended by a fatal error after the last,
// is undone from what its journal on disk holds: the folder, win.ini and
// the registry are as before, byte for byte.
TEST(Journal, ARunStoppedAfterAnyStepIsUndoneToTheStateBefore)
{
    for (size_t stop = 0; stop <= Installation().Steps().size(); ++stop) {
        Installation run;
        const Tree before = run.TreeNow();
        const auto ini = run.system.ini;
        const auto registry = run.system.registry;
        ASSERT_TRUE(OpenRunJournal(run.journal.c_str(), "r1"));
        const auto steps = run.Steps();
        for (size_t i = 0; i < stop; ++i)
            steps[i]();
        // The process ends here: what the journal handed to the system is
        // all there is (read before it is closed, which would flush it).
        const RunJournal journal = ReadJournal(run.journal);
        CloseRunJournal();
        EXPECT_FALSE(journal.committed);
        const UndoCount count = UndoEntries(journal.entries, run.system);
        EXPECT_EQ(Joined(TreeDifferences(before, run.TreeNow())), "") << "stopped after step " << stop;
        EXPECT_EQ(run.system.ini, ini) << "stopped after step " << stop;
        EXPECT_EQ(run.system.registry, registry) << "stopped after step " << stop;
        EXPECT_EQ(count.kept, 0) << "stopped after step " << stop;
        // Undoing again, as the next start does after a kill during the undo.
        UndoEntries(journal.entries, run.system);
        EXPECT_EQ(Joined(TreeDifferences(before, run.TreeNow())), "") << "undone twice after step " << stop;
    }
}

// What others changed since the run stays; what the run alone made goes.
TEST(Journal, WhatChangedSinceTheRunStays)
{
    Installation run;
    ASSERT_TRUE(OpenRunJournal(run.journal.c_str(), "r1"));
    for (const auto& step : run.Steps())
        step();
    CloseRunJournal();
    WriteFileBytes(run.dir + "/dico.exe", "the user's own build");
    run.system.ini["Dictionary\tFrenchAviDelay"] = "300";
    MakeFolder(run.dir + "/langue/user");

    const UndoCount count = UndoEntries(ReadJournal(run.journal).entries, run.system);
    EXPECT_EQ(ReadFileBytes(run.dir + "/dico.exe"), "the user's own build");
    EXPECT_EQ(run.system.ini["Dictionary\tFrenchAviDelay"], "300");
    EXPECT_FALSE(PathExists(run.dir + "/langue/a.tb"));
    EXPECT_TRUE(IsFolder(run.dir + "/langue/user"));
    EXPECT_EQ(count.kept, 3);  // the program, the key, the folder not empty
    EXPECT_EQ(FolderNames(run.dir), (std::vector<std::string>{"big.bin", "dico.exe", "dict.ini", "langue"}));
}

// A committed run leaves nothing of its journal beside its files without a
// record; with one, the record says what was there before and keeps it.
TEST(Journal, ACommittedRunGoesToItsRecordOnceAndLeavesNoCopiesWithoutOne)
{
    for (const bool keepsRecord : {false, true}) {
        Installation run;
        const std::string record = run.dir + "/" + kRecordFile;
        ASSERT_TRUE(OpenRunJournal(run.journal.c_str(), "r1"));
        if (keepsRecord) {
            ASSERT_TRUE(KeepRunInRecord(record.c_str()));
        }
        for (const auto& step : run.Steps())
            step();
        ASSERT_TRUE(CommitRunJournal());
        const RunJournal journal = ReadJournal(run.journal);
        EXPECT_TRUE(journal.committed);
        DropAsides(journal, run.system);
        // A kill after the commit: the next start appends again, in vain.
        EXPECT_TRUE(AppendRunToRecord(journal));

        std::vector<std::string> names = FolderNames(run.dir);
        if (!keepsRecord) {
            EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "dico.exe", "dict.ini", "langue", "menu"}));
            EXPECT_FALSE(PathExists(record));
            continue;
        }
        EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "desinstal.dat", "dico.exe", "dict.ini", "langue",
                                                   "menu", "~dsi0000.old"}));
        const InstallRecord read = ReadRecord(record);
        ASSERT_EQ(read.files.size(), 4u);  // the temporary, the program, the list, the shortcut
        EXPECT_TRUE(read.files[1].existedBefore && read.files[1].stamped);
        EXPECT_EQ(read.files[1].asides, (std::vector<std::string>{run.dir + "/~dsi0000.old"}));
        EXPECT_EQ(ReadFileBytes(run.dir + "/~dsi0000.old"), "another product's program");
        EXPECT_FALSE(read.files[2].existedBefore);
        ASSERT_EQ(read.iniKeys.size(), 1u);
        EXPECT_EQ(read.iniKeys[0].written, "250");
    }
}

// The uninstallation undoes its record by the same routine: after two runs
// over another product's program, its bytes come back; a file in use is
// left for a later run, which finishes; a file no run finished writing
// stays.
TEST(Journal, AnUninstallationUndoesItsRecordByTheSameRoutine)
{
    Installation run;
    const std::string record = run.dir + "/" + kRecordFile;
    for (const char* id : {"r1", "r2"}) {
        ASSERT_TRUE(OpenRunJournal(run.journal.c_str(), id));
        ASSERT_TRUE(KeepRunInRecord(record.c_str()));
        for (const auto& step : run.Steps())
            step();
        ASSERT_TRUE(CommitRunJournal());
        DropAsides(ReadJournal(run.journal), run.system);
        ASSERT_EQ(std::remove(run.journal.c_str()), 0);
    }
    WriteFileBytes(run.dir + "/user.txt", "the user's");
    WriteFileBytes(record, ReadFileBytes(record) + "file\t" + run.dir + "/user.txt\r\n");
    run.system.inUse.insert(run.dir + "/dico.exe");

    const UndoCount inUse = UndoRecord(ReadRecord(record), run.system);
    EXPECT_EQ(inUse.left, 1);
    EXPECT_EQ(ReadFileBytes(run.dir + "/dico.exe"), "the medium's program");
    run.system.inUse.clear();
    const UndoCount later = UndoRecord(ReadRecord(record), run.system);
    EXPECT_EQ(later.left, 0);
    EXPECT_EQ(later.kept, 1);  // the user's file
    EXPECT_EQ(ReadFileBytes(run.dir + "/dico.exe"), "another product's program");
    EXPECT_EQ(ReadFileBytes(run.dir + "/big.bin"), "the user's 22 bytes...");
    EXPECT_EQ(run.system.ini["Dictionary\tFrenchAviDelay"], "100");
    EXPECT_EQ(FolderNames(run.dir),
              (std::vector<std::string>{"big.bin", "desinstal.dat", "dico.exe", "dict.ini", "user.txt"}));
}

// The record holds only committed blocks, each once, and reads the lines
// of records written before blocks came.
TEST(Journal, TheRecordTakesEachCommittedBlockOnce)
{
    ScratchFolder dir;
    const std::string path = dir / kRecordFile;
    WriteFileBytes(path,
                   "name\tOld dico\r\nfolder\tc:\\dico\\old\r\n"
                   "run\ta\r\nfolder\tc:\\dico\\a\r\ncommit\ta\r\n"
                   "run\tb\r\nfolder\tc:\\dico\\b\r\n"           // a kill while appending
                   "run\tb\r\nfolder\tc:\\dico\\b\r\ncommit\tb\r\n"
                   "run\tb\r\nfolder\tc:\\dico\\b2\r\ncommit\tb\r\n"  // appended again after a kill
                   "written\t12\tx\tc:\\a\r\nini\twin.ini\tDictionary\r\nfrobnicate\tc:\\x\r\nfolder\r\n"
                   "run\tc\r\nfolder\tc:\\dico\\c\r\ncommit\tc\r\n"
                   "folder\tc:\\dico\\so");  // half an entry
    const InstallRecord record = ReadRecord(path);
    EXPECT_EQ(record.name, "Old dico");
    EXPECT_EQ(record.folders, (std::vector<std::string>{"c:\\dico\\old", "c:\\dico\\a", "c:\\dico\\b",
                                                        "c:\\dico\\c"}));
    EXPECT_TRUE(record.files.empty());
    EXPECT_TRUE(record.iniKeys.empty());

    // Two products of one folder: each reads its own blocks and those that
    // name none; removing one leaves the other's.
    WriteFileBytes(path, "run\ta\r\nname\tA\r\nfolder\tc:\\d\\a\r\ncommit\ta\r\n"
                         "run\tb\r\nname\tB\r\nfolder\tc:\\d\\b\r\ncommit\tb\r\n"
                         "run\th\r\nfolder\tc:\\d\\shared\r\ncommit\th\r\n");
    std::vector<std::string> others;
    InstallRecord a;
    {
        ScopedFile file(OpenTextRead(path.c_str()));
        ASSERT_TRUE(file && ReadInstallRecord(file.get(), a, "a", &others));
    }
    EXPECT_EQ(a.folders, (std::vector<std::string>{"c:\\d\\a", "c:\\d\\shared"}));
    EXPECT_EQ(others, (std::vector<std::string>{"B"}));
    ASSERT_TRUE(RemoveProductFromRecord(path.c_str(), "A"));
    EXPECT_EQ(ReadRecord(path).folders, (std::vector<std::string>{"c:\\d\\b", "c:\\d\\shared"}));

    // The next block starts on a line of its own.
    RunJournal next;
    next.id = "d";
    next.recordPath = path;
    next.entries.push_back({"folder", {"c:\\dico\\d"}});
    ASSERT_TRUE(AppendRunToRecord(next));
    EXPECT_EQ(ReadRecord(path).folders.back(), "c:\\dico\\d");
}

// A record others may have written names only what an installation into
// its folder can touch; anything else is dropped before the uninstallation
// acts.
TEST(Journal, ARecordActsOnlyWithinWhatAnInstallationTouches)
{
    ScratchFolder dir;
    const std::string path = dir / kRecordFile;
    WriteFileBytes(path,
                   "dir\tc:\\windows\r\n"
                   "file\tc:\\dico\\dico.exe\r\n"                      // kept
                   "file\tC:\\DICO\\langue\\a.tb\r\n"               // kept: case ignored
                   "file\tc:\\dico\\..\\windows\\win.ini\r\n"   // a step up
                   "file\tc:\\dico2\\x\r\n"                          // beside, not below
                   "file\tc:\\dico\\x:stream\r\n"                   // another stream
                   "file\tc:\\dico\\sub/../../boot.ini\r\n"
                   "aside\tc:\\dico\\y\tc:\\other\\y.old\r\n"  // its earlier bytes elsewhere
                   "folder\tc:\\dico\r\nfolder\tc:\\dico\\langue\r\nfolder\tc:\\\r\n"
                   "shortcut\tc:\\menu\\Dico\\Dico.lnk\r\nshortcut\tc:\\dico\\Dico.lnk\r\n"
                   "file\tc:\\menu\\Dico\\Dico.lnk\r\n"
                   "menufolder\tc:\\menu\\Dico\r\nmenufolder\tc:\\menu\r\n"
                   "ini\twin.ini\tdictionary\tfrenchavidelay\t1\t1\t100\r\n"
                   "ini\tsystem.ini\tboot\tshell\t1\t1\texplorer.exe\r\n"
                   "registry\tSoftware\\Uninstall\r\nregistry\tSoftware\\Uninstall\\Dico\r\n"
                   "registry\tSoftware\\Uninstall\\Other\r\nregistry\tSoftware\\Run\r\n");
    InstallRecord record = ReadRecord(path);
    KeepWithinScope(record, {"c:\\dico", "c:\\menu", {"Software\\Uninstall\\Dico"},
                             "win.ini", "Dictionary", "FrenchAviDelay"});
    std::vector<std::string> files;
    for (const RecordedFile& file : record.files)
        files.push_back(file.path);
    EXPECT_EQ(record.installDir, "c:\\dico");
    EXPECT_EQ(files, (std::vector<std::string>{"c:\\dico\\dico.exe", "C:\\DICO\\langue\\a.tb",
                                                "c:\\menu\\Dico\\Dico.lnk"}));
    EXPECT_EQ(record.folders, (std::vector<std::string>{"c:\\dico", "c:\\dico\\langue"}));
    EXPECT_EQ(record.shortcuts, (std::vector<std::string>{"c:\\menu\\Dico\\Dico.lnk"}));
    EXPECT_EQ(record.menuFolders, (std::vector<std::string>{"c:\\menu\\Dico"}));
    ASSERT_EQ(record.iniKeys.size(), 1u);
    EXPECT_EQ(record.iniKeys[0].file, "win.ini");
    EXPECT_EQ(record.registryKeys, (std::vector<std::string>{"Software\\Uninstall", "Software\\Uninstall\\Dico"}));
}

}  // namespace
