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
  // Not a kind of window: a top-level node carries it while its descendants
  // are being enumerated, and receives its kind when they have been.
  BeingNested = 7,
};

struct WindowNode {
  WindowNode* next;      // next node of the same list
  WindowNode* children;  // first node of a container's child list
  WindowNode* tail;      // build cursor: where the next node of this list goes
  int32_t kind;
  plat::Window window;
};

// A new node with its initial values; null when memory runs out.
WindowNode* NewWindowNode();

// Classifies the windows of the client's GUI thread (inventory::g_clientWindows)
// and records its contact-list window there. Returns the root node, whose
// next is the first window; release it with FreeWindowTree. Returns null
// when memory runs out: what was built is released then, and the caller
// says so.
WindowNode* BuildInventory();

// Releases the node, its child list and the rest of its list. Returns 0.
int FreeWindowTree(WindowNode* node);

// Enumeration callback; context is the WindowNode whose list receives the
// windows (the root for the top-level pass). Goes on until memory runs out,
// and then stops the enumeration it serves and the one around it.
int ClassifyWindow(plat::Window window, intptr_t context);

// The first container from node on along next whose title equals name
// without regard to case; null names the first container. Null if none.
WindowNode* FindContainer(WindowNode* node, const char* name);

}  // namespace inventory
