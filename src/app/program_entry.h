// The dictionary's entry in the system's list of installed programs: a key
// under the user's Uninstall key, named after the product so that installing
// it again reuses it. Upper layer.
#pragma once

#include <cstdint>
#include <string>

#include "shell/install_record.h"

// The key's path below HKEY_CURRENT_USER.
std::string ProgramEntryKey(const char* name);

// Makes or updates the entry of an installation into installDir; every key
// it makes is entered in the installation's record first. False when the
// entry cannot be written.
bool RegisterProgram(const char* name, const char* installDir);

// The size the list shows, from the files the installation wrote.
void SetProgramSize(const char* name, uint64_t bytes);

// Removes the entry when it still belongs to the recorded installation,
// then the keys a run made on the way to it, when nothing else is in them.
void UnregisterProgram(const InstallRecord& record);
