// The inventory walk: applies one window action to the nodes of a list that
// match a target. An action is a row of facts (WindowAction), not code: the
// walk reads what the row says it sends, to which windows, and whether a
// container passes it on.
#pragma once

#include <stdint.h>

#include "inventory/inventory.h"

namespace inventory {

// What an action sends to each window it acts on.
enum class Sends : uint8_t {
  Show,                // the show request showCommand
  MenuCommands,        // menuId, then secondMenuId when it is not 0
  MenuByLevel,         // the menuChoices' id of the level when it is below choices
  MenuByMode,          // the menuChoices' id of the timestampMode
  MenuPlusNumber,      // menuId plus the container number
  ToggleClickThrough,  // the extended style with WS_EX_TRANSPARENT turned over
  SendDialog,          // to a console of the medium: the send dialog's command, then the
                       // contact into the dialog
};

// The menu ids that MenuByLevel and MenuByMode choose among
// (client/contract.h), and the child commands (inventory/scanner.h) that an
// action sends on, each named in a row by a byte rather than by a pointer,
// eight bytes on x86-64.
enum class MenuChoices : uint8_t { None, Timestamps, Transparencies };
enum class ChildCommand : uint8_t { None, EnterDisplays };

// A bit for each WindowKind.
constexpr uint8_t KindBit(int32_t kind) { return static_cast<uint8_t>(1u << kind); }

// A window action's facts, packed: a row of the table for each action.
// Members a row leaves out take these values.
struct WindowAction {
  Sends sends : 3 = Sends::Show;
  // A container passes the action to the windows inside it (walked as
  // every window) instead of receiving it; the walk then passes over the
  // windows of passedOverKinds, which do not count as acted on.
  bool passesInside : 1 = false;
  // Hidden windows, and windows of spareKinds, count as acted on but are
  // sent nothing.
  bool visibleOnly : 1 = false;
  bool endsWalk : 1 = false;  // the walk ends at the first window acted on, whatever the target
  uint8_t showCommand : 4 = 0;  // Show
  uint8_t choices : 4 = 0;      // MenuByLevel, MenuByMode: the entries of menuTable
  uint8_t passedOverKinds = 0;
  uint8_t spareKinds = 0;
  uint16_t menuId = 0;
  uint16_t secondMenuId = 0;
  MenuChoices menuChoices = MenuChoices::None;  // MenuByLevel, MenuByMode
  // A child command for the window's descendants, after the menu commands.
  ChildCommand childCommand = ChildCommand::None;
};

// Which windows of the list the walk acts on: one kind (windows inside a
// container only through the container), every window, the first one, or
// the node the walk starts at alone. A kind's target has the kind's value.
enum class Target : int32_t {
  ContactList = inventory::ContactList,
  Container = inventory::Container,
  Console = inventory::Console,
  Private = inventory::Private,
  Channel = inventory::Channel,
  All = 100,
  Current,    // the first window the action is not passed over at
  StartNode,  // the node the walk starts at (a container found by name), alone
};

enum class TimestampMode : int32_t { On = 0, Off = 1, Toggle = 2 };

// What an action reads besides its row.
struct WalkArguments {
  int32_t level;               // MenuByLevel: 0 to 9; any other sends nothing
  TimestampMode timestampMode;  // MenuByMode
  int32_t containerNumber;     // MenuPlusNumber: 1 or more
  uint16_t sendDialogCommand;  // SendDialog: the medium's menu command; 0: none
  // SendDialog: the medium word, then optionally a blank and the contact
  // name; null for the other actions.
  const char* messageText;
};

void WalkInventory(const WindowNode* start, Target target, const WindowAction& action,
                   const WalkArguments& arguments);

}  // namespace inventory
