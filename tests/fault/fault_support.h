// Folder contents for the fault tests under Wine: whole trees read and
// written as maps of relative names to bytes.
#pragma once

#include <map>
#include <string>

#include "driver.h"

using Tree = std::map<std::string, std::string>;  // "langue\\a.wb" -> bytes

// Every file under folder, by its name relative to folder.
Tree ReadTree(const std::string& folder);

// Writes the files under folder, making their folders first.
void WriteTree(const std::string& folder, const Tree& files);

// The documented texts of the fatal boxes a failed write may end a run with.
bool IsWriteFailureMessage(const std::string& text);

// Names that hold only work in progress, never a user's data.
bool IsTemporaryName(const std::string& name);
