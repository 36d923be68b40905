// The start of an input for the targets linked with the fake lower layer;
// the medium tool's targets bring their own lower layer and do without.
#include <unistd.h>

#include "fake_shell.h"
#include "fuzz_support.h"
#include "support/files.h"

void StartInput()
{
    // Only files are ever made there.
    for (const std::string& name : FolderNames(".")) {
        if (unlink(name.c_str()) != 0)
            FuzzFailure(__FILE__, __LINE__, "cannot remove " + Shown(name) + " (a folder?)");
    }
    ResetFakeShell();
}
