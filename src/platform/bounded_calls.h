// What the bounded calls of platform.h are built on, beside the plain calls:
// a helper thread that makes one plain call at a time, a probe of a window's
// thread, the hung test and a clock. The Windows layer implements them over a
// thread of its own; the native tests over the fake window system and its
// clock. And the run's record of what the calls have waited.
#pragma once

#include <stdint.h>

#include "platform/platform.h"

namespace plat {

namespace helper {

enum class Kind : int { Send, Show, SetExtendedStyle };

struct Request {
  Kind kind;
  Window window;
  uint32_t message;  // Send
  uintptr_t wParam;  // Send
  intptr_t lParam;   // Send
  int command;       // Show
  uint32_t exStyle;  // SetExtendedStyle
};

// Hands the request to the helper thread, which makes the plain call
// (plain_calls.h). False when there is no helper thread and none can be
// started; nothing was sent then.
bool Begin(const Request& request);

// Waits up to milliseconds for the call handed over last to return. True
// once it has, with *result what the plain call returned (ShowWindow: 1 for
// true, 0 for false; SetExtendedStyle: 0).
bool Await(uint32_t milliseconds, intptr_t* result);

// SendMessageTimeoutA(WM_NULL, SMTO_NORMAL | SMTO_ABORTIFHUNG, milliseconds):
// true when the window's thread handled it in time, or the window is gone.
bool Probe(Window window, uint32_t milliseconds);

bool IsHung(Window window);  // IsHungAppWindow
uint32_t Ticks();            // milliseconds on a clock that only goes on (GetTickCount)

}  // namespace helper

// What the run's calls have waited so far. One record for the process,
// zero-initialised: no constructor runs at start-up.
struct CallsRecord {
  uint32_t unansweredMilliseconds;  // against the patience
  uint32_t busyMilliseconds;        // against the busy time
  Reply stopped;                    // Answered while calls go out
};
extern CallsRecord g_calls;

}  // namespace plat
