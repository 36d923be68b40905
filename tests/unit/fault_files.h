// The platform part of the file helpers for the fault tests: the host's
// calls, except that one chosen step (the Nth write, flush, sync, close or
// replacement of the run) fails the way a full or failing disk makes it fail.
#pragma once

#include <string>
#include <vector>

enum class FileStep { Write, Flush, Sync, Close, Replace };

const char* FileStepName(FileStep step);

// A file that a successful replacement put in place, as it then was.
struct ReplacedFile {
    size_t step;  // index in FileFaults::steps
    std::string target;
    std::string bytes;
};

// One step as the file layer saw it: what, and on which file (its name in
// the current folder; for a replacement, the source's).
struct StepSeen {
    FileStep kind;
    std::string file;
    int phase;  // FileFaults::phase when it was taken
};

struct FileFaults {
    size_t failAt = 0;  // 1-based number of the step that fails; 0: none
    int phase = 0;      // set by a test between the parts of a run
    std::vector<StepSeen> steps;
    std::vector<ReplacedFile> replaced;
};

extern FileFaults fileFaults;

// Forgets the steps seen and sets the step that will fail (0: none).
void ResetFileFaults(size_t failAt = 0);
