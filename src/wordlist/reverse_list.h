// The reverse list builder: one language's FROM list turned into its sorted,
// merged TO list through langue\temp.wb, with the progress display and the
// closing box. Paths are relative to the current (install) directory.
#pragma once

#include "wordlist/language_entry.h"

// The builder's temporary lists. The TO list is written as kTempToPath and
// takes the place of the list only when complete, so a failed build never
// leaves a TO list half written nor loses the list it replaces (the FROM list
// itself when the names are equal).
constexpr char kListFolder[] = "langue\\";  // where langue.cf's list names are
constexpr char kTempListPath[] = "langue\\temp.wb";
constexpr char kTempToPath[] = "langue\\temp.to";
// The fatal error of a word list too large for the process's memory.
constexpr char kOutOfMemoryText[] = "Not enough memory for the word list";

// Returns when the closing box has been closed, or ends the process through
// FatalError.
void BuildReverseList(const LanguageEntry& entry);
