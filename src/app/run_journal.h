// The journal of the running installation, where it is kept, and what
// becomes of it: committed when the run ends well, undone after a fatal
// error, and undone by the next start when the run was killed. Upper layer.
#pragma once

#include <string>
#include <vector>

// Before the run's first change. False when no journal can be kept: the
// run then goes on, and a failure cannot be undone.
bool BeginRunJournal();

// Undoes the running installation's changes, newest first, and logs them.
// Does nothing without a journal.
void RollBackRun();

// Ends the run well: its entries go to its record, if it keeps one, and
// the journal goes.
void CommitRun();

// The per-user folders for files of a run's own: the temporary folder,
// then the local application data; each ends with a backslash.
std::vector<std::string> TemporaryFolders();

// At the start of every run: a journal that no running program holds is
// a killed run's, undone now (or its commit finished).
void RecoverInterruptedRuns();
