// The French collation of the platform: the C runtime's collation locale
// "french" and CompareStringA for French (France).
#include <windows.h>

#include <clocale>
#include <cstdint>

#include "wordlist/collation.h"

bool SetCollationLocaleFrench()
{
    return std::setlocale(LC_COLLATE, "french") != nullptr;
}

int CompareFrench(const char* a, const char* b)
{
    const LCID french = MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT);
    switch (CompareStringA(french, NORM_IGNORECASE | SORT_STRINGSORT, a, -1, b, -1)) {
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
