// What every fuzz target shares: a private scratch folder that is the
// current directory, and the check that turns a broken invariant into a
// crash libFuzzer records. Files: support/files.h.
//
// LLVMFuzzerInitialize is defined here: it makes a new folder (under
// FUZZ_SCRATCH, /dev/shm or the temporary folder) the current directory for
// the whole process, removed at exit, where the code under test names its
// files. Relative inputs, corpus folders and flag paths are made absolute
// first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Empties the scratch folder and resets the fake lower layer and the setup
// state, so each input starts alone.
void StartInput();

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
