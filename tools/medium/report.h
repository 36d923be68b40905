// The findings of a check: FILE:LINE: error|warning: TEXT, in the order
// they were found, and the summary line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

enum class Severity { Error, Warning };

struct Finding {
    std::string file;  // relative to the medium, as its names stand on disk
    int line;          // 0 where no line applies; a record's number in a word list
    Severity severity;
    std::string text;  // UTF-8
};

struct Report {
    std::vector<Finding> findings;

    void Error(const std::string& file, int line, const std::string& text);
    void Warning(const std::string& file, int line, const std::string& text);
    int Count(Severity severity) const;
};

// "FILE:LINE: error: TEXT"
std::string FormatFinding(const Finding& finding);

// "2 errors, 1 warning"
std::string Summary(const Report& report);

// Every finding, one a line, then the summary line.
void PrintReport(FILE* out, const Report& report);
