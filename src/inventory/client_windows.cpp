#include "inventory/client_windows.h"

namespace inventory {

ClientWindows g_clientWindows;

}  // namespace inventory
