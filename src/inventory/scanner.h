// The child-window scanner: one enumeration callback steered by a child
// command (action letter, option letter, mode digit, then a class prefix or,
// for "D", a contact name).
#pragma once

#include <stdint.h>

#include "platform/platform.h"

namespace inventory {

// A menu command (WM_COMMAND) to a window of the client, within the bounds
// of the calls.
void SendMenuCommand(plat::Window window, uint32_t id);

// context is the zero-terminated child command, which must outlive the
// enumeration. Returns 1 to go on, 0 to stop.
int ScanChildWindow(plat::Window window, intptr_t context);

// Where the dock command puts the contact list; None gives the client's own
// dock command alone. Each is the option letter of its child command.
enum class DockPosition : char { None = 'o', Top = 't', Bottom = 'b', Left = 'l', Right = 'r' };

// The dock command, as a child command over every descendant of the
// contact-list window.
void DockContactList(plat::Window contactList, DockPosition position);

}  // namespace inventory
