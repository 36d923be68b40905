// The one way a fatal failure ends the program.
#pragma once

// Arrow cursor, a box captioned "Error" with the error icon (owned by the
// main window once it exists), then the running installation's changes
// undone, then exit code 1 at once.
[[noreturn]] void FatalError(const char* message);

// The same, for a message (Windows-1252) that ends with a path (UTF-8),
// shown exactly whatever its letters. Windows build only.
[[noreturn]] void FatalErrorNaming(const char* message, const char* path);
