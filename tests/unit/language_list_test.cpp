#include "app/language_driver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "fake_shell.h"
#include "support/files.h"
#include "support/installed_files.h"
#include "support/word_lists.h"

namespace {

const char kWarning[] =
    "Erreur de reconnaissance des caract\xE8res.\n"
    "Le tri alphab\xE9tique ne sera pas correct.\n\n"
    "Installez la prise en charge multilingue \xE0 partir de votre CD-Rom Windows.   ";

class LanguageListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFakeShell();
    }

    // The language lines of dict.ini, in file order.
    std::vector<std::string> SectionLines() const
    {
        std::string text = ReadFileBytes("dict.ini");
        std::vector<std::string> lines;
        size_t pos = text.find("[langue]\r\n");
        if (pos == std::string::npos)
            return lines;
        pos += 10;
        for (size_t end; (end = text.find("\r\n", pos)) != std::string::npos && end > pos; pos = end + 2)
            lines.push_back(text.substr(pos, end - pos));
        return lines;
    }

    ScratchFolder dir_;
    ScopedCurrentFolder current_{dir_.path()};
};

// A FROM list of one record, where the builder looks for it.
void WriteFromList(const std::string& name)
{
    WriteFileBytes("langue\\" + name, RecordBytes("chat", "cat"));
}

// The languages whose lists were built, in order, from their headings.
std::vector<std::string> BuiltLanguages()
{
    std::vector<std::string> names;
    for (const std::string& call : fakeShell.progress) {
        if (call.rfind("Begin ", 0) == 0)
            names.push_back(call.substr(6));
    }
    return names;
}

// What the builder was given, as "language|FROM|TO", for each built list:
// the FROM list was found (or the run would have ended) and the TO list made.
std::vector<std::string> CallsMade(const std::vector<std::string>& expected)
{
    std::vector<std::string> calls;
    std::vector<std::string> built = BuiltLanguages();
    for (size_t i = 0; i < built.size() && i < expected.size(); ++i) {
        size_t bar1 = expected[i].find('|');
        size_t bar2 = expected[i].find('|', bar1 + 1);
        std::string to = expected[i].substr(bar2 + 1);
        std::string from = expected[i].substr(bar1 + 1, bar2 - bar1 - 1);
        if (PathExists("langue\\" + to))
            calls.push_back(built[i] + "|" + from + "|" + to);
    }
    return calls;
}

TEST_F(LanguageListTest, GroupsUsableLinesInThreesAndSplitsTheCatalogueLine)
{
    const std::string line150 = std::string(99, 't') + "p,q,r," + std::string(45, 'N');
    struct Case {
        const char* name;
        std::string list;
        std::vector<std::string> calls;  // language|FROM|TO
        std::vector<std::string> lines;  // the [langue] section afterwards
    } cases[] = {
        {"comments and empty lines inside an entry",
         "# list\r\n\r\na,b,c,Anglais\r\n#\r\n\r\nen.wb\r\n\r\n# to\r\nen-r.wb\r\n\r\n",
         {"Anglais|en.wb|en-r.wb"},
         {"a,b,c,Anglais"}},
        {"a 150-character line is two lines",
         "a,b,c,Anglais\nen.wb\n" + line150 + "\nfrom2\nto2\n",
         {"Anglais|en.wb|" + std::string(99, 't'), std::string(45, 'N') + "|from2|to2"},
         {"a,b,c,Anglais", "p,q,r," + std::string(45, 'N')}},
        {"space before # is usable", " #x,y,z,Espagnol\nes.wb\nes-r.wb\n",
         {"Espagnol|es.wb|es-r.wb"},
         {" #x,y,z,Espagnol"}},
        {"empty field does not count", "a,,b,c,Anglais\nf\nt\n", {"Anglais|f|t"}, {"a,b,c,Anglais"}},
        {"leading commas stay on field 1", ",,a,b,c,d\nf\nt\n", {"d|f|t"}, {",,a,b,c,d"}},
        {"spaces belong to the fields", "a, b, c, Anglais\nf\nt\n", {" Anglais|f|t"},
         {"a, b, c, Anglais"}},
        {"fifth field ignored", "a,b,c,Anglais,x\nf\nt\n", {"Anglais|f|t"}, {"a,b,c,Anglais"}},
        {"the same language twice has one line", "a,b,c,Anglais\nf\nt\nd,e,f,ANGLAIS\nf\nt\n",
         {"Anglais|f|t", "ANGLAIS|f|t"},
         {"d,e,f,ANGLAIS"}},
    };
    for (const Case& c : cases) {
        SetUp();
        std::remove("dict.ini");
        WriteFileBytes("langue.cf", c.list);
        for (const std::string& call : c.calls) {
            WriteFromList(call.substr(call.find('|') + 1, call.rfind('|') - call.find('|') - 1));
            std::remove(("langue\\" + call.substr(call.rfind('|') + 1)).c_str());
        }
        ProcessLanguageList();
        EXPECT_EQ(BuiltLanguages().size(), c.calls.size()) << c.name;
        EXPECT_EQ(CallsMade(c.calls), c.calls) << c.name;
        EXPECT_EQ(SectionLines(), c.lines) << c.name;
        EXPECT_FALSE(PathExists("langue.cf")) << c.name;
    }
}

TEST_F(LanguageListTest, CreatesTheCatalogueForTheFirstEntryBeforeItsList)
{
    WriteFromList("liste1");
    WriteFromList("liste2");
    WriteFileBytes("langue.cf", "p1,p2,p3,Italien\nliste1\nit-r\nq1,q2,q3,Allemand\nliste2\nde-r\n");
    ProcessLanguageList();
    EXPECT_EQ(BuiltLanguages(), (std::vector<std::string>{"Italien", "Allemand"}));
    const std::string catalogue = ReadFileBytes("dict.ini");
    EXPECT_NE(catalogue.find("[selectionn\xE9]\r\nliste1\r\n"), std::string::npos);
    EXPECT_EQ(catalogue.find("liste2"), std::string::npos);

    // The catalogue is there before the first list is built.
    std::remove("dict.ini");
    WriteFileBytes("langue.cf", "p1,p2,p3,Italien\nmissing\nit-r\n");
    EXPECT_EQ(FatalMessageOf(ProcessLanguageList), "Input file missing");
    EXPECT_TRUE(PathExists("dict.ini"));
}

TEST_F(LanguageListTest, WarnsOncePerEntryWhenFrenchCollationIsMissing)
{
    for (const char* name : {"f1", "f2", "f3"})
        WriteFromList(name);
    WriteFileBytes("langue.cf", "a,b,c,Un\nf1\nt1\na,b,c,Deux\nf2\nt2\na,b,c,Trois\nf3\nt3\n");
    ProcessLanguageList();
    // Each entry: the warning, then its build with its closing box.
    ASSERT_EQ(fakeShell.boxes.size(), 6u);
    for (size_t i = 0; i < fakeShell.boxes.size(); i += 2) {
        const RecordedBox& box = fakeShell.boxes[i];
        EXPECT_EQ(box.owner, BoxOwner::None);
        EXPECT_EQ(box.text, kWarning);
        EXPECT_EQ(box.caption, "Installation");
        EXPECT_EQ(box.icon, BoxIcon::Warning);
        EXPECT_EQ(fakeShell.boxes[i + 1].icon, BoxIcon::None);
    }
    EXPECT_EQ(BuiltLanguages(), (std::vector<std::string>{"Un", "Deux", "Trois"}));
}

TEST_F(LanguageListTest, ListWithoutEntriesTouchesNothingAndIsDeleted)
{
    WriteFileBytes("langue.cf", "# nothing\r\n\r\n#\r\n");
    ProcessLanguageList();
    EXPECT_TRUE(fakeShell.progress.empty());
    EXPECT_TRUE(fakeShell.boxes.empty());
    EXPECT_FALSE(PathExists("dict.ini"));
    EXPECT_FALSE(PathExists("langue.cf"));
}

TEST_F(LanguageListTest, BadListsEndTheRunAndKeepWhatWasDone)
{
    struct Case {
        const char* name;
        std::string list;
        const char* message;
        size_t builds;
    } cases[] = {
        {"three fields", "a,b,c,Un\nf\nt\na,b,Deux\nf\nt\n", "Bad language line in LANGUAGE.CF", 1},
        {"only commas", "a,b,c,Un\nf\nt\n,,,,\nf\nt\n", "Bad language line in LANGUAGE.CF", 1},
        {"no TO name", "a,b,c,Un\nf\nt\na,b,c,Deux\nf\n# end\n", "Incomplete entry in LANGUAGE.CF", 1},
        {"no FROM name", "a,b,c,Un\nf\nt\na,b,c,Deux\n", "Incomplete entry in LANGUAGE.CF", 1},
        {"first entry cut", "a,b,c,Un\n", "Incomplete entry in LANGUAGE.CF", 0},
        {"FROM list named as the temporary list", "a,b,c,Un\nf\nt\na,b,c,Deux\nTEMP.WB\nt\n",
         "Bad list name in LANGUAGE.CF", 1},
        {"TO list named as the temporary list", "a,b,c,Un\nf\nt\na,b,c,Deux\nf\ntemp.wb .\n",
         "Bad list name in LANGUAGE.CF", 1},
        {"FROM list named as the temporary TO list", "a,b,c,Un\nf\nt\na,b,c,Deux\nTemp.To\nt\n",
         "Bad list name in LANGUAGE.CF", 1},
    };
    for (const Case& c : cases) {
        SetUp();
        std::remove("dict.ini");
        WriteFromList("f");
        WriteFileBytes("langue.cf", c.list);
        EXPECT_EQ(FatalMessageOf(ProcessLanguageList), c.message) << c.name;
        EXPECT_EQ(BuiltLanguages().size(), c.builds) << c.name;
        EXPECT_TRUE(PathExists("langue.cf")) << c.name;
        if (c.builds > 0) {
            EXPECT_EQ(SectionLines(), std::vector<std::string>{"a,b,c,Un"}) << c.name;
        }
    }
}

TEST_F(LanguageListTest, UnreadableListEndsTheRunBeforeAnything)
{
    EXPECT_EQ(FatalMessageOf(ProcessLanguageList), "Can't open LANGUAGE.CF");

    // A folder opens here but cannot be read; it is not deleted.
    std::filesystem::create_directory("langue.cf");
    EXPECT_EQ(FatalMessageOf(ProcessLanguageList), "Read error LANGUAGE.CF");
    EXPECT_TRUE(PathExists("langue.cf"));
    EXPECT_FALSE(PathExists("dict.ini"));
    EXPECT_TRUE(fakeShell.progress.empty());
}

TEST_F(LanguageListTest, InstallationTwiceGivesTheWorkedExampleByteForByte)
{
    const std::string expected = Catalogue("liste1", "q1,q2,q3,Allemand\r\np1,p2,p3,Italien\r\n");
    WriteFromList("liste1");
    WriteFromList("liste2");
    for (int run = 0; run < 2; ++run) {
        WriteFileBytes("langue.cf", "p1,p2,p3,Italien\r\nliste1\r\nit\r\nq1,q2,q3,Allemand\r\nliste2\r\nde\r\n");
        ProcessLanguageList();
        int32_t count = CountLanguageEntries();
        ASSERT_EQ(count, 2);
        EXPECT_EQ(SortLanguageSection(count), 0);
        EXPECT_EQ(ReadFileBytes("dict.ini"), expected) << "run " << run;
    }
}

}  // namespace
