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
#include "support/installed_files.h"
#include "support/shortcuts.h"

namespace {

const char kName[] = "Dictionnaire bilingue";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kGroup[] = "Dictionnaire";
const char kOtherEntry[] = "Autre produit";  // another program's entry in the list

std::string GroupFolder()
{
    return ProgramMenuFolder() + "\\" + kGroup;
}

std::string EntryKey(const std::string& name)
{
    return std::string(kUninstallKey) + "\\" + name;
}

std::string Lower(std::string text)
{
    CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// --- The registry, as the list of installed programs reads it -------------

class RegistryKey {
public:
    explicit RegistryKey(const std::string& path)
    {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~RegistryKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    bool exists() const { return key_ != nullptr; }

    std::set<std::string> Subkeys() const
    {
        std::set<std::string> names;
        char name[256];
        for (DWORD i = 0; key_; ++i) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key_, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            names.insert(std::string(name, length));
        }
        return names;
    }

    // A text value, or "<missing>" / "<not text>".
    std::string Text(const char* name) const
    {
        char text[1024] = "";
        DWORD type = 0, size = sizeof text - 1;
        if (!key_ || RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
                         ERROR_SUCCESS)
            return "<missing>";
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return "<not text>";
        return std::string(text, std::find(text, text + size, '\0'));
    }

    // A DWORD value; false when there is none of that type.
    bool Number(const char* name, DWORD* number) const
    {
        DWORD type = 0, size = sizeof *number;
        return key_ &&
               RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(number), &size) ==
                   ERROR_SUCCESS &&
               type == REG_DWORD;
    }

private:
    HKEY key_ = nullptr;
};

// The keys from Software down to ...\Uninstall, outermost first.
std::vector<std::string> KeysOnThePath()
{
    std::vector<std::string> keys;
    const std::string path = kUninstallKey;
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        keys.push_back(path.substr(0, at));
    keys.push_back(path);
    return keys;
}

// --- What an installation changes outside its folder ----------------------

struct Outside {
    std::vector<std::string> keysThere;  // of KeysOnThePath()
    std::set<std::string> entries;       // the programs in the list
    bool sectionThere = false;           // win.ini [Dictionary]
    std::string section;                 // its lines, each ended by '\n'
    bool groupThere = false;             // the program menu's group folder
    Files group;
};

std::string IniSection(const char* section)
{
    std::vector<char> text(32768);
    DWORD length = GetPrivateProfileSectionA(section, text.data(), static_cast<DWORD>(text.size()), "win.ini");
    std::string lines(text.data(), length);
    std::replace(lines.begin(), lines.end(), '\0', '\n');
    return lines.empty() ? lines : lines + "\n";
}

bool IniSectionThere(const char* section)
{
    std::vector<char> names(32768);
    DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), "win.ini");
    for (const char* name = names.data(); name < names.data() + length && *name; name += lstrlenA(name) + 1)
        if (lstrcmpiA(name, section) == 0)
            return true;
    return false;
}

Outside ReadOutside()
{
    Outside outside;
    for (const std::string& key : KeysOnThePath())
        if (RegistryKey(key).exists())
            outside.keysThere.push_back(key);
    outside.entries = RegistryKey(kUninstallKey).Subkeys();
    outside.sectionThere = IniSectionThere("Dictionary");
    outside.section = IniSection("Dictionary");
    outside.groupThere = IsFolder(GroupFolder());
    if (outside.groupThere)
        outside.group = ReadFiles(GroupFolder());
    return outside;
}

std::string Listed(const std::set<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "\"" : ", \"") + name + "\"";
    return text.empty() ? "none" : text;
}

std::vector<std::string> OutsideDifferences(const Outside& expected, const Outside& actual)
{
    std::vector<std::string> differences;
    for (const std::string& key : KeysOnThePath()) {
        const bool was = std::count(expected.keysThere.begin(), expected.keysThere.end(), key) > 0;
        const bool is = std::count(actual.keysThere.begin(), actual.keysThere.end(), key) > 0;
        if (was != is)
            differences.push_back("registry key HKCU\\" + key + (is ? " left over" : " missing"));
    }
    if (expected.entries != actual.entries)
        differences.push_back("installed programs listed: " + Listed(actual.entries) + ", expected " +
                              Listed(expected.entries));
    if (expected.sectionThere != actual.sectionThere)
        differences.push_back(std::string("win.ini section [Dictionary] ") +
                              (actual.sectionThere ? "left over" : "missing"));
    if (expected.section != actual.section)
        differences.push_back("win.ini [Dictionary] holds \"" + actual.section + "\", expected \"" +
                              expected.section + "\"");
    if (expected.groupThere != actual.groupThere)
        differences.push_back(std::string("program menu group ") + kGroup + (actual.groupThere ? " left over" : " missing"));
    for (const std::string& line : TreeDifferences({{}, expected.group}, {{}, actual.group}))
        differences.push_back("program menu group: " + line);
    return differences;
}

// What a user sees of an installation: the tree below the install folder's
// parent, and what it changed outside.
struct Snapshot {
    Tree tree;
    Outside outside;
};

Snapshot Take(const std::string& parent)
{
    return {ReadTree(parent), ReadOutside()};
}

std::vector<std::string> Differences(const Snapshot& expected, const Snapshot& actual)
{
    std::vector<std::string> differences = TreeDifferences(expected.tree, actual.tree);
    for (const std::string& line : OutsideDifferences(expected.outside, actual.outside))
        differences.push_back(line);
    return differences;
}

// How the outside looks before a test's installation.
enum class Before {
    Nothing,      // no group, no [Dictionary], no list entry: the run makes them
    OthersThere,  // the group with a user's file, [Dictionary] with its own key and
                  // an earlier FrenchAviDelay, another program in the list
};

void DeleteEntry(const std::string& name)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, EntryKey(name).c_str());
}

// Puts the outside in the given state for the test's lifetime, and back as
// it was found when the test ends.
class OutsideForTheTest {
public:
    explicit OutsideForTheTest(Before before) : found_(ReadOutside())
    {
        RemoveTree(GroupFolder());
        WritePrivateProfileStringA("Dictionary", nullptr, nullptr, "win.ini");
        for (const char* name : {kName, kOtherEntry})
            DeleteEntry(name);
        if (RegistryKey(kUninstallKey).Subkeys().empty())
            RegDeleteKeyA(HKEY_CURRENT_USER, kUninstallKey);
        if (before == Before::OthersThere) {
            MakeFolder(GroupFolder());
            WriteFileBytes(GroupFolder() + "\\Lexique.lnk", "a shortcut of the user's own");
            WritePrivateProfileStringA("Dictionary", "Volume", "7", "win.ini");
            WritePrivateProfileStringA("Dictionary", "FrenchAviDelay", "100", "win.ini");
            HKEY key;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, EntryKey(kOtherEntry).c_str(), 0, nullptr, 0, KEY_WRITE,
                                nullptr, &key, nullptr) == ERROR_SUCCESS) {
                RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(kOtherEntry),
                               sizeof kOtherEntry);
                RegCloseKey(key);
            }
        }
    }

    ~OutsideForTheTest()
    {
        RemoveTree(GroupFolder());
        if (found_.groupThere) {
            MakeFolder(GroupFolder());
            WriteFiles(GroupFolder(), found_.group);
        }
        WritePrivateProfileStringA("Dictionary", nullptr, nullptr, "win.ini");
        if (found_.sectionThere) {
            std::string lines = found_.section;
            std::replace(lines.begin(), lines.end(), '\n', '\0');
            lines += '\0';
            WritePrivateProfileSectionA("Dictionary", lines.c_str(), "win.ini");
        }
        for (const std::string& name : RegistryKey(kUninstallKey).Subkeys())
            if (!found_.entries.count(name))
                DeleteEntry(name);
        const std::vector<std::string> keys = KeysOnThePath();
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            if (std::count(found_.keysThere.begin(), found_.keysThere.end(), *key) == 0)
                RegDeleteKeyA(HKEY_CURRENT_USER, key->c_str());
    }

    OutsideForTheTest(const OutsideForTheTest&) = delete;
    OutsideForTheTest& operator=(const OutsideForTheTest&) = delete;

private:
    Outside found_;
};

// --- The medium and its installation -------------------------------------

// The sample medium asking for its uninstallation. A second uninstall line
// further down names another product: the first one counts.
struct UninstallMedium {
    ScratchFolder folder{"uninstall-medium"};
    explicit UninstallMedium(const std::string& name = kName)
    {
        CopyTree(BesideProgram("medium"), folder.path());
        std::string script = ReadFileBytes(folder / "install.inf");
        const std::string copies = "copy dico.ex_ dico.exe\r\n";
        const size_t at = script.find(copies);
        if (at == std::string::npos)
            throw std::runtime_error("the sample medium's install.inf has no copy of dico.exe");
        script.insert(at, "uninstall " + name + "\r\n");
        WriteFileBytes(folder / "install.inf", script + "uninstall Autre nom\r\n");
    }
    const std::string& path() const { return folder.path(); }
};

// The installation without a window: the attended one is other suites' matter.
DWORD InstallQuietly(const std::string& medium, const std::string& dir)
{
    SetupProcess setup(medium, SetupExePath(), "/verysilent \"/dir=" + dir + "\"", false);
    return setup.WaitForExit(180000);
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
            EXPECT_NE(record.find(Lower(name)), std::string::npos) << "the record does not name " << name;
        }
    }

    RegistryKey entry(EntryKey(kName));
    EXPECT_TRUE(entry.exists()) << "no entry \"" << kName << "\" in the list of installed programs";
    const std::string program = "\"" + dir + "\\desinstal.exe\"";
    struct Text {
        const char* value;
        std::string expected;
    } texts[] = {
        {"DisplayName", kName},
        {"UninstallString", program + " /uninstall \"/product=" + kName + "\""},
        {"QuietUninstallString", program + " /uninstall \"/product=" + kName + "\" /verysilent"},
        {"InstallLocation", dir},
    };
    for (const Text& text : texts)
        EXPECT_TRUE(SameTextIgnoringCase(entry.Text(text.value), text.expected))
            << text.value << " is \"" << entry.Text(text.value) << "\", expected \"" << text.expected << "\"";
    std::string icon = entry.Text("DisplayIcon");
    icon = icon.substr(0, icon.find(','));
    icon.erase(std::remove(icon.begin(), icon.end(), '"'), icon.end());
    EXPECT_TRUE(!icon.empty() && PathExists(icon)) << "DisplayIcon names no file: \"" << entry.Text("DisplayIcon") << "\"";
    const std::string date = entry.Text("InstallDate");
    EXPECT_TRUE(date == dayBefore || date == dayAfter) << "InstallDate is \"" << date << "\"";

    DWORD number = 0;
    for (const char* flag : {"NoModify", "NoRepair"}) {
        EXPECT_TRUE(entry.Number(flag, &number) && number == 1) << flag << " is not the DWORD 1";
    }
    // In KiB, with or without the program's own two files.
    EXPECT_TRUE(entry.Number("EstimatedSize", &number)) << "no DWORD EstimatedSize";
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
    EXPECT_EQ(box.text, std::string("Voulez-vous d\xE9sinstaller ") + kName + " ?");
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

// The copy of the program cannot delete itself: what is left of it goes
// once it has ended: the copy, the record and the folder unless it must
// stay. The folder is looked at only then: a folder held open while it is
// removed stays behind, under Wine as on Windows.
void WaitForTheCopysCleaning(const std::string& dir, bool folderStays)
{
    WaitFor([&] {
        return !PathExists(dir + "\\desinstal.exe") && !PathExists(dir + "\\desinstal.dat") &&
               (folderStays || !PathExists(dir));
    }, 30000);
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

// --- Killed uninstallations ----------------------------------------------

// When the kill comes: after a delay, once some files are gone, or once
// something outside the folder has changed.
enum class Watch { Delay, FilesGone, OutsideChanged };

// The watches look without opening any folder: a folder held open while
// the uninstallation removes it stays behind, under Wine as on Windows, and
// that would be the watch's doing.
size_t CountGone(const std::vector<std::string>& paths)
{
    return static_cast<size_t>(std::count_if(paths.begin(), paths.end(),
                                              [](const std::string& path) { return !PathExists(path); }));
}

// The shortcut, the entry in the list and win.ini's value, in one text.
std::string OutsideMarks()
{
    char delay[64] = "";
    GetPrivateProfileStringA("Dictionary", "FrenchAviDelay", "", delay, sizeof delay, "win.ini");
    return std::to_string(PathExists(GroupFolder() + "\\" + kName + ".lnk")) +
           std::to_string(RegistryKey(EntryKey(kName)).exists()) + delay;
}

struct KillPoint {
    Watch watch = Watch::Delay;
    DWORD delayMs = 0;  // Watch::Delay
    size_t files = 1;   // Watch::FilesGone: how many

    std::string Describe() const
    {
        if (watch == Watch::Delay)
            return "+" + std::to_string(delayMs) + " ms";
        if (watch == Watch::FilesGone)
            return std::to_string(files) + " files gone";
        return "outside changed";
    }
};

// setup.exe /uninstall=DIR /verysilent, killed at the point unless it ends
// first. True when it was killed.
bool UninstallUntil(const std::string& dir, const KillPoint& point, DWORD* exitCode)
{
    ScratchFolder elsewhere("uninstall-cwd");
    std::vector<std::string> files;
    for (const auto& file : ReadFiles(dir))
        files.push_back(dir + "\\" + file.first);
    const size_t goneAtStart = CountGone(files);
    const std::string marksAtStart = OutsideMarks();
    SetupProcess setup(elsewhere.path(), SetupExePath(), "\"/uninstall=" + dir + "\" /verysilent", false);
    const DWORD start = GetTickCount();
    for (;;) {
        bool due = false;
        switch (point.watch) {
        case Watch::Delay: due = GetTickCount() - start >= point.delayMs; break;
        case Watch::FilesGone: due = CountGone(files) >= goneAtStart + point.files; break;
        case Watch::OutsideChanged: due = OutsideMarks() != marksAtStart; break;
        }
        if (due && setup.Kill())
            return true;
        if ((*exitCode = setup.WaitForExit(0)) != STILL_ACTIVE)
            return false;
        if (GetTickCount() - start > 120000) {
            *exitCode = STILL_ACTIVE;
            return false;
        }
        if (point.watch == Watch::Delay)
            Sleep(1);
    }
}

// An uninstallation run to its end without a window: with setup.exe, or
// with the copy left in the folder.
DWORD UninstallToTheEnd(const std::string& dir, bool withTheCopy)
{
    ScratchFolder elsewhere("uninstall-cwd");
    const std::string copy = dir + "\\desinstal.exe";
    DWORD exitCode = STILL_ACTIVE;
    {
        SetupProcess setup(elsewhere.path(), withTheCopy ? copy : SetupExePath(),
                           withTheCopy ? "/uninstall /verysilent" : "\"/uninstall=" + dir + "\" /verysilent", false);
        exitCode = setup.WaitForExit(120000);
    }
    if (withTheCopy)
        WaitForTheCopysCleaning(dir, false);
    return exitCode;
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
    EXPECT_TRUE(ReadOutside().entries.count(kName)) << "the entry went with a file left";

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
        const Shortcut shortcut = ReadShortcut(GroupFolder() + "\\" + kName + ".lnk");
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

TEST(Uninstall, KilledAtSeededPointsThenRunAgainEndsAsBeforeTheInstallation)
{
    const auto [seed, runs] = SeededRunsFromEnvironment(20261208, 8);
    RecordProperty("seed", static_cast<int>(seed));

    OutsideForTheTest outside(Before::Nothing);
    UninstallMedium medium;
    ScratchFolder parent("uninstall-killed");
    const std::string dir = parent / "dico";
    const Snapshot before = Take(parent.path());

    // The uninterrupted uninstallation, timed: delays are drawn over it.
    ASSERT_TRUE(InstallAndCheckRegistration(medium.path(), dir));
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
            KillPoint point;
            point.watch = static_cast<Watch>(random() % 3);
            point.delayMs = static_cast<DWORD>(random() % (span + span / 2 + 1));
            point.files = 1 + random() % installedFiles;
            DWORD exitCode = STILL_ACTIVE;
            const bool killed = UninstallUntil(dir, point, &exitCode);
            story += "\n  kill at " + point.Describe() + ": ";
            if (killed) {
                ++kills;
                story += "killed, " + std::to_string(ReadFiles(dir).size()) + " files left";
            } else {
                ++endedFirst;
                story += "ended by itself with exit code " + std::to_string(exitCode);
                EXPECT_EQ(exitCode, 0u) << story;
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
