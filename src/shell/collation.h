// The French collation shared by the two sorts: the word lists and the
// catalogue's language section. Lower layer.
#pragma once

#include <string>

// Sets the runtime's collation category to the locale "french". True when
// it was set; once set it stays set for the process.
bool SetFrenchCollation();

// True once SetFrenchCollation has succeeded.
bool FrenchCollationIsSet();

// Compares two texts: by the platform's French collation (case ignored,
// hyphen and apostrophe compared as symbols) once it is set, otherwise by
// CompareFoldedBytes. Negative, zero or positive; a comparison the system
// cannot carry out counts as greater (INT32_MAX).
int CompareCollated(const char* a, const char* b);

// The fallback: letters A-Z taken as a-z, bytes compared as unsigned.
int CompareFoldedBytes(const char* a, const char* b);

// The sort key of text under the comparison that CompareCollated makes: two
// keys compared byte by byte as unsigned values (a key that is the start of a
// longer one first) stand in the order of their texts. Computing the key once
// per text and comparing keys is much cheaper than comparing texts. False
// when the system cannot make the key.
bool CollationSortKey(const char* text, std::string& key);

// Platform part: the French comparison itself.
int CompareFrench(const char* a, const char* b);
// Platform part: the sort key of the French comparison.
bool FrenchSortKey(const char* text, std::string& key);
// Platform part: sets the collation category; true on success.
bool SetCollationLocaleFrench();
