// The language list driver: every entry of langue.cf in the install
// directory gets the French collation, its reversed word list and its line in
// the catalogue (and the installation's record, when one is kept); langue.cf
// is deleted when all are done. Portable: the native tests run it.
#pragma once

// Works in the current (install) directory. Ends the run through FatalError
// when langue.cf cannot be opened or read, or holds a bad or cut-short entry.
void ProcessLanguageList();
