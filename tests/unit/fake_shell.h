// The native test build's lower layer: FatalError throws, message boxes and
// progress calls are recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/message_box.h"

struct FatalErrorExit {
    std::string message;
};

struct RecordedBox {
    BoxOwner owner;
    std::string text;
    std::string caption;
    BoxIcon icon;
};

struct FakeShell {
    std::vector<RecordedBox> boxes;
    std::vector<std::string> progress;  // one line a call, e.g. "Step 64 10%"
    std::vector<int> counters;          // every DrawCounter value
};

extern FakeShell fakeShell;

// Empties the records and resets the setup state.
void ResetFakeShell();

// The message of the fatal error that run ends with; "" when it returns.
std::string FatalMessageOf(const std::function<void()>& run);
