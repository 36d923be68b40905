// The install commands of install.inf. Windows build only.
#pragma once

// Reads install.inf afresh from setup.sourceDir and performs its install
// commands in file order: directories under setup.installDir, copies from the
// medium (compressed files expanded), the win.ini key, and the values and
// flags later steps use. Sets setup.installPrefix first. Shows each
// destination in the directory field before copying to it. A missing
// install.inf ends the program through FatalError; every other failure skips
// that line (or that file) silently.
void RunInstallScript();

// The one initialisation key an installation writes (avidelay).
constexpr char kAviIniFile[] = "win.ini";
constexpr char kAviSection[] = "Dictionary";
constexpr char kAviKey[] = "FrenchAviDelay";
