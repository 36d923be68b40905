// The one way a fatal failure ends the program.
#pragma once

// Arrow cursor, a box captioned "Error" with the error icon (owned by the
// main window once it exists), then exit code 1 at once; nothing cleaned up.
[[noreturn]] void FatalError(const char* message);
