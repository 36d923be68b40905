#include "shell/collation.h"

namespace {
bool frenchIsSet = false;

unsigned char FoldAZ(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}
}  // namespace

bool SetFrenchCollation()
{
    if (!SetCollationLocaleFrench())
        return false;
    frenchIsSet = true;
    return true;
}

bool FrenchCollationIsSet()
{
    return frenchIsSet;
}

int CompareCollated(const char* a, const char* b)
{
    return frenchIsSet ? CompareFrench(a, b) : CompareFoldedBytes(a, b);
}

int CompareFoldedBytes(const char* a, const char* b)
{
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        unsigned char cx = FoldAZ(*x);
        unsigned char cy = FoldAZ(*y);
        if (cx != cy)
            return cx < cy ? -1 : 1;
        if (cx == 0)
            return 0;
    }
}

bool CollationSortKey(const char* text, std::string& key)
{
    if (frenchIsSet)
        return FrenchSortKey(text, key);
    key.clear();
    for (const char* p = text; *p != '\0'; ++p)
        key.push_back(static_cast<char>(FoldAZ(static_cast<unsigned char>(*p))));
    return true;
}
