#include "app/program_entry.h"

#include <windows.h>

#include <algorithm>

#include "app/command_line.h"
#include "shell/run_log.h"
#include "shell/scoped_handles.h"
#include "shell/text_file.h"
#include "shell/user_registry.h"
#include "shell/wide_text.h"
#include "shell/windows1252.h"

namespace {

constexpr char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// value in UTF-8.
bool SetText(HKEY key, const char* name, const std::string& value)
{
    const std::wstring wide = WidePath(value.c_str());
    return RegSetValueExW(key, WidePath(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool SetNumber(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExW(key, WidePath(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

std::string TextValue(HKEY key, const char* name)
{
    std::string value;
    return RegistryText(key, name, value) ? value : std::string();
}

// True when the key holds neither keys nor values.
bool IsEmptyKey(const std::string& path)
{
    ScopedRegistryKey key = OpenUserKey(path, KEY_READ);
    DWORD subkeys = 0, values = 0;
    return key && RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                   nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           subkeys == 0 && values == 0;
}

constexpr const char* kEntryValues[] = {"DisplayName", "UninstallString", "QuietUninstallString",
                                        "InstallLocation", "DisplayIcon", "InstallDate",
                                        "EstimatedSize", "NoModify", "NoRepair"};

// Before the values of an entry that exists are set: each as it is.
void RecordEntryValues(const std::string& path)
{
    ScopedRegistryKey key = OpenUserKey(path, KEY_READ);
    if (!key)
        return;
    for (const char* name : kEntryValues) {
        BYTE data[2048];
        DWORD type = 0, size = sizeof data;
        const bool had =
            RegQueryValueExW(key.get(), WidePath(name).c_str(), nullptr, &type, data, &size) == ERROR_SUCCESS &&
            size <= sizeof data;
        RecordRegistryValue(path.c_str(), name, had, type,
                            had ? std::string(reinterpret_cast<const char*>(data), size) : std::string());
    }
}

}  // namespace

std::string ProgramEntryKey(const char* name)
{
    // A backslash would make a path of keys.
    std::string key = Windows1252ToUtf8(name);
    for (char& c : key) {
        if (c == '\\')
            c = '_';
    }
    return std::string(kUninstallRoot) + "\\" + key;
}

std::vector<std::string> EntryKeysOf(const InstallRecord& record)
{
    std::vector<std::string> keys = record.entryKeys;
    if (keys.empty()) {
        for (const std::string& name : record.names)
            keys.push_back(ProgramEntryKey(name.c_str()));
    }
    return keys;
}

namespace {

// An installation's entry is the one whose install location is its folder.
bool EntryOf(const std::string& path, const char* installDir)
{
    ScopedRegistryKey key = OpenUserKey(path, KEY_READ);
    return key && SameName(TextValue(key.get(), "InstallLocation"), installDir);
}

// The key for an installation: the name's own, unless another's holds it.
std::string FreeEntryKey(const char* name, const char* installDir)
{
    const std::string base = ProgramEntryKey(name);
    for (int n = 1; n < 100; ++n) {
        const std::string path = n == 1 ? base : base + " (" + std::to_string(n) + ")";
        if (!OpenUserKey(path, KEY_READ) || EntryOf(path, installDir))
            return path;
    }
    return std::string();
}

}  // namespace

bool RegisterProgram(const char* name, const char* installDir, std::string& keyPath)
{
    // The keys to be made, outermost first, enter the record before they
    // exist: once one is missing, so is every key below it.
    const std::string path = FreeEntryKey(name, installDir);
    keyPath = path;
    if (path.empty())
        return false;
    RecordProgramEntry(path.c_str());
    bool missing = false;
    size_t end = 0;
    do {
        end = path.find('\\', end + 1);
        const std::string level = path.substr(0, end);
        missing = missing || !OpenUserKey(level, KEY_READ);
        if (missing)
            RecordRegistryKey(level.c_str());
    } while (end != std::string::npos);
    if (!missing)
        RecordEntryValues(path);

    HKEY made = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, WidePath(path.c_str()).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &made, nullptr) != ERROR_SUCCESS)
        return false;
    ScopedRegistryKey key(made);
    // Several products may share the folder: the entry names its own.
    const std::string uninstaller =
        "\"" + PathInDir(installDir, kUninstallerFile) + "\" " + Windows1252ToUtf8(UninstallArguments(name));
    return SetText(key.get(), "DisplayName", Windows1252ToUtf8(name)) &&
           SetText(key.get(), "UninstallString", uninstaller) &&
           SetText(key.get(), "QuietUninstallString", uninstaller + " /verysilent") &&
           SetText(key.get(), "InstallLocation", installDir) &&
           SetText(key.get(), "DisplayIcon", PathInDir(installDir, kUninstallerFile) + ",0") &&
           SetText(key.get(), "InstallDate", LocalTimeText("%Y%m%d")) && SetNumber(key.get(), "EstimatedSize", 0) &&
           SetNumber(key.get(), "NoModify", 1) && SetNumber(key.get(), "NoRepair", 1);
}

void SetProgramSize(const std::string& keyPath, uint64_t bytes)
{
    ScopedRegistryKey key = OpenUserKey(keyPath, KEY_SET_VALUE);
    const uint64_t kib = (bytes + 1023) / 1024;
    if (key)
        SetNumber(key.get(), "EstimatedSize", kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(kib));
}

std::vector<std::string> OtherInstallFolders(const std::string& installDir)
{
    std::vector<std::string> folders;
    ScopedRegistryKey root = OpenUserKey(kUninstallRoot, KEY_READ);
    for (const std::string& name : root ? SubkeyNames(root.get()) : std::vector<std::string>()) {
        ScopedRegistryKey entry = OpenUserKey(std::string(kUninstallRoot) + "\\" + name, KEY_READ);
        const std::string folder = entry ? TextValue(entry.get(), "InstallLocation") : std::string();
        const bool known = std::any_of(folders.begin(), folders.end(), [&](const std::string& other) {
            return SameName(other, folder);
        });
        if (!folder.empty() && !known && !SameName(folder, installDir) &&
            GetFileAttributesW(WidePath(PathInDir(folder, kRecordFile).c_str()).c_str()) != INVALID_FILE_ATTRIBUTES)
            folders.push_back(folder);
    }
    return folders;
}

void UnregisterProgram(const InstallRecord& record)
{
    // Each key the runs registered (a later run may have renamed the
    // product), while it is still this installation's.
    const std::vector<std::string> entries = EntryKeysOf(record);
    for (const std::string& path : entries) {
        if (EntryOf(path, record.installDir.c_str())) {
            const bool removed = RegDeleteKeyW(HKEY_CURRENT_USER, WidePath(path.c_str()).c_str()) == ERROR_SUCCESS;
            LogLine("Registry HKCU\\%s: %s", path.c_str(), removed ? "removed" : "kept (cannot be removed)");
        }
    }
    // Innermost first: keys another installation handed over come last.
    std::vector<std::string> levels = record.registryKeys;
    std::stable_sort(levels.begin(), levels.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (auto level = levels.begin(); level != levels.end(); ++level) {
        const bool entry = std::any_of(entries.begin(), entries.end(), [&](const std::string& path) {
            return SameName(*level, path);
        });
        if (!entry && IsEmptyKey(*level) &&
            RegDeleteKeyW(HKEY_CURRENT_USER, WidePath(level->c_str()).c_str()) == ERROR_SUCCESS)
            LogLine("Registry HKCU\\%s: removed", level->c_str());
    }
}
