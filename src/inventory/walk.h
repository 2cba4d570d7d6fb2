// The inventory walk: applies one action to the nodes of a list that match a
// target.
#pragma once

#include <stdint.h>

#include "inventory/inventory.h"

namespace inventory {

// What the walk does to each window it reaches.
enum class Action : uint8_t {
  Restore,
  Hide,
  Minimize,
  Attach,        // to the container whose number is the walk's number
  Timestamp,     // the walk's number is a TimestampMode
  Transparency,  // the walk's number is the level, 0 to 9; any other sends nothing
  Log,
  Info,
  MultiImTarget,   // a window that receives the MultiIM
  MultiImCurrent,  // the window the MultiIM starts from
  SendMessage,     // the walk's number is the menu command that opens the send dialog
  ClickThrough,
};

// Which windows of the list the walk acts on: one kind (windows inside a
// container only through the container), every window, or the first one.
// A kind's target has the kind's value.
enum class Target : int32_t {
  ContactList = inventory::ContactList,
  Container = inventory::Container,
  Console = inventory::Console,
  Private = inventory::Private,
  Channel = inventory::Channel,
  All = 100,
  Current,
};

enum class TimestampMode : int32_t { On = 0, Off = 1, Toggle = 2 };

// number: the action's argument (see Action). messageText: used by
// SendMessage only (the medium word, then optionally a blank and the contact
// name); may be null for the others.
void WalkInventory(const WindowNode* start, Target target, Action action, int32_t number,
                   const char* messageText);

}  // namespace inventory
