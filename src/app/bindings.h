// Hotkeys: /bind and /unbind keep shortcuts that run dowtrane.exe with a
// command, in the user's Start menu (Programs\Dowtrane), where Windows
// reads their hotkeys. They work without the client.
#pragma once

#include "app/command.h"

namespace app {

// /bind KEYS COMMAND...: makes the binding, replacing the program's own of
// those keys; /bind alone: lists the bindings; /unbind KEYS: removes the
// program's own binding of those keys. Returns the status.
int RunHotkeyCommand(const CommandRecord& record);

}  // namespace app
