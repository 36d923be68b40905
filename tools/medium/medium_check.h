// The check of a setup medium: install.inf read line by line with the
// product's own line rule and command parser, every copy source found as
// Windows finds it and expanded whole, the install folder that the commands
// would make followed step by step, and langue.cf, its word lists and
// dict.ini read as the installation reads them. On a sealed medium
// (manifest.crc) every listed file is verified, and every file that
// setup.exe reads must be listed.
#pragma once

#include <string>

#include "report.h"

// Reports, in the order met, what setup.exe would stop on or install
// otherwise than the files say (errors) and what it would skip or cut, or
// what is likely a mistake (warnings). False when dir cannot be read.
bool CheckMedium(const std::string& dir, Report& report);
