// A FROM word list read as setup.exe reads it, with the product's loader,
// and its records held to the format: whole 84-byte records, each text
// ended by a zero byte inside its field and nothing but zeros after it.
#pragma once

#include <string>

#include "report.h"

struct WordListFacts {
    int records = 0;        // whole records, as setup.exe counts them
    bool loaded = false;    // the product's loader read them all
    std::string longestKey, longestValue;
    int fewestWords = 0, mostWords = 0;  // words of a value, as the builder splits it
    long long words = 0;
};

// Reports the list's faults under file, the record's number (from 1) as the
// line; returns what it found out.
WordListFacts CheckWordList(const std::string& bytes, const std::string& file, Report& report);
