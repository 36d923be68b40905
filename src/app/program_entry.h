// The dictionary's entry in the system's list of installed programs: a key
// under the user's Uninstall key, named after the product so that installing
// it again reuses it. Upper layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/install_record.h"

// The key's path below HKEY_CURRENT_USER.
std::string ProgramEntryKey(const char* name);

// The entry keys a record's installation may own: those it recorded, and
// for records that named none, the one of each of its names.
std::vector<std::string> EntryKeysOf(const InstallRecord& record);

// Makes or updates the entry of an installation into installDir: its own
// key, or a new one (NAME (2), ...) where a key of that name belongs to
// another installation or program. Every key it makes and every value it
// replaces is entered in the journal first. keyPath receives the key.
// False when the entry cannot be written.
bool RegisterProgram(const char* name, const char* installDir, std::string& keyPath);

// The size the list shows, from the files the installation wrote.
void SetProgramSize(const std::string& keyPath, uint64_t bytes);

// The folders of the other installations in the list that keep a record.
std::vector<std::string> OtherInstallFolders(const std::string& installDir);

// Removes the entry when it still belongs to the recorded installation,
// then the keys a run made on the way to it, when nothing else is in them.
void UnregisterProgram(const InstallRecord& record);
