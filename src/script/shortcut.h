// The program-menu shortcut of the installed program. Windows build only.
#pragma once

#include <windows.h>

#include "shell/setup_state.h"

// Writes <program menu>\<iconGroup>\<iconName>.lnk (the group made when
// missing, the program menu itself when the group can't be entered) pointing
// at installPrefix + iconExe, with shortcutArgs and installPrefix as working
// directory. Leaves the current directory at the folder that holds the
// shortcut. Does nothing when the program menu can't be found or a path does
// not fit 259 characters. COM must be initialised on this thread.
void CreateProgramShortcut();

// The user's program menu, by its full path; false when it can't be found.
bool ProgramMenuFolder(char (&folder)[kPathSize]);

// Has the shell-link object save a shortcut file with the three values:
// paths in UTF-8, the arguments Windows-1252 text as install.inf gives them.
// Returns the status of the save, or of the first step that failed.
HRESULT SaveShellLink(const char* target, const char* shortcutPath, const char* workingDir,
                      const char* arguments);
