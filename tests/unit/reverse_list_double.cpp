#include "reverse_list_double.h"

#include <cstdio>

#include "wordlist/reverse_list.h"

std::vector<ReverseListCall> reverseListCalls;

void BuildReverseList(const LanguageEntry& entry)
{
    FILE* catalogue = std::fopen("dict.ini", "rb");
    if (catalogue)
        std::fclose(catalogue);
    reverseListCalls.push_back(
        {entry.languageName, entry.fromListName, entry.toListName, catalogue != nullptr});
}
