#include "wordlist/reverse_list.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "fake_shell.h"
#include "shell/collation.h"
#include "shell/text_file.h"
#include "support/files.h"
#include "support/word_lists.h"
#include "wordlist/key_order.h"

namespace {

// Natively the backslash is part of a file name: "langue\from.wb" is one
// file in the current folder, which is where the build looks for it.
const char kFrom[] = "langue\\from.wb";
const char kTo[] = "langue\\to.wb";
const char kTemp[] = "langue\\temp.wb";

bool OpensAsFile(const char* path)
{
    FILE* file = std::fopen(path, "rb");
    if (file)
        std::fclose(file);
    return file != nullptr;
}

class ReverseList : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetFakeShell();
        comparisonCount = 0;
        entry_ = LanguageEntry{};
        CopyText(entry_.languageName, sizeof entry_.languageName, "Anglais");
        CopyText(entry_.fromListName, sizeof entry_.fromListName, "from.wb");
        CopyText(entry_.toListName, sizeof entry_.toListName, "to.wb");
    }

    // Builds from the records and returns the TO list's records.
    std::vector<KeyValue> Build(const std::vector<KeyValue>& from)
    {
        WriteFileBytes(kFrom, ListBytes(from));
        BuildReverseList(entry_);
        EXPECT_FALSE(PathExists(kTemp));
        return ParseRecords(ReadFileBytes(kTo));
    }

    std::string FatalMessage()
    {
        return FatalMessageOf([this] { BuildReverseList(entry_); });
    }

    ScratchFolder dir_;
    ScopedCurrentFolder current_{dir_.path()};
    LanguageEntry entry_;
};

TEST_F(ReverseList, InvertsSortsAndMerges)
{
    const std::string s20a(20, 'a'), s20b(20, 'b'), s20c(20, 'c'), s6(6, 'd');
    struct Case {
        const char* what;
        std::vector<KeyValue> from;
        std::vector<KeyValue> to;
    } cases[] = {
        {"two lists, one word", {{"chat", "cat,tomcat"}, {"matou", "tomcat"}},
         {{"cat", "chat"}, {"tomcat", "chat, matou"}}},
        {"space after a comma dropped", {{"chat", "cat, tomcat"}}, {{"cat", "chat"}, {"tomcat", "chat"}}},
        {"space before a comma kept", {{"chat", "cat ,tomcat"}, {"minou", "cat"}},
         {{"cat", "minou"}, {"cat ", "chat"}, {"tomcat", "chat"}}},
        {"empty tokens", {{"chat", "cat,,tomcat,"}}, {{"cat", "chat"}, {"tomcat", "chat"}}},
        {"only commas, empty value", {{"chat", ",,,"}, {"chien", ""}}, {}},
        {"repeats stay", {{"chat", "cat,cat"}}, {{"cat", "chat, chat"}}},
        {"a key of spaces becomes empty", {{"chat", "cat, ,dog"}}, {{"", "chat"}, {"cat", "chat"}, {"dog", "chat"}}},
        {"a token over 30 characters is dropped",
         {{"chat", std::string(31, 'x') + ",cat"}}, {{"cat", "chat"}}},
        {"values up to 50 characters; a later short one still fits",
         {{s20a, "w"}, {s20b, "w"}, {s20c, "w"}, {s6, "w"}}, {{"w", s20a + ", " + s20b + ", " + s6}}},
        {"byte-equal keys merge across a case variant",
         {{"un", "chat"}, {"deux", "Chat"}, {"trois", "chat"}},
         {{"Chat", "deux"}, {"chat", "un, trois"}}},
        {"values in FROM order", {{"matou", "tomcat"}, {"chat", "tomcat"}}, {{"tomcat", "matou, chat"}}},
        {"fallback order: A-Z folded, accents after z",
         {{"x", "\xE9t\xE9,zoo,Zebre,abc"}}, {{"abc", "x"}, {"Zebre", "x"}, {"zoo", "x"}, {"\xE9t\xE9", "x"}}},
    };
    for (const Case& c : cases) {
        SetUp();
        EXPECT_EQ(Build(c.from), c.to) << c.what;
    }
}

TEST_F(ReverseList, EmptyFromListGivesAnEmptyToListAndAllSteps)
{
    EXPECT_EQ(Build({}), std::vector<KeyValue>{});
    EXPECT_TRUE(PathExists(kTo));
    EXPECT_EQ(fakeShell.progress.back(), "End");
    EXPECT_NE(std::find(fakeShell.progress.begin(), fakeShell.progress.end(), "Step 379 100%"),
              fakeShell.progress.end());
}

TEST_F(ReverseList, ProgressStepsStatusRowsAndCounters)
{
    const std::vector<std::string> expected = {
        "Begin Anglais",
        "Step 0 0%",
        "Status Reading FROM wordlist 30 480",
        "Step 64 10%",
        "Counter",
        "Done",
        "Step 117 25%",
        "Status Writing TEMP wordlist 30 480",
        "Counter",
        "Done",
        "Step 205 50%",
        "Status Reading TO wordlist 30 480",
        "Counter",
        "Done",
        "Status Sorting TO wordlist 30 400",
        "Counter",
        "Done",
        "Step 292 75%",
        "Status Writing TO wordlist 30 480",
        "Counter",
        "Done",
        "Step 379 100%",
        "End",
    };
    // One FROM record with one word: every record loop shows index 0 once.
    for (int verbose : {0, 1}) {
        SetUp();
        setup.verbose = verbose;
        Build({{"chat", "cat"}});
        EXPECT_EQ(fakeShell.progress, expected) << verbose;
        EXPECT_EQ(fakeShell.counters, (std::vector<int>{0, 0, 0, 0})) << verbose;
    }

    // 250 FROM records of two words: loads and inversion at 0, 100, 200;
    // the TEMP list of 500 at 0..400; the merge of 500 distinct keys too.
    SetUp();
    setup.verbose = 0;
    std::vector<KeyValue> from;
    for (int i = 0; i < 250; ++i)
        from.emplace_back("k" + std::to_string(1000 + i), "a" + std::to_string(1000 + i) + ",b" + std::to_string(1000 + i));
    Build(from);
    EXPECT_EQ(fakeShell.counters, (std::vector<int>{0, 100, 200, 0, 100, 200, 0, 100, 200, 300, 400,
                                                    0, 100, 200, 300, 400}));
}

std::vector<int> Every100Below(int count)
{
    std::vector<int> values;
    for (int i = 0; i < count; i += 100)
        values.push_back(i);
    return values;
}

TEST_F(ReverseList, ComparisonsAreShownEveryThousandthAndRunOnAcrossLanguages)
{
    setup.verbose = 1;
    std::vector<KeyValue> from;
    for (int i = 0; i < 3000; ++i)
        from.emplace_back("k", "w" + std::to_string((i * 7919) % 3000));
    const std::vector<int> records = Every100Below(3000);

    int32_t before = 0;
    for (int language = 0; language < 2; ++language) {
        fakeShell.counters.clear();
        Build(from);
        const int32_t after = comparisonCount;
        ASSERT_GT(after, before + 3000);
        // Loads and inversion, then every multiple of 1000 of the running
        // count (0 at the very first comparison), then the merge.
        std::vector<int> expected;
        for (int loop = 0; loop < 3; ++loop)
            expected.insert(expected.end(), records.begin(), records.end());
        for (int value = (before + 999) / 1000 * 1000; value < after; value += 1000)
            expected.push_back(value);
        expected.insert(expected.end(), records.begin(), records.end());
        EXPECT_EQ(fakeShell.counters, expected) << "language " << language;
        before = after;
    }

    // Without verbose nothing is counted or shown.
    setup.verbose = 0;
    fakeShell.counters.clear();
    Build(from);
    EXPECT_EQ(comparisonCount, before);
    EXPECT_EQ(fakeShell.counters.size(), 4 * records.size());
}

TEST_F(ReverseList, OneRecordMakesNoComparison)
{
    setup.verbose = 1;
    // Two TEMP records of one key: nothing to compare. The merged group
    // ends at index 1, so the merge shows no counter.
    Build({{"chat", "cat"}, {"chien", "cat"}});
    EXPECT_EQ(comparisonCount, 0);
    EXPECT_EQ(fakeShell.counters, (std::vector<int>{0, 0, 0}));
    Build({{"chat", "cat,dog"}});
    EXPECT_GT(comparisonCount, 0);
}

TEST_F(ReverseList, SameInputSameOutput)
{
    std::vector<KeyValue> from;
    const char* words[] = {"chat", "Chat", "CHAT", "chien", "Chien", "co-op", "coop", "l'eau", "leau", "\xE9t\xE9"};
    for (int i = 0; i < 400; ++i) {
        std::string value = words[i % 10];
        value += ",";
        value += words[(i * 7) % 10];
        from.emplace_back("k" + std::to_string(i % 37), value);
    }
    std::vector<KeyValue> first = Build(from);
    std::string bytes = ReadFileBytes(kTo);
    std::reverse(from.begin(), from.end());
    Build(from);
    std::reverse(from.begin(), from.end());
    EXPECT_EQ(Build(from), first);
    EXPECT_EQ(ReadFileBytes(kTo), bytes);
    // One record per distinct key; keys the fallback calls equal stand in
    // byte order.
    ASSERT_EQ(first.size(), 10u);
    for (size_t i = 1; i < first.size(); ++i) {
        const std::string& a = first[i - 1].first;
        const std::string& b = first[i].first;
        int order = CompareFoldedBytes(a.c_str(), b.c_str());
        EXPECT_TRUE(order < 0 || (order == 0 && a < b)) << a << " / " << b;
    }
}

TEST_F(ReverseList, FromAndToMayBeTheSameListAndNamesMayBeLong)
{
    CopyText(entry_.toListName, sizeof entry_.toListName, "from.wb");
    WriteFileBytes(kFrom, ListBytes({{"chat", "cat"}}));
    BuildReverseList(entry_);
    EXPECT_EQ(ParseRecords(ReadFileBytes(kFrom)), (std::vector<KeyValue>{{"cat", "chat"}}));

    const std::string longFrom(70, 'f'), longTo(90, 't');
    CopyText(entry_.fromListName, sizeof entry_.fromListName, longFrom.c_str());
    CopyText(entry_.toListName, sizeof entry_.toListName, longTo.c_str());
    WriteFileBytes("langue\\" + longFrom, ListBytes({{"chien", "dog"}}));
    BuildReverseList(entry_);
    EXPECT_EQ(ParseRecords(ReadFileBytes("langue\\" + longTo)), (std::vector<KeyValue>{{"dog", "chien"}}));
}

TEST_F(ReverseList, ClosingBoxTextComesFromTheDisplayFile)
{
    struct Case {
        const char* displayFile;
        const char* content;  // null: no such file
        std::string text;
    } cases[] = {
        {"", nullptr, "Installation termin\xE9" "e   "},
        {"absent.txt", nullptr, "Installation termin\xE9" "e   "},
        {"fin.txt", "Merci.\r\nBonne lecture !\r\n", "Merci.\r\nBonne lecture !\r\n"},
        {"vide.txt", "", ""},
    };
    for (const Case& c : cases) {
        SetUp();
        CopyText(setup.displayFile, sizeof setup.displayFile, c.displayFile);
        if (c.content)
            WriteFileBytes(c.displayFile, c.content);
        Build({{"chat", "cat"}});
        ASSERT_EQ(fakeShell.boxes.size(), 1u);
        EXPECT_EQ(fakeShell.boxes[0].text, c.text) << c.displayFile;
        EXPECT_EQ(fakeShell.boxes[0].caption, "Installation");
        EXPECT_EQ(fakeShell.boxes[0].owner, BoxOwner::MainWindow);
        EXPECT_EQ(fakeShell.boxes[0].icon, BoxIcon::None);
    }
}

// Failed writes: write_fault_test.cpp.
TEST_F(ReverseList, FailuresEndTheRunWithTheirMessage)
{
    struct Case {
        const char* what;
        void (*prepare)();
        std::vector<KeyValue> from;
        std::string message;
    } cases[] = {
        {"no FROM list", [] {}, {}, "Input file missing"},
        {"temp list cannot be created", [] { mkdir(kTemp, 0755); }, {{"chat", "cat"}}, "Can't create tempfile"},
        {"TO list cannot be created", [] { mkdir(kTo, 0755); }, {{"chat", "cat"}}, "Can't create output file"},
        {"FROM list unreadable", [] { mkdir(kFrom, 0755); }, {}, "Read error input file"},
    };
    for (const Case& c : cases) {
        SetUp();
        ScratchFolder dir;
        ScopedCurrentFolder current(dir.path());
        c.prepare();
        if (!c.from.empty())
            WriteFileBytes(kFrom, ListBytes(c.from));
        else if (std::string(c.what) == "FROM list unreadable" && !OpensAsFile(kFrom))
            continue;  // this system does not open folders as files
        EXPECT_EQ(FatalMessage(), c.message) << c.what;
        EXPECT_TRUE(fakeShell.boxes.empty()) << c.what;
    }
}

}  // namespace
