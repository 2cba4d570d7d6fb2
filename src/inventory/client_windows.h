// The client's windows as this run found them. One record for the process:
// the entry fills in the main window and its thread, the inventory build the
// contact-list window, and the walk and the window commands read them.
#pragma once

#include "platform/platform.h"

namespace inventory {

struct ClientWindows {
  plat::Window mainWindow;         // first top-level window of the main class; null without client
  plat::ThreadId guiThreadId;      // thread that owns mainWindow; 0 without it
  plat::Window contactListWindow;  // last contact-list window the inventory build met
};

// Zero-initialised: no constructor runs at start-up.
extern ClientWindows g_clientWindows;

}  // namespace inventory
