// The copy engine of the install commands: a source opened by its name or
// its underscore name, expanded or copied in blocks into a temporary file
// beside the destination, moved into place only when whole, and entered in
// the installation's record before and after. Windows build only; called by
// the command loop (install_script_win.cpp).
#pragma once

#include <cstdint>

// Why a command or one of its copies did nothing, for the log; a null
// reason means it was done.
using SkipReason = const char*;

// The reason the last failed file call gives, in the words of the log.
SkipReason ReasonOfLastError(SkipReason otherwise);

// copy: source to destination, expanded when it is stored compressed (one
// byte past the promised size is cut; a short or corrupt one installs
// nothing), with the source's last-write time. Logs the file read (its
// underscore name when that was found), the file written and its size.
SkipReason CopyExpanded(const char* source, const char* destination);

// xcopy and sndcopy: every file (not folder) that the search finds, as it
// is but without a read-only mark, to installPrefix + destinationDir + "\" + name, each destination shown
// first and each file skipped logged. Found names are read from
// sourceFolder, a prefix relative to the current directory ("" for the
// folder searched).
SkipReason CopyFoundFiles(const char* pattern, const char* sourceFolder, const char* destinationDir);
