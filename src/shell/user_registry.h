// Keys below the user's hive, opened and read one way for the list of
// installed programs, the undoing of a run and the tests. Names, paths and
// texts are UTF-8, as the registry holds any character. Windows only.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "shell/scoped_handles.h"

// No key when it cannot be opened with that access.
ScopedRegistryKey OpenUserKey(const std::string& path, REGSAM access);
// A REG_SZ value; false when it is missing or of another type.
bool RegistryText(HKEY key, const char* name, std::string& value);
// The names of the keys directly below.
std::vector<std::string> SubkeyNames(HKEY key);
