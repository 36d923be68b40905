// The language list driver: every entry of langue.cf in the install
// directory gets the French collation, its reversed word list and its line in
// the catalogue; langue.cf is deleted when all are done.
#pragma once

#include "wordlist/language_entry.h"

// Works in the current (install) directory. Ends the run through FatalError
// when langue.cf cannot be opened or read, or holds a bad or cut-short entry.
void ProcessLanguageList();

// The reader's rules, for the publisher's medium check as well.

// Splits a catalogue line into fields 1 to 3 and the language name. False
// when it has fewer than four fields.
bool SplitCatalogueLine(const char* line, LanguageEntry& entry);

// True for the names of the builder's own temporary lists (langue\temp.wb,
// langue\temp.to as Windows matches names), which no entry may use.
bool IsTemporaryListName(const char* name);
