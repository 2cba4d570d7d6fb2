// The commands that act on the client's windows through the inventory.
#pragma once

#include "app/command.h"

namespace app {

int RunWindowCommand(const CommandRecord& record);

// Says that memory ran out (the inventory could not be built); returns the
// status the run ends with.
int OutOfMemory();

}  // namespace app
