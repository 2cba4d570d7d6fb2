// The commands that act on the client's windows through the inventory.
#pragma once

#include "app/command.h"

namespace app {

int RunWindowCommand(CommandState& state);

}  // namespace app
