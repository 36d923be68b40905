// The French collation of the platform: the C runtime's collation locale
// "french" and CompareStringA for French (France).
#include <windows.h>

#include <clocale>
#include <cstdint>
#include <string>

#include "shell/collation.h"

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
    switch (CompareStringA(kFrench, kFrenchFlags, a, -1, b, -1)) {
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
// compared as bytes give CompareStringA's order, and a test checks it.
bool FrenchSortKey(const char* text, std::string& key)
{
    key.resize(256);
    int length = LCMapStringA(kFrench, LCMAP_SORTKEY | kFrenchFlags, text, -1,
                              reinterpret_cast<LPSTR>(&key[0]), static_cast<int>(key.size()));
    if (length == 0) {
        // Too small a buffer: ask for the size.
        length = LCMapStringA(kFrench, LCMAP_SORTKEY | kFrenchFlags, text, -1, nullptr, 0);
        if (length <= 0)
            return false;
        key.resize(static_cast<size_t>(length));
        length = LCMapStringA(kFrench, LCMAP_SORTKEY | kFrenchFlags, text, -1,
                              reinterpret_cast<LPSTR>(&key[0]), length);
        if (length <= 0)
            return false;
    }
    key.resize(static_cast<size_t>(length));
    return true;
}
