#include "outside.h"

#include <algorithm>
#include <stdexcept>

#include "shell/user_registry.h"
#include "support/installed_files.h"
#include "support/shortcuts.h"

const char kProductName[] = "Dictionnaire bilingue";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kGroup[] = "Dictionnaire";
const char kOtherEntry[] = "Autre produit";

std::string GroupFolder()
{
    return ProgramMenuFolder() + "\\" + kGroup;
}

std::string EntryKey(const std::string& name)
{
    return std::string(kUninstallKey) + "\\" + name;
}

bool KeyThere(const std::string& path)
{
    return static_cast<bool>(OpenUserKey(path, KEY_READ));
}

std::set<std::string> Subkeys(const std::string& path)
{
    const ScopedRegistryKey key = OpenUserKey(path, KEY_READ);
    const std::vector<std::string> names = key ? SubkeyNames(key.get()) : std::vector<std::string>();
    return std::set<std::string>(names.begin(), names.end());
}

namespace {

// The keys from Software down to ...\\Uninstall, outermost first.
std::vector<std::string> KeysOnThePath()
{
    std::vector<std::string> keys;
    const std::string path = kUninstallKey;
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1))
        keys.push_back(path.substr(0, at));
    keys.push_back(path);
    return keys;
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

std::string Listed(const std::set<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "\"" : ", \"") + name + "\"";
    return text.empty() ? "none" : text;
}

void DeleteEntry(const std::string& name)
{
    RegDeleteKeyA(HKEY_CURRENT_USER, EntryKey(name).c_str());
}

}  // namespace

std::string IniSection(const char* section)
{
    std::vector<char> text(32768);
    DWORD length = GetPrivateProfileSectionA(section, text.data(), static_cast<DWORD>(text.size()), "win.ini");
    std::string lines(text.data(), length);
    std::replace(lines.begin(), lines.end(), '\0', '\n');
    return lines.empty() ? lines : lines + "\n";
}

Outside ReadOutside()
{
    Outside outside;
    for (const std::string& key : KeysOnThePath())
        if (KeyThere(key))
            outside.keysThere.push_back(key);
    outside.entries = Subkeys(kUninstallKey);
    outside.sectionThere = IniSectionThere("Dictionary");
    outside.section = IniSection("Dictionary");
    outside.groupThere = IsFolder(GroupFolder());
    if (outside.groupThere)
        outside.group = ReadFiles(GroupFolder());
    return outside;
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

OutsideForTheTest::OutsideForTheTest(Before before) : found_(ReadOutside())
{
    RemoveTree(GroupFolder());
    WritePrivateProfileStringA("Dictionary", nullptr, nullptr, "win.ini");
    for (const char* name : {kProductName, kOtherEntry})
        DeleteEntry(name);
    if (Subkeys(kUninstallKey).empty())
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

OutsideForTheTest::~OutsideForTheTest()
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
    for (const std::string& name : Subkeys(kUninstallKey))
        if (!found_.entries.count(name))
            DeleteEntry(name);
    const std::vector<std::string> keys = KeysOnThePath();
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        if (std::count(found_.keysThere.begin(), found_.keysThere.end(), *key) == 0)
            RegDeleteKeyA(HKEY_CURRENT_USER, key->c_str());
}

UninstallMedium::UninstallMedium(const std::string& name)
{
    CopyTree(BesideProgram("medium"), folder.path());
    std::string script = ReadFileBytes(folder / "install.inf");
    const std::string copies = "copy dico.ex_ dico.exe\r\n";
    const size_t at = script.find(copies);
    if (at == std::string::npos)
        throw std::runtime_error("the sample medium's install.inf has no copy of dico.exe");
    script.insert(at, "uninstall " + name + "\r\n");
    WriteFileBytes(folder / "install.inf", script + "uninstall Autre nom\r\n");
    ResealIfSealed(folder.path());
}

std::string SampleCatalogue()
{
    return Catalogue("anglais.wb", "fr,de,langue\\allemand.tb,Allemand\r\nfr,en,langue\\anglais.tb,Anglais\r\n");
}

DWORD InstallQuietly(const std::string& medium, const std::string& dir)
{
    SetupProcess setup(medium, SetupExePath(), "/verysilent \"/dir=" + dir + "\"", false);
    return setup.WaitForExit(180000);
}

void WaitForTheCopysCleaning(const std::string& dir, bool folderStays)
{
    WaitFor([&] {
        return !PathExists(dir + "\\desinstal.exe") && !PathExists(dir + "\\desinstal.dat") &&
               (folderStays || !PathExists(dir));
    }, 30000);
}

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
