// Installations and uninstallations killed at seeded points, then started
// again. A killed installation is undone by the next start: the folder, the
// program menu, win.ini and the registry are as before it; the catalogue is
// never seen half written; a complete run then gives the same tree, byte
// for byte, as one never interrupted. A killed uninstallation, run again,
// ends as before the installation.
//
// The kill points come from a seeded generator; the seed and the number of
// runs are printed and may be set with SETUP_CRASH_SEED and SETUP_CRASH_RUNS.
// Where a kill lands depends on the machine; the checks hold wherever it does.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver.h"
#include "outside.h"
#include "support/installed_files.h"
#include "support/shortcuts.h"
#include "support/word_lists.h"

namespace {

constexpr int kLanguages = 3;
constexpr DWORD kRunTimeoutMs = 300000;

const char kShortcutName[] = "\\Dictionnaire\\Dictionnaire bilingue.lnk";

// Languages sort by name: Allemand, Anglais, Italien.
const char* const kLanguageLines[kLanguages] = {
    "fr,de,langue\\allemand.tb,Allemand",
    "fr,en,langue\\anglais.tb,Anglais",
    "fr,it,langue\\italien.tb,Italien",
};

const std::string kCatalogueHead = CatalogueHead("anglais.wb");

// A generated FROM list of the third language: Italian-looking keys, each
// with one to four French-looking words from a shared pool, so that the
// reversed list merges many values. Accents, capitals, hyphens, apostrophes
// and a space after some commas come in as in real lists.
std::string GeneratedFromList(size_t records)
{
    std::mt19937 random(7);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    const char* const italian[] = {"ca", "pe", "ri", "to", "lu", "ma", "ne", "so", "di", "vo",
                                   "gra", "sta", "chi", "gli", "bel", "for", "tu", "an", "zi",
                                   "p\xF2", "cit", "t\xE0", "ver", "de", "ros", "sa", "mi", "\xE8"};
    const char* const french[] = {"pr\xE9", "mai", "son", "ch\xE2", "teau", "l'", "co-", "op",
                                  "c\xF4t", "\xE9", "gar", "\xE7on", "ri", "vi", "\xE8re", "bl",
                                  "eu", "oi", "re", "te", "ma", "No", "\xC9t", "for", "\xEAt",
                                  "pa", "ille", "cr", "o\xEE", "tre"};
    std::vector<std::string> pool;
    std::set<std::string> seen;
    while (pool.size() < 1500) {
        std::string word;
        for (size_t n = 2 + pick(3); n > 0; --n)
            word += french[pick(sizeof french / sizeof *french)];
        if (word.size() <= 20 && seen.insert(word).second)
            pool.push_back(word);
    }
    std::string bytes;
    seen.clear();
    while (bytes.size() < records * 84) {
        std::string key;
        for (size_t n = 2 + pick(4); n > 0; --n)
            key += italian[pick(sizeof italian / sizeof *italian)];
        if (key.size() > 30 || !seen.insert(key).second)
            continue;
        std::string value = pool[pick(pool.size())];
        for (size_t n = pick(4); n > 0; --n) {
            std::string more = (pick(4) == 0 ? ", " : ",") + pool[pick(pool.size())];
            if (value.size() + more.size() <= 50)
                value += more;
        }
        bytes += RecordBytes(key, value);
    }
    return bytes;
}

// The sample medium with a third language.
struct ThreeLanguageMedium {
    ScratchFolder folder{"crash-medium"};
    ThreeLanguageMedium()
    {
        CopyTree(BesideProgram("medium"), folder.path());
        WriteFileBytes(folder / "langue\\italien.wb", GeneratedFromList(60000));
        std::string list = ReadFileBytes(folder / "langue.cf");
        if (!list.empty() && list.back() != '\n')
            list += "\r\n";
        WriteFileBytes(folder / "langue.cf",
                       list + "\r\n" + kLanguageLines[2] + "\r\nitalien.wb\r\nitalien.tb\r\n");
        ResealIfSealed(folder.path());
    }
};

// Empty when bytes are a whole catalogue as the installation writes it at
// some point: the head, some of the languages' lines, each once, one or two
// empty lines and the end comment as the file's last line. Otherwise why not.
std::string WhyNotCompleteCatalogue(const std::string& bytes)
{
    const std::string& head = kCatalogueHead;
    if (bytes.compare(0, head.size(), head) != 0)
        return "the head differs";
    const std::string end = kCatalogueEnd;
    if (bytes.size() < head.size() + end.size() ||
        bytes.compare(bytes.size() - end.size(), end.size(), end) != 0)
        return "it does not end with the end comment";
    std::set<std::string> languages;
    size_t pos = head.size();
    const size_t endAt = bytes.size() - end.size();
    int emptyLines = 0;
    while (pos < endAt) {
        size_t lineEnd = bytes.find("\r\n", pos);
        if (lineEnd == std::string::npos || lineEnd + 2 > endAt)
            return "a line without its line end";
        const std::string line = bytes.substr(pos, lineEnd - pos);
        pos = lineEnd + 2;
        if (line.empty()) {
            ++emptyLines;
            continue;
        }
        if (emptyLines > 0)
            return "a line after the section's end: " + line;
        bool known = false;
        for (const char* language : kLanguageLines)
            known = known || line == language;
        if (!known)
            return "an unknown language line: " + line;
        if (!languages.insert(line).second)
            return "a language line twice: " + line;
    }
    if (emptyLines < 1 || emptyLines > 2)
        return std::to_string(emptyLines) + " empty lines before the end comment";
    return "";
}

size_t LanguageLineCount(const std::string& catalogue)
{
    size_t count = 0;
    for (const char* language : kLanguageLines)
        count += catalogue.find(std::string("\r\n") + language + "\r\n") != std::string::npos;
    return count;
}

// What a file looks like from outside, to see it change.
struct FileState {
    bool exists = false;
    ULONGLONG size = 0;
    FILETIME written = {};
    bool operator!=(const FileState& other) const
    {
        return exists != other.exists || size != other.size ||
               CompareFileTime(&written, &other.written) != 0;
    }
};

FileState StateOf(const std::string& path)
{
    FileState state;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        state.exists = true;
        state.size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        state.written = data.ftLastWriteTime;
    }
    return state;
}

bool AnyCopyTemporary(const std::string& dir)
{
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((dir + "\\~lz*.tmp").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

// When the kill comes: once the run has shown a number of closing boxes,
// after a delay, at the n-th time a file is seen to appear or change, once
// n files are gone, or once something outside the folder has changed.
enum class Watch { Delay, CatalogueChange, CatalogueTemp, ListTemp, CopyTemp, FilesGone, OutsideChanged };

const char* WatchName(Watch watch)
{
    switch (watch) {
    case Watch::Delay: return "delay";
    case Watch::CatalogueChange: return "dict.ini changed";
    case Watch::CatalogueTemp: return "tmp.ini appeared";
    case Watch::ListTemp: return "langue\\temp.wb appeared";
    case Watch::CopyTemp: return "a copy's ~lz*.tmp appeared";
    case Watch::FilesGone: return "file gone";
    case Watch::OutsideChanged: return "change outside";
    }
    return "";
}

struct KillPoint {
    int afterBoxes = 0;
    Watch watch = Watch::Delay;
    DWORD delayMs = 0;  // Watch::Delay
    int occurrence = 1; // the watches of files

    std::string Describe() const
    {
        std::string text = "after " + std::to_string(afterBoxes) + " closing box(es), ";
        if (watch == Watch::Delay)
            return text + "+" + std::to_string(delayMs) + " ms";
        if (watch == Watch::OutsideChanged)
            return text + "at the first " + WatchName(watch);
        return text + "at #" + std::to_string(occurrence) + " " + WatchName(watch);
    }
};

// The shortcut, the entry in the list and win.ini's value, in one text.
std::string OutsideMarks()
{
    char delay[64] = "";
    GetPrivateProfileStringA("Dictionary", "FrenchAviDelay", "", delay, sizeof delay, "win.ini");
    return std::to_string(PathExists(GroupFolder() + "\\" + kProductName + ".lnk")) +
           std::to_string(KeyThere(EntryKey(kProductName))) + delay;
}

// Counts what the watch looks for, one poll at a time. The watches look
// without opening any folder: a folder held open while a run removes it
// stays behind, under Wine as on Windows, and that would be the watch's
// doing.
class Watcher {
public:
    Watcher(const KillPoint& point, const std::string& dir, const std::vector<std::string>& files)
        : point_(point), dir_(dir), files_(files)
    {
        start_ = GetTickCount();
        catalogue_ = StateOf(dir + "\\dict.ini");
        gone_ = Gone();
        marks_ = OutsideMarks();
    }

    bool Due()
    {
        switch (point_.watch) {
        case Watch::Delay:
            return GetTickCount() - start_ >= point_.delayMs;
        case Watch::CatalogueChange: {
            FileState now = StateOf(dir_ + "\\dict.ini");
            if (now != catalogue_) {
                catalogue_ = now;
                ++seen_;
            }
            break;
        }
        case Watch::CatalogueTemp: Appeared(PathExists(dir_ + "\\tmp.ini")); break;
        case Watch::ListTemp: Appeared(PathExists(dir_ + "\\langue\\temp.wb")); break;
        case Watch::CopyTemp: Appeared(AnyCopyTemporary(dir_)); break;
        case Watch::FilesGone: seen_ = Gone() - gone_; break;
        case Watch::OutsideChanged: return OutsideMarks() != marks_;
        }
        return seen_ >= point_.occurrence;
    }

private:
    void Appeared(bool present)
    {
        seen_ += present && !present_;
        present_ = present;
    }

    int Gone() const
    {
        return static_cast<int>(std::count_if(files_.begin(), files_.end(),
                                              [](const std::string& path) { return !PathExists(path); }));
    }

    KillPoint point_;
    std::string dir_;
    std::vector<std::string> files_;  // Watch::FilesGone
    DWORD start_ = 0;
    FileState catalogue_;
    std::string marks_;
    bool present_ = false;
    int gone_ = 0;
    int seen_ = 0;
};

// Whether the last run committed: its journal is gone from the temporary
// folder, or holds its end line (a kill between the two).
bool LastRunCommitted()
{
    char temp[MAX_PATH] = "";
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
        return false;
    for (const std::string& name : FolderNames(std::string(temp, length - 1))) {
        if (name.compare(0, 3, "dsj") == 0 && name.size() > 4 && name.substr(name.size() - 4) == ".tmp" &&
            ReadFileBytes(temp + name).find("\ncommit\t") == std::string::npos)
            return false;
    }
    return true;
}

struct RunResult {
    bool killed = false;
    DWORD exitCode = STILL_ACTIVE;
    int closingBoxes = 0;
    // When the program worked, in ms after Enter: from Enter or from the
    // moment a closing box had gone to the next box or the end. The boxes
    // themselves stay up a while under Wine, and nothing happens meanwhile.
    std::vector<DWORD> workStart{0}, workEnd;
    DWORD endTime = 0;
    std::string failure;  // no window, an unexpected box, no end
};

// Watches a started run to its end, answering every closing box; with a
// kill point, kills it there (unless it ends first).
void RunUntil(SetupProcess& setup, const std::string& dir, const KillPoint* kill, RunResult& result)
{
    const DWORD start = GetTickCount();
    std::unique_ptr<Watcher> watcher;
    HWND answered = nullptr;
    bool boxUp = false;
    for (;;) {
        if (boxUp && !IsWindow(answered)) {
            boxUp = false;
            result.workStart.push_back(GetTickCount() - start);
        }
        // The kill is armed once the chosen box has gone.
        if (kill && !watcher && result.closingBoxes >= kill->afterBoxes && !boxUp) {
            std::vector<std::string> files;
            if (kill->watch == Watch::FilesGone && IsFolder(dir)) {
                for (const auto& file : ReadFiles(dir))
                    files.push_back(dir + "\\" + file.first);
            }
            watcher = std::make_unique<Watcher>(*kill, dir, files);
        }
        if (watcher && watcher->Due()) {
            result.killed = setup.Kill();
            if (!result.killed)
                result.exitCode = setup.WaitForExit(0);
            break;
        }
        const DWORD exitCode = setup.WaitForExit(0);
        if (exitCode != STILL_ACTIVE) {
            result.exitCode = exitCode;
            break;
        }
        HWND box = setup.FindWindowOfClass("#32770");
        if (box && box != answered) {
            result.workEnd.push_back(GetTickCount() - start);
            const std::string caption = ControlText(box);
            const std::string text = ControlText(GetDlgItem(box, 0xFFFF));
            if (caption != "Installation" && result.failure.empty())
                result.failure = "box \"" + caption + "\": " + text;
            MessageBoxInfo info;
            info.handle = box;
            AnswerMessageBox(info);
            answered = box;
            boxUp = true;
            ++result.closingBoxes;
        }
        if (GetTickCount() - start > kRunTimeoutMs) {
            result.failure = "no end after " + std::to_string(kRunTimeoutMs / 1000) + " s";
            break;
        }
        // The file watches poll as fast as they can: the windows they look
        // for are short.
        if (!watcher || kill->watch == Watch::Delay)
            Sleep(1);
    }
    result.endTime = GetTickCount() - start;
    if (result.workEnd.size() < result.workStart.size())
        result.workEnd.push_back(result.endTime);
}

// One attended run of setup.exe on the medium into dir.
RunResult RunSetup(const std::string& medium, const std::string& dir, const KillPoint* kill)
{
    RunResult result;
    SetupProcess setup(medium);
    HWND window = setup.WaitForWindow("Installation");
    if (!window) {
        result.failure = "no window";
        return result;
    }
    if (!TypeIntoField(setup, ControlById(window, kField), dir)) {
        result.failure = "the directory could not be typed";
        return result;
    }
    PressKey(VK_RETURN);
    RunUntil(setup, dir, kill, result);
    return result;
}

// setup.exe /uninstall=DIR /verysilent, started from another folder.
RunResult RunUninstallation(const std::string& dir, const KillPoint& kill)
{
    RunResult result;
    ScratchFolder elsewhere("uninstall-cwd");
    SetupProcess setup(elsewhere.path(), SetupExePath(), "\"/uninstall=" + dir + "\" /verysilent", false);
    RunUntil(setup, dir, &kill, result);
    return result;
}

struct Installed {
    Shortcut shortcut;
    std::string aviDelay;
};

Installed ReadInstalledOutside()
{
    Installed installed;
    installed.shortcut = ReadShortcut(ProgramMenuFolder() + kShortcutName);
    char delay[64] = "";
    GetPrivateProfileStringA("Dictionary", "FrenchAviDelay", "", delay, sizeof delay, "win.ini");
    installed.aviDelay = delay;
    return installed;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    if (!from.empty() && text.compare(0, from.size(), from) == 0)
        text.replace(0, from.size(), to);
    return text;
}

TEST(KilledRuns, AnInstallationKilledAnywhereIsUndoneByTheNextStartThenRunAgainGivesTheSameTree)
{
    const auto [seed, runs] = SeededRunsFromEnvironment(20261207, 10);
    RecordProperty("seed", static_cast<int>(seed));
    OutsideForTheTest outsideFound(Before::Nothing);

    ThreeLanguageMedium medium;
    const std::string& mediumPath = medium.folder.path();

    // The uninterrupted run.
    ScratchFolder referenceParent("crash-reference");
    const std::string referenceDir = referenceParent / "dico";
    RunResult reference = RunSetup(mediumPath, referenceDir, nullptr);
    ASSERT_EQ(reference.failure, "");
    ASSERT_EQ(reference.exitCode, 0u);
    ASSERT_EQ(reference.closingBoxes, kLanguages);
    const Tree expected = ReadTree(referenceDir);
    const Installed expectedOutside = ReadInstalledOutside();
    std::printf("uninterrupted run: %zu files, %zu folders; the program worked", expected.files.size(),
                expected.folders.size());
    for (size_t i = 0; i < reference.workStart.size() && i < reference.workEnd.size(); ++i)
        std::printf(" %lu-%lu", reference.workStart[i], reference.workEnd[i]);
    std::printf(" ms after Enter\n");

    // It is right: what the installation must leave, and nothing else.
    ASSERT_TRUE(expected.files.count("dict.ini"));
    EXPECT_EQ(expected.files.at("dict.ini"), kCatalogueHead + kLanguageLines[0] + "\r\n" + kLanguageLines[1] +
                                                 "\r\n" + kLanguageLines[2] + "\r\n\r\n" + kCatalogueEnd);
    for (const char* language : {"anglais", "allemand", "italien"}) {
        const std::string to = std::string("langue\\") + language + ".tb";
        ASSERT_TRUE(expected.files.count(to)) << to;
        EXPECT_TRUE(expected.files.at(to) ==
                    ReversedWordList(ReadFileBytes(mediumPath + "\\langue\\" + language + ".wb"), FrenchOrder))
            << to;
    }
    for (const char* gone : {"langue.cf", "tmp.ini", "langue\\temp.wb"})
        EXPECT_FALSE(expected.files.count(gone)) << gone;
    EXPECT_FALSE(AnyCopyTemporary(referenceDir));
    ASSERT_TRUE(expectedOutside.shortcut.loaded);
    EXPECT_TRUE(SameTextIgnoringCase(expectedOutside.shortcut.target, referenceDir + "\\dico.exe"));
    EXPECT_EQ(expectedOutside.aviDelay, "250");

    // The working time of each stage of the uninterrupted run: delays are
    // drawn over it, so kills fall all along the work on a slow machine as
    // on a fast one.
    ASSERT_EQ(reference.workStart.size(), static_cast<size_t>(kLanguages + 1));
    ASSERT_EQ(reference.workEnd.size(), static_cast<size_t>(kLanguages + 1));
    std::vector<DWORD> stageLength;
    for (size_t i = 0; i < reference.workStart.size(); ++i)
        stageLength.push_back(reference.workEnd[i] - reference.workStart[i]);

    int kills = 0, endedFirst = 0, halfWritten = 0, lost = 0, differing = 0;
    std::map<std::string, int> leftAfterKill;
    for (unsigned run = 0; run < runs; ++run) {
        std::mt19937 random(seed + run);
        const bool onEarlierInstall = random() % 4 != 0;
        const int attempts = random() % 3 == 0 ? 2 : 1;
        std::string story = "run " + std::to_string(run) + " (SETUP_CRASH_SEED=" +
                            std::to_string(seed + run) + " SETUP_CRASH_RUNS=1): " +
                            (onEarlierInstall ? "over an earlier installation" : "fresh folder");

        OutsideForTheTest cleared(Before::Nothing);
        ScratchFolder parent("crash");
        const std::string dir = parent / "dico";
        if (onEarlierInstall)
            CopyTree(referenceDir, dir);
        // Each start undoes the run killed before it: the catalogue a kill
        // leaves is the one from before the first run, or a whole one.
        Snapshot snapshotBefore = Take(parent.path());
        FileState before = StateOf(dir + "\\dict.ini");
        std::string catalogueBefore = before.exists ? ReadFileBytes(dir + "\\dict.ini") : "";

        bool lastKilled = false;
        for (int attempt = 0; attempt < attempts; ++attempt) {
            KillPoint point;
            point.watch = static_cast<Watch>(random() % 5);  // the installation's watches
            // Copies come before the first box, list builds before the last.
            const int lastStage = point.watch == Watch::CopyTemp   ? 0
                                  : point.watch == Watch::ListTemp ? kLanguages - 1
                                                                   : kLanguages;
            point.afterBoxes = static_cast<int>(random() % (lastStage + 1));
            const DWORD span = stageLength[static_cast<size_t>(point.afterBoxes)];
            point.delayMs = static_cast<DWORD>(random() % (span + span / 2 + 1));
            point.occurrence = 1 + static_cast<int>(random() % 3);

            RunResult cut = RunSetup(mediumPath, dir, &point);
            story += "\n  kill " + point.Describe() + ": ";
            EXPECT_EQ(cut.failure, "") << story;
            // A kill after the run committed ends a whole installation:
            // its journal is gone, and nothing is left to undo.
            const bool committed = cut.killed && LastRunCommitted();
            lastKilled = cut.killed && !committed;
            if (cut.killed) {
                ++kills;
                story += "killed after " + std::to_string(cut.endTime) + " ms, " +
                         std::to_string(cut.closingBoxes) + " box(es)" + (committed ? ", after its commit" : "");
            }
            if (committed) {
                // Then it must have left a whole installation.
                EXPECT_EQ(Joined(TreeDifferences(expected, ReadTree(dir))), "") << story;
                snapshotBefore = Take(parent.path());
                before = StateOf(dir + "\\dict.ini");
                catalogueBefore = ReadFileBytes(dir + "\\dict.ini");
            } else if (!cut.killed) {
                ++endedFirst;
                story += "ended by itself with exit code " + std::to_string(cut.exitCode);
                EXPECT_EQ(cut.exitCode, 0u) << story;
                // A run that ended well is what later kills are undone to.
                snapshotBefore = Take(parent.path());
                before = StateOf(dir + "\\dict.ini");
                catalogueBefore = ReadFileBytes(dir + "\\dict.ini");
            }

            // The catalogue: its earlier content, or a whole one.
            if (!PathExists(dir + "\\dict.ini")) {
                story += "; no dict.ini";
                if (before.exists) {
                    ++lost;
                    ADD_FAILURE() << story << ": the earlier catalogue is gone";
                }
            } else {
                const std::string catalogue = ReadFileBytes(dir + "\\dict.ini");
                if (before.exists && catalogue == catalogueBefore) {
                    story += "; dict.ini as before";
                } else {
                    const std::string why = WhyNotCompleteCatalogue(catalogue);
                    if (why.empty())
                        story += "; dict.ini whole, " +
                                 std::to_string(LanguageLineCount(catalogue)) + " language line(s)";
                    else
                        story += "; dict.ini HALF WRITTEN (" + std::to_string(catalogue.size()) +
                                 " bytes)";
                    if (!why.empty()) {
                        ++halfWritten;
                        if (before.exists)
                            ++lost;
                        ADD_FAILURE() << story << ": dict.ini is not a whole catalogue: " << why
                                      << "\n" << catalogue;
                    }
                }
            }
            // What the kill left that a finished installation does not have.
            const std::vector<std::string> left = TreeDifferences(expected, ReadTree(dir));
            for (const std::string& line : left) {
                if (line.compare(0, 16, "file left over: ") == 0) {
                    std::string name = line.substr(16, line.find(" (") - 16);
                    ++leftAfterKill[name.compare(0, 3, "~lz") == 0 ? "~lz*.tmp" : name];
                    story += "; left " + name;
                }
            }
        }

        // Any next start, here one that finds nothing to uninstall, first
        // undoes the killed run: everything is as before it.
        if (lastKilled) {
            SetupProcess next(parent.path(), SetupExePath(), "/verysilent \"/uninstall=" + (parent / "none") + "\"",
                              false);
            EXPECT_EQ(next.WaitForExit(60000), 1u) << story;
            const std::vector<std::string> notUndone = Differences(snapshotBefore, Take(parent.path()));
            EXPECT_TRUE(notUndone.empty()) << story << ": not undone by the next start" << Joined(notUndone);
            story += notUndone.empty() ? "\n  next start: undone" : "\n  next start: NOT UNDONE";
            lost += static_cast<int>(notUndone.size());
        }
        RunResult again = RunSetup(mediumPath, dir, nullptr);
        EXPECT_EQ(again.failure, "") << story;
        EXPECT_EQ(again.exitCode, 0u) << story;
        const std::vector<std::string> differences = TreeDifferences(expected, ReadTree(dir));
        const Installed outside = ReadInstalledOutside();
        std::vector<std::string> outsideDifferences;
        if (!outside.shortcut.loaded)
            outsideDifferences.push_back("no shortcut");
        else if (!SameTextIgnoringCase(outside.shortcut.target,
                                       Replaced(expectedOutside.shortcut.target, referenceDir, dir)) ||
                 outside.shortcut.arguments != expectedOutside.shortcut.arguments ||
                 !SameTextIgnoringCase(outside.shortcut.workingDirectory,
                                       Replaced(expectedOutside.shortcut.workingDirectory,
                                                referenceDir, dir)))
            outsideDifferences.push_back("shortcut differs: " + outside.shortcut.target + " " +
                                         outside.shortcut.arguments + " in " +
                                         outside.shortcut.workingDirectory);
        if (outside.aviDelay != expectedOutside.aviDelay)
            outsideDifferences.push_back("win.ini FrenchAviDelay is \"" + outside.aviDelay + "\"");
        story += "\n  run again: exit code " + std::to_string(again.exitCode) + ", " +
                 std::to_string(again.closingBoxes) + " box(es), " +
                 (differences.empty() && outsideDifferences.empty() ? "same tree" : "DIFFERENT");
        std::printf("%s\n", story.c_str());
        if (!differences.empty() || !outsideDifferences.empty()) {
            ++differing;
            for (const std::string& line : differences)
                lost += line.compare(0, 13, "file missing:") == 0 ||
                        line.compare(0, 13, "file differs:") == 0;
        }
        EXPECT_TRUE(differences.empty()) << story << Joined(differences);
        EXPECT_TRUE(outsideDifferences.empty()) << story << Joined(outsideDifferences);
    }
    std::printf("summary: %u runs, %d kills, %d ended before the kill, %d half-written "
                "catalogues, %d runs with a different tree, %d files lost\n",
                runs, kills, endedFirst, halfWritten, differing, lost);
    std::printf("left by the kills:");
    for (const auto& left : leftAfterKill)
        std::printf(" %s x%d", left.first.c_str(), left.second);
    std::printf("\n");
    EXPECT_EQ(lost, 0);
}

// The uninstallation is not undone when killed: run again, it finishes, and
// everything is as before the installation.
TEST(KilledRuns, AnUninstallationKilledAnywhereThenRunAgainEndsAsBeforeTheInstallation)
{
    const auto [seed, runs] = SeededRunsFromEnvironment(20261208, 8);
    RecordProperty("seed", static_cast<int>(seed));

    OutsideForTheTest outside(Before::Nothing);
    UninstallMedium medium;
    ScratchFolder parent("uninstall-killed");
    const std::string dir = parent / "dico";
    const Snapshot before = Take(parent.path());

    // The uninterrupted uninstallation, timed: delays are drawn over it.
    ASSERT_EQ(InstallQuietly(medium.path(), dir), 0u);
    const size_t installedFiles = ReadFiles(dir).size();
    const DWORD start = GetTickCount();
    ASSERT_EQ(UninstallToTheEnd(dir, false), 0u);
    const DWORD span = GetTickCount() - start;
    std::vector<std::string> differences = Differences(before, Take(parent.path()));
    ASSERT_TRUE(differences.empty()) << "the uninterrupted uninstallation:" << Joined(differences);
    std::printf("uninterrupted uninstallation: %lu ms, %zu files\n", span, installedFiles);

    int kills = 0, endedFirst = 0, differing = 0;
    for (unsigned run = 0; run < runs; ++run) {
        std::mt19937 random(seed + run);
        std::string story = "run " + std::to_string(run) + " (SETUP_CRASH_SEED=" + std::to_string(seed + run) +
                            " SETUP_CRASH_RUNS=1):";
        // Whatever a run leaves outside is cleared before the next.
        OutsideForTheTest cleared(Before::Nothing);
        ASSERT_EQ(InstallQuietly(medium.path(), dir), 0u) << story;

        const int attempts = random() % 3 == 0 ? 2 : 1;
        for (int attempt = 0; attempt < attempts && PathExists(dir + "\\desinstal.dat"); ++attempt) {
            const Watch watches[] = {Watch::Delay, Watch::FilesGone, Watch::OutsideChanged};
            KillPoint point;
            point.watch = watches[random() % 3];
            point.delayMs = static_cast<DWORD>(random() % (span + span / 2 + 1));
            point.occurrence = 1 + static_cast<int>(random() % installedFiles);
            const RunResult cut = RunUninstallation(dir, point);
            story += "\n  kill " + point.Describe() + ": ";
            EXPECT_EQ(cut.failure, "") << story;
            if (cut.killed) {
                ++kills;
                story += "killed, " + std::to_string(ReadFiles(dir).size()) + " files left";
            } else {
                ++endedFirst;
                story += "ended by itself with exit code " + std::to_string(cut.exitCode);
                EXPECT_EQ(cut.exitCode, 0u) << story;
            }
        }
        // Run again, as the user would, until the record is gone.
        for (int again = 0; again < 3 && PathExists(dir + "\\desinstal.dat"); ++again) {
            const bool withTheCopy = PathExists(dir + "\\desinstal.exe") && random() % 2 == 0;
            const DWORD exitCode = UninstallToTheEnd(dir, withTheCopy);
            story += std::string("\n  run again with ") + (withTheCopy ? "desinstal.exe" : "setup.exe") +
                     ": exit code " + std::to_string(exitCode);
            EXPECT_EQ(exitCode, 0u) << story;
        }
        // A kill between the record's removal and the folder's own must not
        // leave the empty folder: nothing would be left to run again with.
        differences = Differences(before, Take(parent.path()));
        story += differences.empty() ? "\n  as before the installation" : "\n  DIFFERENT";
        if (differences.empty()) {
            std::printf("%s\n", story.c_str());
        } else {
            ++differing;
            ADD_FAILURE() << story << Joined(differences);
            // The next run starts from a clean folder.
            RemoveTree(dir);
        }
    }
    std::printf("summary: %u runs, %d kills, %d ended before the kill, %d runs not as before\n", runs, kills,
                endedFirst, differing);
}

}  // namespace
