// What the bounded calls of platform.h are built on, beside the plain calls:
// a helper thread that makes the plain calls one after another, a probe of
// a window's thread and the hung test. The Windows layer implements them over threads
// of its own; the native tests over the fake window system and its clock.
// And the run's records of the call in hand and of what the calls waited.
#pragma once

#include <stdint.h>

#include "platform/platform.h"

namespace plat {

namespace helper {

// Window messages are numbered below 0x10000; these two numbers stand for
// the other plain calls.
inline constexpr uint32_t kShowWindow = 0x10000;        // ShowWindow(window, wParam)
inline constexpr uint32_t kSetExtendedStyle = 0x10001;  // SetExtendedStyle(window, wParam)
inline constexpr uint32_t kEnd = 0x10002;               // the helper thread ends (End)

// The call handed to the helper thread last. One record for the process,
// not on a caller's stack: a call the run stopped waiting for may still
// return, and set result, while the run ends.
struct Request {
  Window window;
  uint32_t message;  // a window message, kShowWindow or kSetExtendedStyle
  uintptr_t wParam;
  intptr_t lParam;
  intptr_t result;  // ShowWindow: 1 for true, 0 for false; SetExtendedStyle: 0
};
extern Request g_request;

// Makes the plain call of g_request (plain_calls.h) and sets its result:
// what the helper thread does.
void Run();

// Hands g_request to the helper thread, which runs Run() for it; the thread
// is started with the run's first call and makes every later one. False
// when it cannot be started (nothing was sent then).
bool Begin();

// Waits up to milliseconds for the helper thread to finish the call in
// hand: true once it has.
bool Await(uint32_t milliseconds);

// Ends the helper thread and closes its handles when its last call has
// returned (Await said so); otherwise leaves them to the process's end.
void End();

// SendMessageTimeoutW(WM_NULL, SMTO_NORMAL | SMTO_ABORTIFHUNG, milliseconds):
// true when the window's thread handled it in time.
bool Probe(Window window, uint32_t milliseconds);

bool IsHung(Window window);  // IsHungAppWindow: asks only

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
