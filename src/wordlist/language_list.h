// The reader of the language list langue.cf, for the installation's driver
// and the publisher's check alike: entries of three usable lines (the
// catalogue line, the FROM list name, the TO list name), and the faults that
// stop an installation, each with its one message.
#pragma once

#include <cstdio>

#include "shell/setup_state.h"
#include "wordlist/language_entry.h"

constexpr char kLanguageListFile[] = "langue.cf";

enum class LanguageListFault {
    None,
    CannotOpen,
    BadLanguageLine,  // fewer than four fields
    IncompleteEntry,  // the file ends before the FROM or TO list name
    BadListName,      // a list named as the builder's temporary lists
    ReadError,
};

// The fatal message of a fault ("Bad language line in LANGUAGE.CF").
const char* LanguageListMessage(LanguageListFault fault);

// An open langue.cf and where the lines of the entry being read stand; a
// line number 0 for a line not read (yet).
struct LanguageListReader {
    FILE* file = nullptr;
    LanguageListFault fault = LanguageListFault::None;
    SetupLineCursor cursor;
    SetupLineCursor catalogueAt, fromAt, toAt;
};

// Reads the next entry's catalogue line and splits it into fields 1 to 3
// and the language name. False at the end of the list (fault None) or on a
// fault.
bool ReadCatalogueLine(LanguageListReader& reader, LanguageEntry& entry);

// Reads the entry's FROM and TO list names. False on a fault.
bool ReadListNames(LanguageListReader& reader, LanguageEntry& entry);

// Splits a catalogue line into fields 1 to 3 and the language name. False
// when it has fewer than four fields.
bool SplitCatalogueLine(const char* line, LanguageEntry& entry);

// True for the names of the builder's own temporary lists (langue\temp.wb,
// langue\temp.to as Windows matches names), which no entry may use.
bool IsTemporaryListName(const char* name);
