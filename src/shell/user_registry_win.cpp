#include "shell/user_registry.h"

#include "shell/wide_text.h"

ScopedRegistryKey OpenUserKey(const std::string& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, WidePath(path.c_str()).c_str(), 0, access, &key) != ERROR_SUCCESS)
        return ScopedRegistryKey();
    return ScopedRegistryKey(key);
}

bool RegistryText(HKEY key, const char* name, std::string& value)
{
    wchar_t text[1024];
    DWORD type = 0;
    DWORD size = sizeof text - sizeof text[0];
    if (RegQueryValueExW(key, WidePath(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    text[size / sizeof text[0]] = L'\0';
    value = Utf8Path(text);
    return true;
}

std::vector<std::string> SubkeyNames(HKEY key)
{
    std::vector<std::string> names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        const LONG status = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        // A name too long for any key of ours is passed over.
        if (status == ERROR_SUCCESS)
            names.push_back(Utf8Path(std::wstring(name, length)));
    }
    return names;
}
