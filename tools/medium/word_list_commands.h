// The word list commands of the tool. Each returns the exit code: 0 done,
// 1 the list or text has errors (import then writes nothing), 2 a file
// cannot be read or written, or the command cannot run here.
#pragma once

#include <cstdio>
#include <string>

int ExportWordList(const std::string& list, FILE* out, FILE* err);
int ImportWordList(const std::string& text, const std::string& list, FILE* err);
int DescribeWordList(const std::string& list, FILE* out);
// The TO list of a FROM list, built by setup.exe's own builder.
int ReverseWordList(const std::string& from, const std::string& to, FILE* err);
