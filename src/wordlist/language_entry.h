// The language being handled: the entry of langue.cf that the language list
// driver has read. Lower layer of the word list subsystem.
#pragma once

#include "shell/setup_state.h"

struct LanguageEntry {
    char field1[kSetupLineSize];        // the line up to the comma ending field 1
    char field2[kSetupLineSize];
    char field3[kSetupLineSize];
    char languageName[kSetupLineSize];  // the fourth field
    char fromListName[kSetupLineSize];  // under langue\ ; the second line
    char toListName[kSetupLineSize];    // under langue\ ; the third line
};
