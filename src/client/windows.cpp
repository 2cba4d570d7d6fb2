#include "client/windows.h"

namespace client {

ClientWindows g_windows;

}  // namespace client
