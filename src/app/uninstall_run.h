// The uninstallation: what the record of an installation lists, removed or
// put back as it was, after the user said yes. Upper layer.
#pragma once

#include <windows.h>

#include <string>

// Reads installDir's record, shows the window and asks the user (unless
// the run is unattended), then removes the files, folders, shortcut, win.ini
// key, catalogue lines and registry entry of the installation, and last the
// uninstaller and the record. With a product, only that product's part of
// the folder goes, and the uninstaller and the record stay while other
// products remain. Returns the exit code: 0 when done or declined, 3 when
// something is left for a later run. A missing record (or product) ends the
// program through FatalError.
int RunUninstallation(const char* installDir, const std::string& product, int showCommand);

// The work of the copy that RunUninstallation leaves behind when it runs as
// the installation's own uninstaller, which cannot delete itself: once the
// process of endedProgram has ended, removes the uninstaller, the record
// and the install directory when the installation made it and it is empty.
int FinishUninstallation(const char* installDir, HANDLE endedProgram);
