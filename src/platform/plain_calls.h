// The plain Windows calls that hand work to the thread of another program's
// window. The first three wait for that thread without any bound; only the
// helper thread of the bounded calls (platform.h) makes them, while the run's
// own thread watches the clock. SetForegroundWindow does not wait; the
// bounded layer makes it once it has checked that the thread is not hung.
#pragma once

#include "platform/platform.h"

namespace plat {

intptr_t SendMessageW(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam);
bool ShowWindow(Window window, int command);  // true when the window was visible before
void SetExtendedStyle(Window window, uint32_t exStyle);  // SetWindowLongW(GWL_EXSTYLE)
void SetForegroundWindow(Window window);
// SendMessageTimeoutW with SMTO_NORMAL | SMTO_ABORTIFHUNG: gives up at once
// on a hung thread, otherwise after milliseconds; the result is not returned.
void SendMessageWithin(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                       uint32_t milliseconds);

}  // namespace plat
