// The inventory walk: applies one action to the nodes of a list that match a
// target.
#pragma once

#include <stdint.h>

#include "inventory/inventory.h"

namespace inventory {

// Action letters; compared exactly, so 'c' and 'C' differ.
namespace ActionCode {
inline constexpr char Restore = 's';
inline constexpr char Hide = 'h';
inline constexpr char Minimize = 'n';
inline constexpr char Attach = 'C';
inline constexpr char Timestamp = 'm';
inline constexpr char Transparency = 't';
inline constexpr char Log = 'l';
inline constexpr char Info = 'i';
inline constexpr char MultiImTarget = 'u';
inline constexpr char MultiImCurrent = 'v';
inline constexpr char SendMessage = 'D';
inline constexpr char ClickThrough = 'c';
}  // namespace ActionCode

// target: a WindowKind, TargetAll or TargetCurrent. action: a text whose
// first character is the action letter. number: the action's argument.
// messageText: used by SendMessage only (the medium word, then optionally a
// blank and the contact name); may be null for the others.
void WalkInventory(const WindowNode* start, int32_t target, const char* action, int32_t number,
                   const char* messageText);

}  // namespace inventory
