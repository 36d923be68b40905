// The order of a reversed list: keys in the collation's order, keys that the
// collation calls equal by their bytes, and byte-equal keys by their position
// in the file, so that byte-equal keys always stand together and one input
// always gives one output. Portable.
#pragma once

#include <cstdint>

#include "wordlist/word_list.h"

// Comparisons made by the sorts while verbose is set, for the whole process;
// every 1000th is shown in the counter field.
extern int32_t comparisonCount;

// Puts the entries of list in the order above.
void SortWordList(WordList& list);

// The same order with no memory of its own, asking the collation at every
// comparison: much slower. SortWordList falls back to it when memory runs
// out.
void SortWordListComparingTexts(WordList& list);
