#include "shell/collation.h"

#include "shell/text_file.h"

namespace {
bool frenchIsSet = false;
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
    for (;; ++a, ++b) {
        const unsigned char cx = static_cast<unsigned char>(FoldAZ(*a));
        const unsigned char cy = static_cast<unsigned char>(FoldAZ(*b));
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
        key.push_back(FoldAZ(*p));
    return true;
}
