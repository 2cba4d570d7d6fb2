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
// nothing; returns 0.
int ListWindows();

}  // namespace app
