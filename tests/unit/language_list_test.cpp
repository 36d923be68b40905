#include "wordlist/language_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "fake_shell.h"
#include "reverse_list_double.h"
#include "test_files.h"

namespace {

const std::string kEnd = "# --- EOF " + std::string(56, '-') + "\r\n";

const char kWarning[] =
    "Erreur de reconnaissance des caract\xE8res.\n"
    "Le tri alphab\xE9tique ne sera pas correct.\n\n"
    "Installez la prise en charge multilingue \xE0 partir de votre CD-Rom Windows.   ";

class LanguageListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFakeShell();
        reverseListCalls.clear();
    }

    // The language lines of dict.ini, in file order.
    std::vector<std::string> SectionLines() const
    {
        std::string text = ReadFileBytes(dir_.File("dict.ini"));
        std::vector<std::string> lines;
        size_t pos = text.find("[langue]\r\n");
        if (pos == std::string::npos)
            return lines;
        pos += 10;
        for (size_t end; (end = text.find("\r\n", pos)) != std::string::npos && end > pos; pos = end + 2)
            lines.push_back(text.substr(pos, end - pos));
        return lines;
    }

    ScratchDir dir_;
    ScopedCurrentDir current_{dir_.path()};
};

std::vector<std::string> CallsMade()
{
    std::vector<std::string> calls;
    for (const ReverseListCall& call : reverseListCalls)
        calls.push_back(call.languageName + "|" + call.fromListName + "|" + call.toListName);
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
        ProcessLanguageList();
        EXPECT_EQ(CallsMade(), c.calls) << c.name;
        EXPECT_EQ(SectionLines(), c.lines) << c.name;
        EXPECT_FALSE(FileExists("langue.cf")) << c.name;
    }
}

TEST_F(LanguageListTest, CreatesTheCatalogueForTheFirstEntryBeforeItsList)
{
    WriteFileBytes("langue.cf", "p1,p2,p3,Italien\nliste1\nit-r\nq1,q2,q3,Allemand\nliste2\nde-r\n");
    ProcessLanguageList();
    ASSERT_EQ(reverseListCalls.size(), 2u);
    EXPECT_TRUE(reverseListCalls[0].catalogueExisted);
    const std::string catalogue = ReadFileBytes("dict.ini");
    EXPECT_NE(catalogue.find("[selectionn\xE9]\r\nliste1\r\n"), std::string::npos);
    EXPECT_EQ(catalogue.find("liste2"), std::string::npos);
}

TEST_F(LanguageListTest, WarnsOncePerEntryWhenFrenchCollationIsMissing)
{
    WriteFileBytes("langue.cf", "a,b,c,Un\nf1\nt1\na,b,c,Deux\nf2\nt2\na,b,c,Trois\nf3\nt3\n");
    ProcessLanguageList();
    ASSERT_EQ(fakeShell.boxes.size(), 3u);
    for (const RecordedBox& box : fakeShell.boxes) {
        EXPECT_EQ(box.owner, BoxOwner::None);
        EXPECT_EQ(box.text, kWarning);
        EXPECT_EQ(box.caption, "Installation");
        EXPECT_EQ(box.icon, BoxIcon::Warning);
    }
    EXPECT_EQ(reverseListCalls.size(), 3u);  // the lists are built all the same
}

TEST_F(LanguageListTest, ListWithoutEntriesTouchesNothingAndIsDeleted)
{
    WriteFileBytes("langue.cf", "# nothing\r\n\r\n#\r\n");
    ProcessLanguageList();
    EXPECT_TRUE(reverseListCalls.empty());
    EXPECT_TRUE(fakeShell.boxes.empty());
    EXPECT_FALSE(FileExists("dict.ini"));
    EXPECT_FALSE(FileExists("langue.cf"));
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
    };
    for (const Case& c : cases) {
        SetUp();
        std::remove("dict.ini");
        WriteFileBytes("langue.cf", c.list);
        try {
            ProcessLanguageList();
            ADD_FAILURE() << c.name << ": no fatal error";
        } catch (const FatalErrorExit& e) {
            EXPECT_EQ(e.message, c.message) << c.name;
        }
        EXPECT_EQ(reverseListCalls.size(), c.builds) << c.name;
        EXPECT_TRUE(FileExists("langue.cf")) << c.name;
        if (c.builds > 0) {
            EXPECT_EQ(SectionLines(), std::vector<std::string>{"a,b,c,Un"}) << c.name;
        }
    }
}

TEST_F(LanguageListTest, UnreadableListEndsTheRunBeforeAnything)
{
    try {
        ProcessLanguageList();
        FAIL() << "no fatal error";
    } catch (const FatalErrorExit& e) {
        EXPECT_EQ(e.message, "Can't open LANGUAGE.CF");
    }

    // A folder opens here but cannot be read; it is not deleted.
    std::filesystem::create_directory("langue.cf");
    try {
        ProcessLanguageList();
        FAIL() << "no fatal error";
    } catch (const FatalErrorExit& e) {
        EXPECT_EQ(e.message, "Read error LANGUAGE.CF");
    }
    EXPECT_TRUE(FileExists("langue.cf"));
    EXPECT_FALSE(FileExists("dict.ini"));
    EXPECT_TRUE(reverseListCalls.empty());
}

TEST_F(LanguageListTest, InstallationTwiceGivesTheWorkedExampleByteForByte)
{
    const std::string expected =
        "# --- dict.ini " + std::string(50, '-') +
        "\r\n\r\n[ajouter]\r\non\r\n\r\n[selectionn\xE9]\r\nliste1\r\n\r\n[langue]\r\n"
        "q1,q2,q3,Allemand\r\np1,p2,p3,Italien\r\n\r\n" + kEnd;
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
