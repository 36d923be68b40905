// The compress command: files stored as a medium stores them compressed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Writes each file compressed in the platform's LZ format under its LZ name
// (script/lz_file.h: "dico.exe" -> "dico.ex_"), beside it, or in folder
// when that is not empty. Returns 0 when every one is written, 1 when any
// cannot be read or written (each said on err; the others are written all
// the same).
int CompressFiles(const std::vector<std::string>& files, const std::string& folder, FILE* err);
