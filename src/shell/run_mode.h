// How attended the run is, as the command line says. Portable.
#pragma once

enum class RunMode {
    Attended,    // the window waits for the user; boxes are shown
    Silent,      // installs at once; the window shows, no box waits
    VerySilent,  // as Silent, with no window shown at all
};

// Set once at start-up, before anything may show a box.
inline RunMode runMode = RunMode::Attended;

// True when no box may wait for a user.
inline bool Unattended()
{
    return runMode != RunMode::Attended;
}
