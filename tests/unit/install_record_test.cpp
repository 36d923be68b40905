#include "shell/install_record.h"

#include <gtest/gtest.h>

#include <string>

#include "shell/scoped_handles.h"
#include "shell/text_file.h"
#include "support/files.h"

namespace {

InstallRecord ReadBack(const std::string& path)
{
    InstallRecord record;
    ScopedFile file(OpenTextRead(path.c_str()));
    EXPECT_TRUE(file && ReadInstallRecord(file.get(), record)) << path;
    return record;
}

std::string Stamped(const RecordedFile& file)
{
    return file.path + (file.stamped ? " " + std::to_string(file.size) : " -");
}

std::vector<std::string> FilesOf(const InstallRecord& record)
{
    std::vector<std::string> files;
    for (const RecordedFile& file : record.files)
        files.push_back(Stamped(file));
    return files;
}

// Two installations into the same directory, the second one killed while
// it wrote an entry: what both did is read back once, the first values of
// what both changed are kept, and the half entry is passed over.
TEST(InstallRecord, TwoRunsAndAKilledOneReadBackAsOneRecord)
{
    ScratchFolder dir;
    const std::string path = dir / kRecordFile;
    const std::string a = dir / "a.exe", b = dir / "b.txt", temp = dir / "~lz1.tmp";
    WriteFileBytes(a, "12345");
    WriteFileBytes(b, "xy");

    ASSERT_TRUE(OpenInstallRecord(path.c_str()));
    RecordProduct("Mon dico", "Dictionnaire\tbilingue", "c:\\dico");
    RecordInstallDirMade();
    RecordFolder("c:\\dico\\langue");
    RecordFileToWrite(temp.c_str());
    RecordFileToWrite(a.c_str());
    RecordFileWritten(a.c_str());
    RecordFileToWrite(b.c_str());
    RecordFileNotWritten(b.c_str());  // the copy failed: b.txt is not ours
    RecordIniKey({"win.ini", "Dictionary", "FrenchAviDelay", true, true, "100"});
    RecordCatalogueMade();
    RecordReplacedCatalogueLine("fr,de,langue\\deutsch.tb,Allemand");  // another product's
    RecordCatalogueLine("fr,de,langue\\allemand.tb,Allemand");
    RecordMenuFolder("c:\\menu\\Dictionnaire");
    RecordShortcut("c:\\menu\\Dictionnaire\\Dico.lnk");
    RecordRegistryKey("Software\\Uninstall");
    RecordRegistryKey("Software\\Uninstall\\Mon dico");
    CloseInstallRecord();

    // The second run, under a new name: the same key again keeps its first
    // value; a file the first run wrote keeps its size when a later copy fails.
    ASSERT_TRUE(OpenInstallRecord(path.c_str()));
    RecordProduct("Dico 2", "Dictionnaire\tbilingue", "c:\\dico");
    EXPECT_TRUE(IniKeyRecorded("WIN.INI", "dictionary", "frenchavidelay"));
    RecordIniKey({"win.ini", "Dictionary", "FrenchAviDelay", true, true, "250"});
    RecordFolder("C:\\DICO\\LANGUE");
    RecordFileToWrite(a.c_str());
    RecordFileNotWritten(a.c_str());
    RecordFileToWrite(b.c_str());
    WriteFileBytes(b, "xyz");
    RecordFileWritten(b.c_str());
    RecordReplacedCatalogueLine("FR,DE,LANGUE\\ALLEMAND.TB,ALLEMAND");  // the first run's: ours
    RecordReplacedCatalogueLine("fr,de,langue\\deutsch.tb,Allemand");     // once is enough
    RecordCatalogueLine("fr,it,langue\\italien.tb,Italien");
    CloseInstallRecord();
    // Killed in the middle of an entry.
    WriteFileBytes(path, ReadFileBytes(path) + "folder\tc:\\dico\\so");

    // The third run starts its entries on a line of their own.
    ASSERT_TRUE(OpenInstallRecord(path.c_str()));
    RecordProduct("MON DICO", "Dictionnaire\tbilingue", "c:\\dico");
    RecordFolder("c:\\dico\\aide");
    CloseInstallRecord();

    const InstallRecord record = ReadBack(path);
    // The list shows the latest name; every entry made goes.
    EXPECT_EQ(record.name, "MON DICO");
    EXPECT_EQ(record.names, (std::vector<std::string>{"Mon dico", "Dico 2"}));
    EXPECT_EQ(record.title, "Dictionnaire\tbilingue");
    EXPECT_EQ(record.installDir, "c:\\dico");
    EXPECT_TRUE(record.madeInstallDir);
    EXPECT_EQ(record.folders, (std::vector<std::string>{"c:\\dico\\langue", "c:\\dico\\aide"}));
    EXPECT_EQ(FilesOf(record), (std::vector<std::string>{temp + " -", a + " 5", b + " 3"}));
    ASSERT_EQ(record.iniKeys.size(), 1u);
    EXPECT_EQ(record.iniKeys[0].value, "100");
    EXPECT_TRUE(record.iniKeys[0].hadSection && record.iniKeys[0].hadValue);
    EXPECT_TRUE(record.catalogueMade);
    EXPECT_EQ(record.catalogueLines, (std::vector<std::string>{"fr,de,langue\\allemand.tb,Allemand",
                                                                "fr,it,langue\\italien.tb,Italien"}));
    EXPECT_EQ(record.replacedCatalogueLines, (std::vector<std::string>{"fr,de,langue\\deutsch.tb,Allemand"}));
    EXPECT_EQ(record.menuFolders, (std::vector<std::string>{"c:\\menu\\Dictionnaire"}));
    EXPECT_EQ(record.shortcuts, (std::vector<std::string>{"c:\\menu\\Dictionnaire\\Dico.lnk"}));
    EXPECT_EQ(record.registryKeys,
              (std::vector<std::string>{"Software\\Uninstall", "Software\\Uninstall\\Mon dico"}));
    // CR LF on disk, as every text file of the program.
    const std::string bytes = ReadFileBytes(path), last = "\nfolder\tc:\\dico\\aide\r\n";
    ASSERT_GT(bytes.size(), last.size());
    EXPECT_EQ(bytes.substr(bytes.size() - last.size()), last);
}

TEST(InstallRecord, MalformedEntriesAndAMissingRecordChangeNothing)
{
    ScratchFolder dir;
    const std::string path = dir / kRecordFile;
    WriteFileBytes(path,
                   "written\t12\tx\tc:\\a\r\n"        // a size that is no number
                   "written\t99999999999999999999\t1\tc:\\a\r\n"  // too large
                   "ini\twin.ini\tDictionary\r\n"     // fields missing
                   "unwritten\tc:\\never\r\n"
                   "frobnicate\tc:\\x\r\n"
                   "folder\r\n"
                   "name\r\n");
    const InstallRecord record = ReadBack(path);
    EXPECT_TRUE(record.files.empty());
    EXPECT_TRUE(record.iniKeys.empty());
    EXPECT_TRUE(record.folders.empty());
    EXPECT_EQ(record.name, "");

    // Without an open record every entry is dropped, and nothing is made.
    RecordFolder((dir / "x").c_str());
    EXPECT_FALSE(InstallRecordIsOpen());
    EXPECT_FALSE(OpenInstallRecord((dir / "missing" + kSeparator + "record").c_str()));
    EXPECT_FALSE(PathExists(dir / "missing"));
}

}  // namespace
