// The reverse list builder: one language's FROM list turned into its sorted,
// merged TO list through langue\temp.wb, with the progress display and the
// closing box. Paths are relative to the current (install) directory.
#pragma once

#include "wordlist/language_entry.h"

// Returns when the closing box has been closed, or ends the process through
// FatalError.
void BuildReverseList(const LanguageEntry& entry);
