#include <windows.h>

#include <string>

#include "word_lists.h"

namespace {

// Word lists are Windows-1252 whatever the system's code page.
std::wstring FromWindows1252(const char* text)
{
    const int length = MultiByteToWideChar(1252, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(1252, 0, text, -1, &wide[0], length);
    return wide;
}

}  // namespace

int FrenchOrder(const char* a, const char* b)
{
    const LCID french = MAKELCID(MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), SORT_DEFAULT);
    const int order = CompareStringW(french, NORM_IGNORECASE | SORT_STRINGSORT, FromWindows1252(a).c_str(), -1,
                                     FromWindows1252(b).c_str(), -1);
    return order == 0 ? 1 : order - CSTR_EQUAL;  // a failed comparison counts as greater
}
