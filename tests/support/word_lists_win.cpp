#include <windows.h>

#include "word_lists.h"

int FrenchOrder(const char* a, const char* b)
{
    const LCID french = MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT);
    const int order = CompareStringA(french, NORM_IGNORECASE | SORT_STRINGSORT, a, -1, b, -1);
    return order == 0 ? 1 : order - CSTR_EQUAL;  // a failed comparison counts as greater
}
