// Every write, flush, sync, close and replacement of the word list builder
// and the catalogue operations made to fail in turn. Each run must end with
// the documented message and lose nothing: every file under its final name
// holds what it held before the failing operation, or what the last complete
// step gave it.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/language_driver.h"
#include "catalogue/catalogue.h"
#include "fake_shell.h"
#include "fault_files.h"
#include "shell/text_file.h"
#include "support/files.h"
#include "support/installed_files.h"
#include "support/word_lists.h"
#include "wordlist/key_order.h"
#include "wordlist/language_entry.h"
#include "wordlist/reverse_list.h"

namespace {

// An installed catalogue: three languages, one line longer than any read
// buffer of the program.
const std::string kInstalledCatalogue =
    Catalogue("anglais.wb",
              "fr,it,langue\\italien.tb,Italien\r\n"
              "fr,en,langue\\anglais.tb,Anglais\r\n"
              "fr,xx," + std::string(400, 'x') + ",Zoulou\r\n"
              "fr,de,langue\\allemand.tb,Allemand\r\n");

// The message a failure on this file must end the run with.
std::string MessageFor(const std::string& file)
{
    if (file == "tmp.ini")
        return "Write error TMP.INI";
    if (file == "dict.ini" || file == "tmp.ini as new")
        return "Can't create DICT.INI";
    if (file == "langue\\temp.wb")
        return "Write error tempfile";
    return "Write error output file";  // the TO list
}

std::set<std::string> Lines(const std::string& text)
{
    std::set<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.insert(line);
    return lines;
}

struct Scenario {
    const char* name;
    Files before;
    std::function<int()> run;  // the operation's result, 0 when it has none
    // Final names that a failure may leave empty where nothing stood before
    // (the TO list exists, empty, from its creation on).
    std::set<std::string> mayStayEmpty;
    // A failed replacement of tmp.ini is silent and the run goes on.
    bool goesOnAfterFailedReplace = false;
    // Files that the run deletes once it reaches a phase.
    std::map<std::string, int> deletedFromPhase = {};
    // The catalogue's creation writes its template through tmp.ini too.
    const char* tmpIniMessage = "Write error TMP.INI";
};

struct Outcome {
    bool fatal = false;
    std::string message;
    int result = 0;
    Files after;
    std::vector<StepSeen> steps;
    std::vector<ReplacedFile> replaced;
};

Outcome Run(const Scenario& scenario, size_t failAt)
{
    ScratchFolder dir;
    ScopedCurrentFolder current(dir.path());
    ResetFakeShell();
    comparisonCount = 0;
    for (const auto& [name, bytes] : scenario.before)
        WriteFileBytes(name, bytes);
    ResetFileFaults(failAt);
    Outcome outcome;
    try {
        outcome.result = scenario.run();
    } catch (const FatalErrorExit& exit) {
        outcome.fatal = true;
        outcome.message = exit.message;
    }
    outcome.steps = fileFaults.steps;
    outcome.replaced = fileFaults.replaced;
    ResetFileFaults();
    outcome.after = ReadFiles(".");
    return outcome;
}

// Runs the scenario once without a fault, then once for each of its steps
// failing.
void CheckEveryStepFailing(const Scenario& s)
{
    const Outcome clean = Run(s, 0);
    ASSERT_FALSE(clean.fatal) << s.name << ": " << clean.message;
    ASSERT_FALSE(clean.steps.empty()) << s.name;
    for (const auto& [name, bytes] : clean.after)
        EXPECT_FALSE(IsTemporaryName(name)) << s.name << ": " << name << " stays after a clean run";

    std::map<std::string, int> kinds;
    for (size_t n = 1; n <= clean.steps.size(); ++n) {
        const StepSeen& step = clean.steps[n - 1];
        const std::string what = std::string(s.name) + ", step " + std::to_string(n) + " (" +
                                 FileStepName(step.kind) + " " + step.file + ")";
        ++kinds[FileStepName(step.kind)];
        const Outcome o = Run(s, n);
        ASSERT_GE(o.steps.size(), n) << what << ": the run took another road";

        const bool silentReplace = step.kind == FileStep::Replace && step.file == "tmp.ini";
        if (silentReplace) {
            EXPECT_FALSE(o.fatal) << what << ": " << o.message;
        } else {
            EXPECT_TRUE(o.fatal) << what << ": the failure went unnoticed";
            EXPECT_EQ(o.message, step.file == "tmp.ini" ? s.tmpIniMessage : MessageFor(step.file))
                << what;
        }

        if (silentReplace && s.goesOnAfterFailedReplace) {
            // Later steps differ; whatever they did, no line of the
            // catalogue and no list of the clean run may be missing.
            for (const auto& [name, bytes] : clean.after) {
                ASSERT_TRUE(o.after.count(name)) << what << ": " << name << " missing";
                if (name == "dict.ini") {
                    std::set<std::string> got = Lines(o.after.at(name));
                    for (const std::string& line : Lines(bytes))
                        EXPECT_TRUE(got.count(line)) << what << ": lost line " << line;
                } else {
                    EXPECT_TRUE(o.after.at(name) == bytes) << what << ": " << name << " differs";
                }
            }
            continue;
        }

        // Every final name holds what the last replacement before the failed
        // step put there, or what it held before.
        std::set<std::string> names;
        for (const auto& [name, bytes] : s.before)
            names.insert(name);
        for (const auto& [name, bytes] : clean.after)
            names.insert(name);
        for (const auto& [name, bytes] : o.after) {
            EXPECT_TRUE(names.count(name) || IsTemporaryName(name)) << what << ": new file " << name;
        }
        for (const std::string& name : names) {
            if (IsTemporaryName(name))
                continue;
            const std::string* expected = nullptr;
            if (s.before.count(name))
                expected = &s.before.at(name);
            for (const ReplacedFile& r : clean.replaced)
                if (r.step < n - 1 && r.target == name)
                    expected = &r.bytes;
            const auto deleted = s.deletedFromPhase.find(name);
            if (deleted != s.deletedFromPhase.end() && step.phase >= deleted->second)
                expected = nullptr;
            const auto found = o.after.find(name);
            if (!expected) {
                const bool emptyAllowed = s.mayStayEmpty.count(name) && found != o.after.end() &&
                                          found->second.empty();
                EXPECT_TRUE(found == o.after.end() || emptyAllowed)
                    << what << ": " << name << " left with " << found->second.size() << " bytes";
            } else {
                ASSERT_TRUE(found != o.after.end()) << what << ": " << name << " is gone";
                EXPECT_TRUE(found->second == *expected)
                    << what << ": " << name << " changed (" << found->second.size() << " bytes, "
                    << expected->size() << " expected)";
            }
        }
        if (silentReplace) {
            // The operation says the catalogue was not replaced, and the
            // complete new catalogue waits in tmp.ini.
            EXPECT_EQ(o.result, -1) << what;
            ASSERT_TRUE(o.after.count("tmp.ini")) << what;
            EXPECT_EQ(o.after.at("tmp.ini"), clean.after.at("dict.ini")) << what;
        }
    }
    std::cout << "[ faults   ] " << s.name << ": " << clean.steps.size() << " cases (";
    const char* separator = "";
    for (const auto& [kind, count] : kinds) {
        std::cout << separator << kind << " " << count;
        separator = ", ";
    }
    std::cout << ")\n";
}

LanguageEntry Entry(const char* language, const char* from, const char* to)
{
    LanguageEntry entry{};
    CopyText(entry.languageName, sizeof entry.languageName, language);
    CopyText(entry.fromListName, sizeof entry.fromListName, from);
    CopyText(entry.toListName, sizeof entry.toListName, to);
    return entry;
}

TEST(WriteFaults, CatalogueOperationsKeepTheCatalogue)
{
    const Scenario scenarios[] = {
        {"CreateCatalogue", {}, [] {
             CreateCatalogue("anglais.wb");
             return 0;
         }, {}, false, {}, "Can't create DICT.INI"},
        {"RemoveLanguageEntries", {{"dict.ini", kInstalledCatalogue}},
         [] { return RemoveLanguageEntries("anglais"); }, {}, false},
        {"AddLanguageEntry", {{"dict.ini", kInstalledCatalogue}},
         [] { return AddLanguageEntry("fr", "es", "langue\\espagnol.tb", "Espagnol"); }, {}, false},
        {"SortLanguageSection", {{"dict.ini", kInstalledCatalogue}},
         [] { return SortLanguageSection(CountLanguageEntries()); }, {}, false},
        {"ReplaceLanguageEntry", {{"dict.ini", kInstalledCatalogue}},
         [] { return ReplaceLanguageEntry("fr", "en", "langue\\nouveau.tb", "anglais"); }, {}, false},
    };
    for (const Scenario& s : scenarios)
        CheckEveryStepFailing(s);
}

TEST(WriteFaults, ReverseListBuildKeepsEveryList)
{
    const std::string from = ListBytes(NumberedRecords("k", 40));
    const std::string earlierTo = ListBytes(NumberedRecords("old", 3));
    const Files installed = {{"dict.ini", kInstalledCatalogue}, {"langue\\a.wb", from}};
    Files withEarlierTo = installed;
    withEarlierTo["langue\\a.tb"] = earlierTo;
    const Scenario scenarios[] = {
        {"BuildReverseList, new TO list", installed, [] {
             BuildReverseList(Entry("Anglais", "a.wb", "a.tb"));
             return 0;
         }, {"langue\\a.tb"}, false},
        {"BuildReverseList over an earlier TO list", withEarlierTo, [] {
             BuildReverseList(Entry("Anglais", "a.wb", "a.tb"));
             return 0;
         }, {}, false},
        {"BuildReverseList, FROM and TO the same list", installed, [] {
             BuildReverseList(Entry("Anglais", "a.wb", "a.wb"));
             return 0;
         }, {}, false},
    };
    for (const Scenario& s : scenarios)
        CheckEveryStepFailing(s);
}

// The word list and catalogue part of an installation over an earlier one:
// two languages built, their lines replaced, the section sorted.
TEST(WriteFaults, LanguageListRunLosesNothing)
{
    Scenario s{"language list over an earlier installation",
               {{"dict.ini", kInstalledCatalogue},
                {"langue.cf", "fr,en,langue\\anglais.tb,Anglais\r\nanglais.wb\r\nanglais.tb\r\n"
                              "fr,de,langue\\allemand.tb,Allemand\r\nallemand.wb\r\nallemand.tb\r\n"},
                {"langue\\anglais.wb", ListBytes(NumberedRecords("en", 15))},
                {"langue\\allemand.wb", ListBytes(NumberedRecords("de", 12))},
                {"langue\\anglais.tb", ListBytes(NumberedRecords("old", 2))}},
               [] {
                   ProcessLanguageList();
                   fileFaults.phase = 1;
                   int32_t count = CountLanguageEntries();
                   if (count > 1)
                       SortLanguageSection(count);
                   return 0;
               },
               {"langue\\allemand.tb"},
               true,
               {{"langue.cf", 1}}};
    CheckEveryStepFailing(s);
}

}  // namespace
