// The child-window scanner: one enumeration callback steered by a child
// command (action letter, option letter, mode digit, then a class prefix or,
// for "D", a contact name).
#pragma once

#include <stdint.h>

#include "platform/platform.h"

namespace inventory {

// context is the zero-terminated child command, which must outlive the
// enumeration. Returns 1 to go on, 0 to stop.
int ScanChildWindow(plat::Window window, intptr_t context);

}  // namespace inventory
