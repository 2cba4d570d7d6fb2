// The window inventory: a snapshot of the client's windows, classified by
// kind, built once per window command.
#pragma once

#include <stdint.h>

#include "platform/platform.h"

namespace inventory {

enum WindowKind : int32_t {
  ContactList = 0,
  Container = 1,
  Console = 2,
  Private = 3,
  Channel = 4,
  Plain = 5,
  PlainQuiet = 6,  // the send dialog: MultiIM and timestamps pass it over
};

// Target selectors of a walk, beside the kinds; NestingMark is the kind a
// top-level node carries while its descendants are being enumerated.
inline constexpr int32_t TargetAll = 7;
inline constexpr int32_t TargetCurrent = 8;
inline constexpr int32_t NestingMark = 8;

struct WindowNode {
  WindowNode* next;      // next node of the same list
  WindowNode* children;  // first node of a container's child list
  WindowNode* tail;      // build cursor: where the next node of this list goes
  int32_t kind;
  plat::Window window;
};

// Never returns null: when memory runs out it calls OutOfMemory.
WindowNode* NewWindowNode();

// Says that memory ran out and ends the process. The program that links the
// inventory defines it, with its own texts and status (app/messages.h).
[[noreturn]] void OutOfMemory();

// Classifies the windows of the client's GUI thread (inventory::g_clientWindows)
// and records its contact-list window there. Returns the root node, whose
// next is the first window; release it with FreeWindowTree.
WindowNode* BuildInventory();

// Releases the node, its child list and the rest of its list. Returns 0.
int FreeWindowTree(WindowNode* node);

// Enumeration callback; context is the WindowNode whose list receives the
// windows (the root for the top-level pass). Always goes on.
int ClassifyWindow(plat::Window window, intptr_t context);

// The first container from node on along next whose title equals name
// without regard to case; "current" names the first container. Null if none.
WindowNode* FindContainer(WindowNode* node, const char* name);

}  // namespace inventory
