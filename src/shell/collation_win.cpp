// The French collation of the platform: the C runtime's collation locale
// "french" and CompareStringW for French (France). Texts are Windows-1252
// whatever the system's code page, so they are widened from it: the order
// is the one the narrow calls give under that code page.
#include <windows.h>

#include <clocale>
#include <cstdint>
#include <string>

#include "shell/collation.h"
#include "shell/wide_text.h"

bool SetCollationLocaleFrench()
{
    return std::setlocale(LC_COLLATE, "french") != nullptr;
}

namespace {
const LCID kFrench = MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT);
const DWORD kFrenchFlags = NORM_IGNORECASE | SORT_STRINGSORT;
}  // namespace

int CompareFrench(const char* a, const char* b)
{
    switch (CompareStringW(kFrench, kFrenchFlags, WidenText(a).c_str(), -1, WidenText(b).c_str(), -1)) {
    case CSTR_LESS_THAN:
        return -1;
    case CSTR_EQUAL:
        return 0;
    case CSTR_GREATER_THAN:
        return 1;
    default:
        return INT32_MAX;
    }
}

// The same flags as the comparison: the system documents that sort keys
// compared as bytes give CompareStringW's order, and a test checks it.
bool FrenchSortKey(const char* text, std::string& key)
{
    const std::wstring wide = WidenText(text);
    key.resize(256);
    // A sort key is bytes, though the wide call counts its buffer in them too.
    int length = LCMapStringW(kFrench, LCMAP_SORTKEY | kFrenchFlags, wide.c_str(), -1,
                              reinterpret_cast<LPWSTR>(&key[0]), static_cast<int>(key.size()));
    if (length == 0) {
        // Too small a buffer: ask for the size.
        length = LCMapStringW(kFrench, LCMAP_SORTKEY | kFrenchFlags, wide.c_str(), -1, nullptr, 0);
        if (length <= 0)
            return false;
        key.resize(static_cast<size_t>(length));
        length = LCMapStringW(kFrench, LCMAP_SORTKEY | kFrenchFlags, wide.c_str(), -1,
                              reinterpret_cast<LPWSTR>(&key[0]), length);
        if (length <= 0)
            return false;
    }
    key.resize(static_cast<size_t>(length));
    return true;
}
