// Uninstallation of a medium that asks for it: the installation registers
// itself and leaves desinstal.exe and its record; the uninstallation, with
// or without a person at the screen, killed or not, takes back what the
// installation made, and only that: the install folder's parent, the
// program menu's group, win.ini's [Dictionary] and the system's list of
// installed programs end as they were before the installation.
//
// Every test leaves the prefix's program menu, win.ini and registry as it
// found them: the suites share one prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver.h"
#include "outside.h"
#include "shell/user_registry.h"
#include "support/installed_files.h"
#include "support/shortcuts.h"

namespace {

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The product's own reading of the user's keys: a text value, or
// "<missing>" when there is none.
std::string Text(const ScopedRegistryKey& key, const char* name)
{
    std::string value;
    return key && RegistryText(key.get(), name, value) ? value : "<missing>";
}

// A DWORD value; false when there is none of that type.
bool Number(const ScopedRegistryKey& key, const char* name, DWORD* number)
{
    DWORD type = 0, size = sizeof *number;
    return key &&
           RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(number), &size) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

std::string Today()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[16];
    std::snprintf(text, sizeof text, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return text;
}

// Installs and checks what the installation left for its uninstallation:
// the record, the copy of the program and the entry in the list. False
// when there is nothing to uninstall.
bool InstallAndCheckRegistration(const std::string& medium, const std::string& dir)
{
    const Files earlier = IsFolder(dir) ? ReadFiles(dir) : Files{};
    const std::string dayBefore = Today();
    const DWORD exitCode = InstallQuietly(medium, dir);
    const std::string dayAfter = Today();
    if (exitCode != 0) {
        ADD_FAILURE() << "the installation ended with exit code " << exitCode;
        return false;
    }

    const Files installed = ReadFiles(dir);
    for (const char* own : {"desinstal.dat", "desinstal.exe"}) {
        if (!installed.count(own)) {
            ADD_FAILURE() << "no " << own << " in " << dir;
            return false;
        }
    }
    EXPECT_TRUE(installed.at("desinstal.exe") == ReadFileBytes(SetupExePath()))
        << "desinstal.exe is not a copy of setup.exe";
    const std::string record = Lower(installed.at("desinstal.dat"));
    ULONGLONG bytes = 0, ownBytes = 0;
    for (const auto& [name, content] : installed) {
        bytes += content.size();
        if (name == "desinstal.exe" || name == "desinstal.dat") {
            ownBytes += content.size();
            continue;
        }
        // The catalogue is recorded by its lines, not as a file.
        if (!earlier.count(name) && name != "dict.ini") {
            EXPECT_NE(record.find(Lower(Utf8Name(name))), std::string::npos) << "the record does not name " << name;
        }
    }

    const ScopedRegistryKey entry = OpenUserKey(EntryKey(kProductName), KEY_READ);
    EXPECT_TRUE(static_cast<bool>(entry)) << "no entry \"" << kProductName << "\" in the list of installed programs";
    const std::string program = "\"" + dir + "\\desinstal.exe\"";
    struct ExpectedText {
        const char* value;
        std::string expected;
    } texts[] = {
        {"DisplayName", kProductName},
        {"UninstallString", program + " /uninstall \"/product=" + kProductName + "\""},
        {"QuietUninstallString", program + " /uninstall \"/product=" + kProductName + "\" /verysilent"},
        {"InstallLocation", dir},
    };
    for (const ExpectedText& text : texts)
        EXPECT_TRUE(SameTextIgnoringCase(Text(entry, text.value), text.expected))
            << text.value << " is \"" << Text(entry, text.value) << "\", expected \"" << text.expected << "\"";
    std::string icon = Text(entry, "DisplayIcon");
    icon = icon.substr(0, icon.find(','));
    icon.erase(std::remove(icon.begin(), icon.end(), '"'), icon.end());
    EXPECT_TRUE(!icon.empty() && PathExists(icon)) << "DisplayIcon names no file: \"" << Text(entry, "DisplayIcon") << "\"";
    const std::string date = Text(entry, "InstallDate");
    EXPECT_TRUE(date == dayBefore || date == dayAfter) << "InstallDate is \"" << date << "\"";

    DWORD number = 0;
    for (const char* flag : {"NoModify", "NoRepair"}) {
        EXPECT_TRUE(Number(entry, flag, &number) && number == 1) << flag << " is not the DWORD 1";
    }
    // In KiB, with or without the program's own two files.
    EXPECT_TRUE(Number(entry, "EstimatedSize", &number)) << "no DWORD EstimatedSize";
    EXPECT_GE(number + 1, (bytes - ownBytes) / 1024) << "EstimatedSize is below the installed files' size";
    EXPECT_LE(number, bytes / 1024 + 1) << "EstimatedSize is above the install folder's size";
    return true;
}

// --- Running the uninstallation ------------------------------------------

// The top of the screen, title and gradient, where the installation and the
// uninstallation look alike.
constexpr int kTopBand = 125;

bool TopBandsEqual(const Pixels& a, const Pixels& b)
{
    return a.width == b.width && a.height == b.height && a.height > kTopBand &&
           std::equal(a.data.begin(), a.data.begin() + a.width * kTopBand, b.data.begin());
}

// The installation's screen of the medium, once painted.
Pixels InstallationScreen(const std::string& medium)
{
    SetupProcess setup(medium);
    HWND window = setup.WaitForWindow("Installation");
    if (!window)
        return {};
    Pixels shot;
    WaitFor([&] {
        shot = GrabScreen();
        return std::count(shot.data.begin(), shot.data.begin() + shot.width * kTopBand, Rgb(230, 230, 230)) > 200;
    });
    PostMessageA(window, WM_CLOSE, 0, 0);
    setup.WaitForExit();
    return shot;
}

bool AnyChildVisible(HWND window)
{
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsWindowVisible(child))
            return true;
    return false;
}

// An attended uninstallation up to its question, answered with answer:
// the window as the installation's but without controls, then the box.
// Returns the exit code.
DWORD UninstallAttended(const std::string& exe, const std::string& arguments, int answer,
                        const Pixels& installationScreen)
{
    ScratchFolder elsewhere("uninstall-cwd");
    SetupProcess setup(elsewhere.path(), exe, arguments);
    HWND window = setup.WaitForWindow("Installation");
    EXPECT_NE(window, nullptr) << "no full-screen window";
    MessageBoxInfo box = WaitForMessageBox(setup);
    EXPECT_NE(box.handle, nullptr) << "no question";
    if (!window || !box.handle)
        return setup.WaitForExit(0);

    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_TRUE(rect.left == 0 && rect.top == 0 && rect.right == GetSystemMetrics(SM_CXSCREEN) &&
                rect.bottom == GetSystemMetrics(SM_CYSCREEN))
        << "the window does not cover the screen";
    EXPECT_FALSE(AnyChildVisible(window)) << "a control of the installation shows";
    Pixels shot;
    const bool sameTop = WaitFor([&] { return TopBandsEqual(shot = GrabScreen(), installationScreen); }, 5000);
    EXPECT_TRUE(sameTop) << "the screen's title and gradient differ from the installation's";
    if (!sameTop) {
        SaveArtefact(shot, "uninstall-screen");
        SaveArtefact(installationScreen, "installation-screen");
    }

    EXPECT_EQ(box.caption, "D\xE9sinstallation");
    EXPECT_EQ(box.text, std::string("Voulez-vous d\xE9sinstaller ") + kProductName + " ?");
    EXPECT_EQ(box.icon, MessageBoxInfo::Icon::Question);
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO})) << "not a Oui/Non box";
    AnswerMessageBox(box, answer);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(box.handle); })) << "the question stays";

    const Watched rest = WatchUntilExit(setup);
    EXPECT_FALSE(rest.boxShown) << "another box after the answer";
    return rest.exitCode;
}

// The ways of uninstalling that the cases take.
enum class Way {
    CopyAttendedNoThenYes,  // desinstal.exe /uninstall, as the list of programs starts it
    SetupAttended,          // setup.exe /uninstall=DIR
    CopySilent,             // desinstal.exe /uninstall /silent
    SetupVerySilentLogged,  // setup.exe /uninstall=DIR /verysilent /log=FILE
};

bool RunsTheCopy(Way way)
{
    return way == Way::CopyAttendedNoThenYes || way == Way::CopySilent;
}

// The names at the top of the temporary folder but the tests' scratch folders.
std::set<std::string> TemporaryNames()
{
    char temp[MAX_PATH] = "";
    std::string folder(temp, GetTempPathA(MAX_PATH, temp) < MAX_PATH ? lstrlenA(temp) : 0);
    if (!folder.empty() && folder.back() == '\\')
        folder.pop_back();
    std::set<std::string> names;
    for (const std::string& name : FolderNames(folder))
        if (name.compare(0, 6, "setup-") != 0)
            names.insert(name);
    return names;
}

// A file below the parent folder, given by the user after the installation.
struct UserFile {
    const char* name;  // below the parent
    const char* bytes;
    bool keepSize;     // rewritten at its own size, an hour later
};

struct Case {
    const char* name;
    Before outside;
    const char* earlierName;             // installed first under that name, or none
    Files inFolderBefore;                // below the install folder, before the installation
    std::vector<UserFile> userFiles;     // after the installation
    Way way;
    const char* laterLine = nullptr;     // another product's line over ours in dict.ini, after the installation
    std::string catalogueAfter = {};     // with a later line: dict.ini after the uninstallation
};

// The non-empty lines of a text file, for what a reader sees of it.
std::vector<std::string> TextLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// A new file with its folders, or a file of the installation rewritten at
// its own size and dated an hour later.
void GiveUserFile(const std::string& parent, const UserFile& file)
{
    const std::string path = parent + "\\" + file.name;
    if (!file.keepSize) {
        WriteFiles(parent, {{file.name, file.bytes}});
        return;
    }
    std::string bytes = ReadFileBytes(path);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = file.bytes[i % std::char_traits<char>::length(file.bytes)];
    WIN32_FILE_ATTRIBUTE_DATA data;
    GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
    WriteFileBytes(path, bytes);
    ULARGE_INTEGER time;
    time.LowPart = data.ftLastWriteTime.dwLowDateTime;
    time.HighPart = data.ftLastWriteTime.dwHighDateTime;
    time.QuadPart += 36000000000ULL;
    const FILETIME later = {time.LowPart, time.HighPart};
    HANDLE handle = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    SetFileTime(handle, nullptr, nullptr, &later);
    CloseHandle(handle);
}

const char kOtherLanguage[] = "fr,es,langue\\espagnol.tb,Espagnol";
const char kOtherProductsAllemand[] = "fr,de,langue\\deutsch.tb,Allemand";
const char kOtherProductsAnglais[] = "fr,en,langue\\english.tb,Anglais";
const char kOurAllemand[] = "fr,de,langue\\allemand.tb,Allemand";

TEST(Uninstall, TakesBackWhatTheInstallationMadeAndKeepsWhatTheUserMadeOrChanged)
{
    UninstallMedium medium;
    const Pixels installationScreen = InstallationScreen(medium.path());
    ASSERT_GT(installationScreen.width, 0) << "the installation's window did not come";

    const Case cases[] = {
        {"a fresh prefix, answered No then Yes", Before::Nothing, nullptr, {}, {}, Way::CopyAttendedNoThenYes},
        {"the group, win.ini's section and another program there",
         Before::OthersThere, nullptr, {}, {}, Way::SetupAttended},
        // Its Anglais line is replaced by ours and comes back; its Allemand,
        // written over ours, stays.
        {"another product's catalogue in the folder, which installs its own Allemand later",
         Before::Nothing,
         nullptr,
         {{"dict.ini", Catalogue("espagnol.wb", std::string(kOtherProductsAnglais) + "\r\n" + kOtherLanguage + "\r\n")},
          {"langue\\espagnol.tb", "the other product's TO list"}},
         {},
         Way::CopySilent,
         kOtherProductsAllemand,
         Catalogue("espagnol.wb", std::string(kOtherProductsAllemand) + "\r\n" + kOtherProductsAnglais + "\r\n" +
                                      kOtherLanguage + "\r\n")},
        {"installed under an earlier name first, then files the user added and changed",
         Before::Nothing,
         "Dictionnaire bilingue 1.0",
         {},
         {{"dico\\aide\\notes.txt", "my notes", false},
          {"dico\\mes listes\\voyage.txt", "train, gare", false},
          {"dico\\fin.txt", "Bonne lecture !", false},
          {"dico\\lisezmoi.txt", "x", true}},
         Way::SetupVerySilentLogged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OutsideForTheTest outside(c.outside);
        ScratchFolder parent("uninstall");
        const std::string dir = parent / "dico";
        if (!c.inFolderBefore.empty()) {
            MakeFolder(dir);
            WriteFiles(dir, c.inFolderBefore);
        }
        const Snapshot before = Take(parent.path());

        if (c.earlierName) {
            UninstallMedium earlier(c.earlierName);
            EXPECT_EQ(InstallQuietly(earlier.path(), dir), 0u) << "the installation under the earlier name";
        }
        if (!InstallAndCheckRegistration(medium.path(), dir))
            continue;
        for (const UserFile& file : c.userFiles)
            GiveUserFile(parent.path(), file);
        if (c.laterLine) {
            std::string catalogue = ReadFileBytes(dir + "\\dict.ini");
            const size_t at = catalogue.find(kOurAllemand);
            ASSERT_NE(at, std::string::npos) << "no Allemand line of ours in dict.ini:\n" << catalogue;
            WriteFileBytes(dir + "\\dict.ini",
                           catalogue.replace(at, std::char_traits<char>::length(kOurAllemand), c.laterLine));
        }
        // What must stay: what was there, and what the user gave since.
        Snapshot expected = before;
        for (const UserFile& file : c.userFiles) {
            const std::string name = file.name;
            expected.tree.files[name] = ReadFileBytes(parent / name);
            for (size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1))
                expected.tree.folders.insert(name.substr(0, at));
        }
        if (c.laterLine)
            expected.tree.files["dico\\dict.ini"] = c.catalogueAfter;

        const std::string copy = dir + "\\desinstal.exe";
        ScratchFolder logs("uninstall-log");
        const std::string log = logs / "desinstal.log";
        const std::set<std::string> temporaryBefore = TemporaryNames();
        DWORD exitCode = STILL_ACTIVE;
        switch (c.way) {
        case Way::CopyAttendedNoThenYes: {
            const Snapshot installed = Take(parent.path());
            // Started without options, as a double-click in the folder does.
            exitCode = UninstallAttended(copy, "", IDNO, installationScreen);
            EXPECT_EQ(exitCode, 0u) << "after No";
            const std::vector<std::string> changed = Differences(installed, Take(parent.path()));
            EXPECT_TRUE(changed.empty()) << "No changed something:" << Joined(changed);
            exitCode = UninstallAttended(copy, "/uninstall", IDYES, installationScreen);
            break;
        }
        case Way::SetupAttended:
            exitCode = UninstallAttended(SetupExePath(), "\"/uninstall=" + dir + "\"", IDYES, installationScreen);
            break;
        case Way::CopySilent:
        case Way::SetupVerySilentLogged: {
            ScratchFolder elsewhere("uninstall-cwd");
            const bool verySilent = c.way == Way::SetupVerySilentLogged;
            SetupProcess setup(elsewhere.path(), verySilent ? SetupExePath() : copy,
                               verySilent ? "\"/uninstall=" + dir + "\" /VERYSILENT \"/log=" + log + "\""
                                          : "/uninstall /silent",
                               false);
            const Watched watched = WatchUntilExit(setup);
            exitCode = watched.exitCode;
            EXPECT_FALSE(watched.boxShown) << "a box in an unattended uninstallation";
            if (verySilent) {
                EXPECT_FALSE(watched.windowShown) << "a window with /verysilent";
            }
            break;
        }
        }
        EXPECT_EQ(exitCode, 0u);

        // setup.exe leaves nothing behind it.
        if (RunsTheCopy(c.way))
            WaitForTheCopysCleaning(dir, expected.tree.folders.count("dico") > 0);
        Snapshot after = Take(parent.path());
        // The other product's catalogue: its line stays and ours go, however
        // the file is laid out.
        const std::string catalogue = "dico\\dict.ini";
        if (c.inFolderBefore.count("dict.ini") && after.tree.files.count(catalogue)) {
            EXPECT_EQ(TextLines(after.tree.files.at(catalogue)), TextLines(expected.tree.files.at(catalogue)))
                << "dict.ini:\n" << after.tree.files.at(catalogue);
            expected.tree.files.erase(catalogue);
            after.tree.files.erase(catalogue);
        }
        const std::vector<std::string> differences = Differences(expected, after);
        EXPECT_TRUE(differences.empty()) << "not as before the installation:" << Joined(differences);
        if (c.way == Way::SetupVerySilentLogged) {
            const std::string logged = PathExists(log) ? ReadFileBytes(log) : "";
            EXPECT_NE(logged.find("Exit code 0\r\n"), std::string::npos) << "log:\n" << logged;
            for (const char* kept : {"fin.txt", "lisezmoi.txt"}) {
                const std::vector<std::string> lines = TextLines(logged);
                EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
                    return line.find(kept) != std::string::npos && line.find("kept") != std::string::npos;
                })) << "the log does not say that " << kept << " was kept";
            }
        }
        if (RunsTheCopy(c.way)) {
            EXPECT_TRUE(WaitFor([&] { return TemporaryNames() == temporaryBefore; }, 30000))
                << "the temporary folder keeps what the uninstallation put there";
        }
    }
}

TEST(Uninstall, AMediumWithoutTheCommandInstallsAsBeforeAndRegistersNothing)
{
    OutsideForTheTest outside(Before::Nothing);
    UninstallMedium withCommand;
    ScratchFolder parent("uninstall-none");
    const Outside before = ReadOutside();

    ASSERT_EQ(InstallQuietly(BesideProgram("medium"), parent / "plain"), 0u);
    Files plain = ReadFiles(parent / "plain");
    for (const char* name : {"desinstal.dat", "desinstal.exe"})
        EXPECT_FALSE(plain.count(name)) << name << " without the command";
    const Outside installed = ReadOutside();
    EXPECT_EQ(installed.keysThere, before.keysThere) << "registry keys made without the command";
    EXPECT_EQ(installed.entries, before.entries) << "an entry in the list of programs without the command";

    // With the command, the same files and the program's own two.
    ASSERT_EQ(InstallQuietly(withCommand.path(), parent / "with"), 0u);
    Files with = ReadFiles(parent / "with");
    EXPECT_TRUE(with.count("desinstal.dat") && with.count("desinstal.exe"))
        << "no desinstal.dat or no desinstal.exe with the command";
    with.erase("desinstal.dat");
    with.erase("desinstal.exe");
    EXPECT_TRUE(with == plain) << "the installation differs with the command:"
                               << Joined(TreeDifferences({{}, plain}, {{}, with}));
}

TEST(Uninstall, WithoutARecordEndsWithTheFatalErrorAndChangesNothing)
{
    ScratchFolder parent("uninstall-none");
    const std::string folder = parent / "dico";
    MakeFolder(folder);
    WriteFileBytes(folder + "\\notes.txt", "a user's file");
    const Tree before = ReadTree(parent.path());
    const std::string log = parent / "desinstal.log";
    struct Row {
        const char* name;
        std::string arguments;
        bool verySilent;
    } rows[] = {
        {"a folder without record", "\"/uninstall=" + folder + "\"", false},
        {"a folder that does not exist", "\"/uninstall=" + (parent / "absent") + "\"", false},
        {"without a window", "\"/uninstall=" + folder + "\" /verysilent \"/log=" + log + "\"", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetupProcess setup(parent.path(), SetupExePath(), row.arguments, !row.verySilent);
        if (row.verySilent) {
            const Watched watched = WatchUntilExit(setup, 60000);
            EXPECT_EQ(watched.exitCode, 1u);
            EXPECT_FALSE(watched.boxShown);
            EXPECT_FALSE(watched.windowShown);
            const std::string logged = PathExists(log) ? ReadFileBytes(log) : "";
            EXPECT_NE(logged.find("Fatal error: Can't open DESINSTAL.DAT\r\nExit code 1\r\n"), std::string::npos)
                << "log:\n" << logged;
            RemoveTree(log);
        } else {
            MessageBoxInfo box = WaitForMessageBox(setup);
            ASSERT_NE(box.handle, nullptr) << "no box; the program ended with " << setup.WaitForExit(0);
            EXPECT_EQ(box.caption, "Error");
            EXPECT_EQ(box.text, "Can't open DESINSTAL.DAT");
            EXPECT_EQ(box.icon, MessageBoxInfo::Icon::Error);
            AnswerMessageBox(box);
            EXPECT_EQ(setup.WaitForExit(), 1u);
        }
        const std::vector<std::string> differences = TreeDifferences(before, ReadTree(parent.path()));
        EXPECT_TRUE(differences.empty()) << Joined(differences);
    }
}

// Another product's program was in the folder: it comes back. A file in
// use stays, and so do the record and the entry, with exit code 3; run
// again once the file is free, the uninstallation finishes and everything
// is as before the installation.
TEST(Uninstall, AFileInUseIsLeftForALaterRunAndAnEarlierFileComesBack)
{
    OutsideForTheTest outside(Before::Nothing);
    UninstallMedium medium;
    ScratchFolder parent("uninstall-in-use");
    const std::string dir = parent / "dico";
    MakeFolder(dir);
    WriteFileBytes(dir + "\\dico.exe", "another product's program");
    const Snapshot before = Take(parent.path());
    ASSERT_EQ(InstallQuietly(medium.path(), dir), 0u);
    EXPECT_NE(ReadFileBytes(dir + "\\dico.exe"), "another product's program");

    // Open without leave to delete, as a running dictionary holds its files.
    HANDLE held = CreateFileA((dir + "\\lisezmoi.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const DWORD whileHeld = UninstallToTheEnd(dir, false);
    CloseHandle(held);
    EXPECT_EQ(whileHeld, 3u);
    EXPECT_TRUE(PathExists(dir + "\\desinstal.dat"));
    EXPECT_TRUE(PathExists(dir + "\\lisezmoi.txt"));
    EXPECT_TRUE(ReadOutside().entries.count(kProductName)) << "the entry went with a file left";

    EXPECT_EQ(UninstallToTheEnd(dir, false), 0u);
    EXPECT_EQ(Joined(Differences(before, Take(parent.path()))), "");
}

// The same product in two folders, uninstalled in either order: each has
// an entry of its own, the first to go leaves the shortcut, its group, the
// win.ini key and the list to the other, and the last leaves everything as
// before the installations.
TEST(Uninstall, TheSameProductInTwoFoldersLeavesTheOtherWhatItUses)
{
    for (const bool firstGoesFirst : {true, false}) {
        SCOPED_TRACE(firstGoesFirst ? "the first installed goes first" : "the last installed goes first");
        OutsideForTheTest outside(Before::Nothing);
        UninstallMedium medium;
        ScratchFolder parent("uninstall-two");
        const std::string a = parent / "a", b = parent / "b";
        const Snapshot before = Take(parent.path());
        ASSERT_EQ(InstallQuietly(medium.path(), a), 0u);
        ASSERT_EQ(InstallQuietly(medium.path(), b), 0u);
        EXPECT_EQ(ReadOutside().entries.size(), 2u);

        const std::string& gone = firstGoesFirst ? a : b;
        const std::string& left = firstGoesFirst ? b : a;
        EXPECT_EQ(UninstallToTheEnd(gone, false), 0u);
        const Shortcut shortcut = ReadShortcut(GroupFolder() + "\\" + kProductName + ".lnk");
        EXPECT_TRUE(shortcut.loaded && SameTextIgnoringCase(shortcut.target, left + "\\dico.exe"))
            << "the shortcut starts " << shortcut.target;
        EXPECT_NE(IniSection("Dictionary").find("FrenchAviDelay=250"), std::string::npos);
        EXPECT_EQ(ReadOutside().entries.size(), 1u);

        EXPECT_EQ(UninstallToTheEnd(left, false), 0u);
        EXPECT_EQ(Joined(Differences(before, Take(parent.path()))), "");
    }
}

// Two products in one folder: the later one, uninstalled by its own entry's
// option, leaves the earlier one as it was installed; the rest of the
// folder then goes as before.
TEST(Uninstall, TwoProductsInOneFolderGoOneByOne)
{
    OutsideForTheTest outside(Before::Nothing);
    UninstallMedium first("Produit A"), second("Produit B");
    ScratchFolder parent("uninstall-products");
    const std::string dir = parent / "dico";
    const Snapshot before = Take(parent.path());
    ASSERT_EQ(InstallQuietly(first.path(), dir), 0u);
    Snapshot firstOnly = Take(parent.path());
    ASSERT_EQ(InstallQuietly(second.path(), dir), 0u);
    {
        ScratchFolder elsewhere("uninstall-cwd");
        SetupProcess setup(elsewhere.path(), SetupExePath(),
                           "\"/uninstall=" + dir + "\" \"/product=Produit B\" /verysilent", false);
        EXPECT_EQ(setup.WaitForExit(120000), 0u);
    }
    // The record differs: the second product's part of it went.
    Snapshot after = Take(parent.path());
    firstOnly.tree.files.erase("dico\\desinstal.dat");
    EXPECT_EQ(after.tree.files.erase("dico\\desinstal.dat"), 1u);
    EXPECT_EQ(Joined(Differences(firstOnly, after)), "");

    EXPECT_EQ(UninstallToTheEnd(dir, false), 0u);
    EXPECT_EQ(Joined(Differences(before, Take(parent.path()))), "");
}

}  // namespace
