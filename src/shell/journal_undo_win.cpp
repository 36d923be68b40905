#include <windows.h>

#include <cstring>
#include <vector>

#include "shell/journal_undo.h"
#include "shell/scoped_handles.h"
#include "shell/text_file.h"
#include "shell/user_registry.h"
#include "shell/wide_text.h"

namespace {

class WindowsUndoSystem final : public UndoSystem {
public:
    bool Stamp(const std::string& path, uint64_t& size, uint64_t& time) override
    {
        return FileStamp(path.c_str(), size, time);
    }

    bool Exists(const std::string& path) override
    {
        return GetFileAttributesW(WidePath(path.c_str()).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    bool RemoveFile(const std::string& path) override
    {
        // Copies from a read-only medium are read-only too.
        SetFileAttributesW(WidePath(path.c_str()).c_str(), FILE_ATTRIBUTE_NORMAL);
        return RemovePath(path.c_str());
    }

    bool MoveToFreeName(const std::string& from, const std::string& to) override
    {
        return MoveFileExW(WidePath(from.c_str()).c_str(), WidePath(to.c_str()).c_str(), 0) != 0;
    }

    bool RemoveFolder(const std::string& path) override
    {
        return RemoveDirectoryW(WidePath(path.c_str()).c_str()) != 0;
    }

    // win.ini keeps the narrow calls: its values are Windows-1252 text, and
    // the dictionary, a narrow program, reads back the bytes they write.
    bool IniValue(const RecordedIniKey& key, std::string& value) override
    {
        // Two different defaults tell a missing key from any value it may have.
        char text[1024], check[2];
        GetPrivateProfileStringA(key.section.c_str(), key.key.c_str(), "", text, sizeof text, key.file.c_str());
        const bool missing = GetPrivateProfileStringA(key.section.c_str(), key.key.c_str(), "?", check,
                                                      sizeof check, key.file.c_str()) == 1 &&
                             check[0] == '?' && text[0] != '?';
        value = text;
        return !missing;
    }

    void RestoreIniKey(const RecordedIniKey& key) override
    {
        const char* file = key.file.c_str();
        const char* section = key.section.c_str();
        WritePrivateProfileStringA(section, key.key.c_str(), key.hadValue ? key.value.c_str() : nullptr, file);
        // A section made for the key goes once nothing else is in it.
        char keys[4];
        if (!key.hadSection && GetPrivateProfileSectionA(section, keys, sizeof keys, file) == 0)
            WritePrivateProfileStringA(section, nullptr, nullptr, file);
    }

    bool RemoveRegistryKey(const std::string& path) override
    {
        ScopedRegistryKey key = OpenUserKey(path, KEY_READ);
        if (!key)
            return false;
        DWORD subkeys = 0;
        if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            subkeys != 0)
            return false;
        key.reset();
        return RegDeleteKeyW(HKEY_CURRENT_USER, WidePath(path.c_str()).c_str()) == ERROR_SUCCESS;
    }

    bool RestoreRegistryValue(const std::string& keyPath, const std::string& name, bool had, uint32_t type,
                              const std::string& data) override
    {
        ScopedRegistryKey key = OpenUserKey(keyPath, KEY_SET_VALUE);
        if (!key)
            return false;
        if (!had) {
            const LONG status = RegDeleteValueW(key.get(), WidePath(name.c_str()).c_str());
            return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
        }
        return RegSetValueExW(key.get(), WidePath(name.c_str()).c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }
};

}  // namespace

UndoSystem& HostUndoSystem()
{
    static WindowsUndoSystem system;
    return system;
}
