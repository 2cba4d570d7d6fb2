// The commands that act on the client's windows through the inventory.
#pragma once

#include "app/command.h"

namespace app {

int RunWindowCommand(const CommandRecord& record);

// Says that memory ran out (the inventory could not be built); returns the
// status the run ends with.
int OutOfMemory();

// Lists the client's windows as the window commands see them, in a box or,
// when the standard output is a file or a pipe, there. Sends the client
// nothing; returns 0, or kStatusListCut when the list could not be written
// whole.
int ListWindows();

// Says what went wrong in /windows: in a box, or, when the standard output
// is a file or a pipe, in the same words on standard error, since a box
// would stop the script until someone clicks it. Returns status.
int TellListError(const char* text, int status);

}  // namespace app
