// The dispatcher: carries out the command of a record.
#pragma once

#include "app/command.h"

namespace app {

// Carries out the command of the record (the main window looked up).
int Dispatch(const CommandRecord& record);

// Says that the client is not responding; returns kStatusNotResponding.
int NotResponding();

}  // namespace app
