// What every fuzz target shares: a private scratch folder that is the
// current directory and the check that turns a broken invariant into a
// crash libFuzzer records. Files: support/files.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Makes a new folder (under FUZZ_SCRATCH, /dev/shm or the temporary folder)
// the current directory for the whole process and removes it at exit. The
// code under test names its files relative to the current directory. Called
// from LLVMFuzzerInitialize with its arguments, before libFuzzer reads them:
// relative inputs, corpus folders and flag paths are made absolute first.
void EnterScratchDir(int* argc, char*** argv);

// Removes every file of the scratch folder, so each input starts alone.
void ClearScratchDir();

// Prints the failed invariant and aborts.
[[noreturn]] void FuzzFailure(const char* file, int line, const std::string& what);
#define FUZZ_CHECK(condition, what)                          \
    do {                                                     \
        if (!(condition))                                    \
            FuzzFailure(__FILE__, __LINE__, (what));         \
    } while (0)

// The lines of a text file as the text-mode reader gives them (CR LF read as
// LF), each with its line end when it has one.
std::vector<std::string> ReadTextLines(const char* path);

// Letters A-Z folded, all other bytes compared as they are.
bool EqualFoldingAZ(std::string_view a, std::string_view b);

// A printable form of bytes for failure messages.
std::string Shown(std::string_view bytes);
