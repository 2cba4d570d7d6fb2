// Hotkeys: /bind and /unbind keep shortcuts that run dowtrane.exe with a
// command, in the user's Start menu (Programs\Dowtrane), where Windows
// reads their hotkeys. They work without the client.
#pragma once

#include <stddef.h>

#include "app/command.h"
#include "app/listing.h"

namespace app {

// The box of the list shows at most this many lines, then one saying how
// many more there are; each line fits kListingLineSize with its terminator.
inline constexpr size_t kBindingBoxLines = 40;
inline constexpr size_t kBindingBoxSize = (kBindingBoxLines + 1) * kListingLineSize;

// /bind KEYS COMMAND...: makes the binding, replacing the program's own of
// those keys; /bind alone: lists the bindings. Returns the status.
int RunBind(const CommandRecord& record);
// /unbind KEYS: removes the program's own binding of those keys.
int RunUnbind(const CommandRecord& record);

}  // namespace app
