#include "catalogue/catalogue.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fake_shell.h"
#include "shell/setup_state.h"
#include "support/files.h"
#include "support/installed_files.h"

namespace {

const std::string kEnd = kCatalogueEnd;

std::string Template(const std::string& fromListName)
{
    return Catalogue(fromListName, "");
}

// A scratch install directory, current for the test.
class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFakeShell(); }

    void WriteCatalogue(const std::string& lfText) { WriteFileBytes("dict.ini", Crlf(lfText)); }
    std::string Catalogue() const { return ReadFileBytes("dict.ini"); }
    bool TempExists() const { return PathExists("tmp.ini"); }

    ScratchFolder dir_;
    ScopedCurrentFolder current_{dir_.path()};
};

TEST_F(CatalogueTest, CreateCatalogueWritesTheTemplateOnlyWhenThereIsNone)
{
    setup.verbose = 1;
    CreateCatalogue("liste1");
    EXPECT_EQ(Catalogue(), Crlf(Template("liste1")));
    EXPECT_EQ(setup.statusY, 170 + 25);

    // An existing catalogue keeps its [selectionné] entry; statusY moves
    // all the same.
    CreateCatalogue("liste2");
    EXPECT_EQ(Catalogue(), Crlf(Template("liste1")));
    EXPECT_EQ(setup.statusY, 170 + 50);

    setup.verbose = 0;
    CreateCatalogue("liste2");
    std::remove("dict.ini");
    CreateCatalogue("liste3");
    EXPECT_EQ(Catalogue(), Crlf(Template("liste3")));
    EXPECT_EQ(setup.statusY, 170 + 50);
}

TEST_F(CatalogueTest, CreateCatalogueEndsTheRunWhenItCannotCreate)
{
    ASSERT_EQ(symlink("missing/folder/dict.ini", "dict.ini"), 0);
    EXPECT_EQ(FatalMessageOf([] { CreateCatalogue("liste1"); }), "Can't create DICT.INI");
    EXPECT_FALSE(TempExists());
}

// The template is whole or absent: it goes through tmp.ini, whatever an
// interrupted earlier run left there.
TEST_F(CatalogueTest, CreateCatalogueTakesOverALeftTemporaryFile)
{
    for (const char* left : {"", "# --- dict.ini ---\r\n\r\n[ajou", "[langue]\r\nx,y,z,Anglais\r\n"}) {
        std::remove("dict.ini");
        WriteFileBytes(dir_ / "tmp.ini", left);
        CreateCatalogue("liste1");
        EXPECT_EQ(Catalogue(), Crlf(Template("liste1"))) << left;
        EXPECT_FALSE(TempExists()) << left;
    }
}

// One catalogue with every kind of line that others may have written; the
// flag says whether RemoveLanguageEntries("Anglais") drops the line.
struct MessyLine {
    std::string text;
    bool dropped;
};

const std::string kLong = std::string(5000, 'x');

std::vector<MessyLine> MessyCatalogue()
{
    return {
        {kCatalogueHeader, false},
        {"\n", false},
        {"[ajouter]\n", false},
        {"on\n", false},
        {"Anglais\n", false},               // one field: it carries the line end
        {"\n", false},
        {"[selectionn\xE9]\n", false},
        {"liste1\n", false},
        {"Anglais,en.wb\n", true},          // two fields: first field compared
        {"\n", false},
        {"[Langue]\n", false},
        {"# commentaire,a,b,Anglais\n", true},  // a comment is a line like any other
        {"a,b,c,Anglais\n", true},
        {"a,b,c,ANGLAIS\n", true},          // A-Z case ignored
        {"a,b,c,anglais\n", true},
        {"a,b,c,Anglaise\n", false},
        {"a,b,c,\xC9" "cossais\n", false},
        {"a,b,c,Anglais,x\n", false},       // fourth field less its last letter: "Anglai"
        {"a,b,c,Anglaisx,y\n", true},       // ... here "Anglais"
        {",,p,q,r,Anglais\n", true},        // leading commas
        {"a,,b,,,c,,Anglais\n", true},      // runs of commas
        {"a, b, c, Anglais\n", false},      // " Anglais" has a space
        {"Anglais,x,y\n", true},            // three fields
        {"ANGLAIS,x\n", true},
        {",,,\n", false},                   // its one field is the line end
        {"x,y,z,Allemand\n", false},
        {kLong + ",b,c,Anglais\n", true},   // long lines are one line each
        {kLong + ",b,c,Allemand\n", false},
        {"b," + kLong + ",c,Anglais\n", true},
        {"\n", false},
        {"[langue] x\n", false},
        {"m,n,o,Anglais\n", true},
        {"\n", false},
        {"[langue]\n", false},
        {"q,r,s,Anglais\n", true},
        {"t,u,v,Anglais", false},           // no line end: "Anglai" is compared
    };
}

TEST_F(CatalogueTest, RemoveLanguageEntriesDropsExactlyTheLanguagesLines)
{
    std::string before, after;
    for (const MessyLine& line : MessyCatalogue()) {
        before += line.text;
        if (!line.dropped)
            after += line.text;
    }
    WriteCatalogue(before);
    EXPECT_EQ(RemoveLanguageEntries("Anglais"), 0);
    EXPECT_EQ(Catalogue(), Crlf(after));
    EXPECT_FALSE(TempExists());

    // Names differing in an accented letter's case are different languages.
    WriteCatalogue("[langue]\na,b,c,\xC9" "cossais\na,b,c,\xE9" "cossais\n");
    EXPECT_EQ(RemoveLanguageEntries("\xE9" "cossais"), 0);
    EXPECT_EQ(Catalogue(), Crlf("[langue]\na,b,c,\xC9" "cossais\n"));
}

TEST_F(CatalogueTest, AddLanguageEntryAppendsToEverySectionOfTheMessyCatalogue)
{
    std::string before;
    for (const MessyLine& line : MessyCatalogue())
        before += line.text;
    WriteCatalogue(before);
    EXPECT_EQ(AddLanguageEntry("f1", "f2", "f3", "Anglais"), 0);

    // [Langue], [langue] x and [langue] each get the new line after their
    // last line; the unended last line is ended first.
    std::string expected;
    for (const MessyLine& line : MessyCatalogue()) {
        if (line.text == "\n" && expected.find("[Langue]") != std::string::npos)
            expected += "f1,f2,f3,Anglais\n";
        expected += line.text;
    }
    expected += "\nf1,f2,f3,Anglais\n\n";
    EXPECT_EQ(Catalogue(), Crlf(expected));
}

TEST_F(CatalogueTest, ReplaceLanguageEntryIsRemoveThenAddInOneRewrite)
{
    std::string messy;
    for (const MessyLine& line : MessyCatalogue())
        messy += line.text;
    const std::string catalogues[] = {
        messy,
        Template("liste1"),
        "[langue]\nx,y,z,Anglais\nq,r,s,Allemand",  // the old line ends the file, unended
        "no section at all\nx,y,z,Anglais\n",
    };
    for (const std::string& catalogue : catalogues) {
        WriteCatalogue(catalogue);
        ASSERT_EQ(RemoveLanguageEntries("Anglais"), 0);
        ASSERT_EQ(AddLanguageEntry("f1", "f2", "f3", "Anglais"), 0);
        const std::string twoRewrites = Catalogue();
        WriteCatalogue(catalogue);
        EXPECT_EQ(ReplaceLanguageEntry("f1", "f2", "f3", "Anglais"), 0);
        EXPECT_EQ(Catalogue(), twoRewrites) << catalogue.substr(0, 40);
        EXPECT_FALSE(TempExists());
    }
}

TEST_F(CatalogueTest, AddLanguageEntryEndsEachSectionWithTheNewLine)
{
    const std::string add = "f1,f2,f3,Anglais\n";
    const std::string line418(418, 'y');  // once read as 209 + 209 + a lone line end
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"new template", "[langue]\n\n\n" + kEnd, "[langue]\n" + add + "\n\n" + kEnd},
        {"after the existing lines", "[langue]\na,b,c,d\n\n" + kEnd,
         "[langue]\na,b,c,d\n" + add + "\n" + kEnd},
        {"mixed case header", "[LanGue]\na\n\n", "[LanGue]\na\n" + add + "\n"},
        {"header with more after it", "[langue] x\na\n\n", "[langue] x\na\n" + add + "\n"},
        {"comment under the lines comes first", "[langue]\na\n# c\n\nz\n",
         "[langue]\na\n# c\n" + add + "\nz\n"},
        {"section to the end of the file", "[langue]\na,b,c,d\n", "[langue]\na,b,c,d\n" + add + "\n"},
        {"unended last line", "[langue]\na,b,c,d", "[langue]\na,b,c,d\n" + add + "\n"},
        {"unended header", "[langue]", "[langue]\n" + add + "\n"},
        {"one-character last line is kept", "[langue]\nx", "[langue]\nx\n" + add + "\n"},
        {"two sections", "[langue]\na\n\n[x]\n[langue]\nb\n\nz\n",
         "[langue]\na\n" + add + "\n[x]\n[langue]\nb\n" + add + "\nz\n"},
        {"second header inside a section", "[langue]\n[langue]\n\n", "[langue]\n[langue]\n" + add + "\n"},
        {"no section", "[ajouter]\non\n\n[selectionn\xE9]\nl\n", "[ajouter]\non\n\n[selectionn\xE9]\nl\n"},
        {"no section, unended", "[ajouter]\non", "[ajouter]\non"},
        {"long line stays whole", "[langue]\n" + line418 + "\n\n" + kEnd,
         "[langue]\n" + line418 + "\n" + add + "\n" + kEnd},
        {"empty file", "", ""},
    };
    for (const Case& c : cases) {
        WriteCatalogue(c.before);
        EXPECT_EQ(AddLanguageEntry("f1", "f2", "f3", "Anglais"), 0) << c.name;
        EXPECT_EQ(Catalogue(), Crlf(c.after)) << c.name;
    }

    WriteCatalogue("[langue]\n\n");
    AddLanguageEntry(",,a", " b", "c", "Anglais");
    EXPECT_EQ(Catalogue(), Crlf("[langue]\n,,a, b,c,Anglais\n\n"));
}

TEST_F(CatalogueTest, WorkedExampleByteForByteAndAgainUnchanged)
{
    auto run = [] {
        CreateCatalogue("liste1");
        RemoveLanguageEntries("Italien");
        AddLanguageEntry("p1", "p2", "p3", "Italien");
        RemoveLanguageEntries("Allemand");
        AddLanguageEntry("q1", "q2", "q3", "Allemand");
    };
    const std::string start = CatalogueHead("liste1");

    run();
    EXPECT_EQ(Catalogue(), Crlf(start + "p1,p2,p3,Italien\nq1,q2,q3,Allemand\n\n\n" + kEnd));
    ASSERT_EQ(CountLanguageEntries(), 2);
    EXPECT_EQ(SortLanguageSection(2), 0);
    const std::string sorted = Crlf(start + "q1,q2,q3,Allemand\np1,p2,p3,Italien\n\n" + kEnd);
    EXPECT_EQ(Catalogue(), sorted);
    EXPECT_NE(sorted.find("[selectionn\xE9]\r\n"), std::string::npos);
    EXPECT_EQ(std::strlen(kCatalogueHeader), 65u + 2);
    EXPECT_EQ(kEnd.size(), 66u + 2);

    run();
    ASSERT_EQ(CountLanguageEntries(), 2);
    EXPECT_EQ(SortLanguageSection(2), 0);
    EXPECT_EQ(Catalogue(), sorted);
    EXPECT_FALSE(TempExists());
}

TEST_F(CatalogueTest, SecondLangueSectionIsGatheredOnceAndLeavesNoDuplicates)
{
    // What the language list driver and the installation run do, in order.
    auto install = [] {
        ReplaceLanguageEntry("fr", "en", "langue\\anglais.tb", "Anglais");
        ReplaceLanguageEntry("fr", "de", "langue\\allemand.tb", "Allemand");
        const int32_t count = CountLanguageEntries();
        if (count > 1)
            SortLanguageSection(count);
    };
    const std::string head = "[ajouter]\non\n\n[langue]\n";
    const std::string german = "fr,de,langue\\allemand.tb,Allemand\n";
    const std::string english = "fr,en,langue\\anglais.tb,Anglais\n";
    const std::string italian = "fr,it,langue\\italien.tb,Italien\n";
    WriteCatalogue(head + german + "\n[langue]\n" + italian + "\n" + kEnd);

    // Each section got the languages of this run; the sort gathers them
    // under the first header and leaves the second out.
    install();
    EXPECT_EQ(Catalogue(), Crlf(head + german + german + english + english + italian + "\n" + kEnd));

    const std::string once = Crlf(head + german + english + italian + "\n" + kEnd);
    install();
    EXPECT_EQ(Catalogue(), once);
    install();
    EXPECT_EQ(Catalogue(), once);
}

TEST_F(CatalogueTest, CountFindsTheLinesOfExactLangueSections)
{
    struct Case {
        const char* name;
        std::string text;
        int32_t count;
    } cases[] = {
        {"template", Template("l"), 0},
        {"one line", "[langue]\na,b,c,d\n\n\n" + kEnd, 1},
        {"no section", "[ajouter]\non\n", 0},
        {"mixed case header", "[Langue]\na\nb\n", 2},
        {"prefix only does not open", "[langue] x\na\nb\n", 0},
        {"comment closes", "[langue]\na\n#\nb\n", 1},
        {"second header is a line", "[langue]\n[langue]\na\n", 2},
        {"reopened", "[langue]\na\n\n[langue]\nb\nc\n", 3},
        {"header under the lines is a line", "[langue]\na\n[autre]\nb\n", 3},
        {"long line counts once", "[langue]\n" + std::string(1000, 'z') + "\n", 1},
        {"unended last line", "[langue]\na\nb", 2},
    };
    for (const Case& c : cases) {
        WriteCatalogue(c.text);
        EXPECT_EQ(CountLanguageEntries(), c.count) << c.name;
        EXPECT_EQ(CountLanguageEntries(), c.count) << c.name << " (counted again)";
    }

    std::remove("dict.ini");
    EXPECT_EQ(CountLanguageEntries(), -1);
    ASSERT_EQ(mkdir("dict.ini", 0755), 0);  // opens, but cannot be read
    EXPECT_EQ(CountLanguageEntries(), -1);
}

TEST_F(CatalogueTest, HoldsLanguageLineFindsOnlyThatLineInALangueSection)
{
    const std::string ours = "fr,de,langue\\allemand.tb,Allemand";
    struct Case {
        const char* name;
        std::string text;
        bool holds;
    } cases[] = {
        {"among others", "[langue]\na,b,c,Anglais\n" + ours + "\n\n" + kEnd, true},
        {"unended last line", "[langue]\n" + ours, true},
        {"another product's line for the language", "[langue]\nfr,de,x.tb,Allemand\n", false},
        {"A-Z case differs", "[langue]\nfr,de,langue\\allemand.tb,ALLEMAND\n", false},
        {"longer", "[langue]\n" + ours + ",x\n", false},
        {"outside the section", "[ajouter]\n" + ours + "\n\n[langue]\n", false},
        {"after a comment closed the section", "[langue]\n#\n" + ours + "\n", false},
    };
    for (const Case& c : cases) {
        WriteCatalogue(c.text);
        EXPECT_EQ(HoldsLanguageLine(ours), c.holds) << c.name;
    }
    std::remove("dict.ini");
    EXPECT_FALSE(HoldsLanguageLine(ours)) << "no dict.ini";
}

TEST_F(CatalogueTest, LanguageLinesOfFindsTheLinesTheReplacementDropsFromTheSection)
{
    WriteCatalogue("[ajouter]\nAllemand\na,b,c,Allemand\n\n"
                   "[langue]\nfr,de,x.tb,Allemand\nfr,en,y.tb,Anglais\nq,r,s,ALLEMAND\nAllemand,z\n"
                   "t,u,v,Allemande\n#\nm,n,o,Allemand\n\n" + kEnd);
    EXPECT_EQ(LanguageLinesOf("Allemand"),
              (std::vector<std::string>{"fr,de,x.tb,Allemand", "q,r,s,ALLEMAND", "Allemand,z"}));
    EXPECT_TRUE(LanguageLinesOf("Italien").empty());
    std::remove("dict.ini");
    EXPECT_TRUE(LanguageLinesOf("Allemand").empty()) << "no dict.ini";
}

TEST_F(CatalogueTest, AddLanguageLineAddsTheLineAsItStands)
{
    WriteCatalogue("[langue]\na,b,c,Anglais\n\n" + kEnd);
    EXPECT_EQ(AddLanguageLine("fr,,de,x.tb,Allemand,extra"), 0);
    EXPECT_EQ(Catalogue(), Crlf("[langue]\na,b,c,Anglais\nfr,,de,x.tb,Allemand,extra\n\n" + kEnd));
    EXPECT_FALSE(TempExists());
}

TEST_F(CatalogueTest, SortOrdersByLanguageNameAndKeepsEverythingElse)
{
    const std::string longName = std::string(700, 'm');
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"accents after z without French",
         "[langue]\na,b,c,\xC9" "cossais\na,b,c,zoulou\na,b,c,anglais\na,b,c,Allemand\n\n\n" + kEnd,
         "[langue]\na,b,c,Allemand\na,b,c,anglais\na,b,c,zoulou\na,b,c,\xC9" "cossais\n\n" + kEnd},
        {"fewer than four fields: first field; five: fourth",
         "[langue]\nc,x\nb,y,z\na,a,a,d,a\n,,,\n\n" + kEnd,
         "[langue]\n,,,\nb,y,z\nc,x\na,a,a,d,a\n\n" + kEnd},
        {"header kept as written, unended line ended", "x\n[LANGUE]\nb,b,b,b\na,a,a,a",
         "x\n[LANGUE]\na,a,a,a\nb,b,b,b\n\n" + kEnd},
        {"long lines sort whole",
         "[langue]\n" + longName + "\n" + std::string(700, 'k') + "\n\n" + kEnd,
         "[langue]\n" + std::string(700, 'k') + "\n" + longName + "\n\n" + kEnd},
        {"a header under the lines is sorted with them", "[langue]\nz\n[autre]\nb\n\n" + kEnd,
         "[langue]\n[autre]\nb\nz\n\n" + kEnd},
        {"a further section is kept",
         "[langue]\nz\ny\n\n[autre]\nk=v\n\n" + kEnd,
         "[langue]\ny\nz\n\n[autre]\nk=v\n\n" + kEnd},
        {"lines after a closing comment are kept", "[langue]\nz\ny\n# fin\nw,w,w,w\n",
         "[langue]\ny\nz\n\n# fin\nw,w,w,w\n\n" + kEnd},
        {"second section gathered under the first, its header left out",
         "[langue]\nz\n\n[x]\n[langue]\ny\n\n" + kEnd, "[langue]\ny\nz\n\n[x]\n\n" + kEnd},
        {"prefix header gets the lines", "[langue] x\nq\n\n[langue]\nz\ny\n\n" + kEnd,
         "[langue] x\ny\nz\n\nq\n\n" + kEnd},
        {"later headers of either kind left out, all else kept",
         "[langue]\nb\na\n\n[LANGUE]\n\n[langue] x\nk=v\n\n" + kEnd,
         "[langue]\na\nb\n\nk=v\n\n" + kEnd},
    };
    for (const Case& c : cases) {
        WriteCatalogue(c.before);
        int32_t count = CountLanguageEntries();
        ASSERT_GT(count, 1) << c.name;
        EXPECT_EQ(SortLanguageSection(count), 0) << c.name;
        EXPECT_EQ(Catalogue(), Crlf(c.after)) << c.name;

        // Sorting the result again changes nothing.
        count = CountLanguageEntries();
        if (count > 1) {
            EXPECT_EQ(SortLanguageSection(count), 0) << c.name;
            EXPECT_EQ(Catalogue(), Crlf(c.after)) << c.name << " (sorted again)";
        }
    }
}

TEST_F(CatalogueTest, SortOfAChangedFileLosesNoLine)
{
    WriteCatalogue("[langue]\nc\nb\na\n\n" + kEnd);
    EXPECT_EQ(SortLanguageSection(2), 0);
    EXPECT_EQ(Catalogue(), Crlf("[langue]\na\nb\nc\n\n" + kEnd));

    std::remove("dict.ini");
    EXPECT_EQ(SortLanguageSection(2), -1);
    EXPECT_FALSE(TempExists());
}

TEST(CompareLanguageSlots, ComparesKeysOnly)
{
    LanguageSlot a{"z,z,z,Allemand", "Allemand"};
    LanguageSlot b{"a,a,a,italien", "italien"};
    LanguageSlot c{"x,x,x,ALLEMAND", "ALLEMAND"};
    EXPECT_LT(CompareLanguageSlots(&a, &b), 0);
    EXPECT_GT(CompareLanguageSlots(&b, &a), 0);
    EXPECT_EQ(CompareLanguageSlots(&a, &c), 0);
}

// Each rewrite when its temporary file cannot be made or its catalogue is
// missing. Failed writes and replacements: write_fault_test.cpp.
struct Rewrite {
    const char* name;
    int (*run)();
};
const Rewrite kRewrites[] = {
    {"remove", [] { return RemoveLanguageEntries("Italien"); }},
    {"add", [] { return AddLanguageEntry("a", "b", "c", "Anglais"); }},
    {"sort", [] { return SortLanguageSection(2); }},
    {"replace", [] { return ReplaceLanguageEntry("a", "b", "c", "Italien"); }},
};

std::string Unsorted()
{
    return Crlf(CatalogueHead("liste1") + "p1,p2,p3,Italien\nq1,q2,q3,Allemand\n\n\n" + kEnd);
}

TEST_F(CatalogueTest, TempFileThatCannotBeCreatedEndsTheRun)
{
    for (const Rewrite& rewrite : kRewrites) {
        WriteFileBytes("dict.ini", Unsorted());
        ASSERT_EQ(mkdir("tmp.ini", 0755), 0);
        EXPECT_EQ(FatalMessageOf(rewrite.run), "Can't open TMP.INI") << rewrite.name;
        EXPECT_EQ(Catalogue(), Unsorted()) << rewrite.name;
        rmdir("tmp.ini");
    }
}

TEST_F(CatalogueTest, MissingCatalogueEndsTheLanguageLineOperations)
{
    for (const Rewrite& rewrite : kRewrites) {
        if (rewrite.run == kRewrites[2].run)
            continue;  // the sort returns -1 instead, tested above
        EXPECT_EQ(FatalMessageOf(rewrite.run), "Can't open DICT.INI") << rewrite.name;
        EXPECT_FALSE(PathExists("dict.ini"));
    }
}

}  // namespace
