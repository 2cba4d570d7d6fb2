// The inventory told as text: what a window command sees of the client's
// windows, one line at a time, for the user to read. Where the lines go is
// the caller's choice.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "inventory/inventory.h"
#include "text/utf8_text.h"

namespace app {

// The longest part of a title that a line shows, in characters.
inline constexpr size_t kListedTitle = 60;

// Every line of the listing fits in this many bytes with its terminator:
// the title's characters take up to four bytes each.
inline constexpr size_t kListingLineSize = 64 + kListedTitle * 4;

// Receives one line, without a line end; non-zero goes on, 0 stops.
using LineProc = int (*)(const char* line, intptr_t context);

// Three heading lines (the main window with its title and thread, the
// contact-list window, and whether windows follow), then one line per window
// from first on, in the order the walk visits them, each container's
// windows indented right after it:
//   <kind>, <visible|hidden|minimized>[, click-through]: "<title>"
// A title longer than kListedTitle characters is cut and followed by "...".
void ListInventory(const inventory::WindowNode* first, LineProc proc, intptr_t context);

}  // namespace app
