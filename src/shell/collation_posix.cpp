// The collation's platform part natively: the host has no "french" locale of
// the platform's kind, so only the byte fallback exists.
#include "shell/collation.h"

#include "shell/text_file.h"

bool SetCollationLocaleFrench()
{
    return false;
}

int CompareFrench(const char* a, const char* b)
{
    return CompareFoldedBytes(a, b);
}

bool FrenchSortKey(const char* text, std::string& key)
{
    key.clear();
    for (const char* p = text; *p != '\0'; ++p)
        key.push_back(FoldAZ(*p));
    return true;
}
