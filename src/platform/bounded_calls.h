// What the bounded calls of platform.h are built on: the plain Windows
// calls that wait for another program's thread without any bound, a helper
// thread that makes them one after another, a probe of a window's thread and
// the hung test. The Windows layer implements them over threads of its own;
// the native tests over the fake window system and its clock. And the run's
// records of the call in hand and of what the calls waited.
//
// A new bounded call is its wrapper in bounded_calls.cpp (declared in
// platform.h), which hands the helper thread a Request naming its plain
// call, and the plain call here, in the Windows layer and in the fake.
#pragma once

#include <stdint.h>

#include "platform/platform.h"

namespace plat {

// The plain calls. Only the helper thread of the bounded calls makes the
// first three, while the run's own thread watches the clock.
// SetForegroundWindow does not wait; the bounded layer makes it once it has
// checked that the thread is not hung.
intptr_t SendMessageW(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam);
bool ShowWindow(Window window, int command);  // true when the window was visible before
void SetExtendedStyle(Window window, uint32_t exStyle);  // SetWindowLongW(GWL_EXSTYLE)
void SetForegroundWindow(Window window);
// SendMessageTimeoutW with SMTO_NORMAL | SMTO_ABORTIFHUNG: gives up at once
// on a hung thread, otherwise after milliseconds; the result is not returned.
void SendMessageWithin(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                       uint32_t milliseconds);
// True when Windows refused the plain call that this thread made last
// (SendMessageW, ShowWindow, SetExtendedStyle): the window belongs to a
// process with higher rights (User Interface Privilege Isolation; the call
// fails with ERROR_ACCESS_DENIED). Each of those calls clears the thread's
// last error first, since 0 is one of their valid results.
bool LastCallRefused();

namespace helper {

// A plain call handed to the helper thread: the call, its operands and its
// result. One record for the process, not on a caller's stack: a call the
// run stopped waiting for may still return, and set result, while the run
// ends.
struct Request;
using PlainCall = intptr_t (*)(const Request& request);
struct Request {
  PlainCall call;
  Window window;
  uint32_t message;  // the operands, as the call reads them
  uintptr_t wParam;
  intptr_t lParam;
  intptr_t result;   // what call returned
  bool refused;      // Windows refused the call (LastCallRefused)
};
extern Request g_request;

// Makes the plain call of g_request and sets its result and whether it was
// refused: what the helper thread does.
void Run();

// Hands g_request to the helper thread, which runs Run() for it; the thread
// is started with the run's first call and makes every later one. False
// when it cannot be started (nothing was sent then).
bool Begin();

// Waits up to milliseconds for the helper thread to finish the call in
// hand: true once it has.
bool Await(uint32_t milliseconds);

// The run's last use of the helper: closes the thread's handle and leaves
// the thread, idle or still in a call, to the process's end, which follows.
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
