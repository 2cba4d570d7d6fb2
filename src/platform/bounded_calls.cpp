// The bounded calls of platform.h: each plain call goes to a helper thread,
// and the run's own thread waits for it, slice by slice, with the run's two
// allowances.
#include "platform/bounded_calls.h"

namespace plat {

CallsRecord g_calls;

namespace helper {

Request g_request;

void Run() {
  g_request.result = g_request.call(g_request);
  g_request.refused = LastCallRefused();  // read on the thread that made the call
}

}  // namespace helper

namespace {

constexpr uint32_t kPatienceMilliseconds = 5000;
constexpr uint32_t kBusyMilliseconds = 30000;
// A slice: the wait for the call, then, if it has not returned, the wait for
// the probe. A thread that handles the call within the first wait gets no
// probe.
constexpr uint32_t kSliceMilliseconds = 250;
// The most a call to another program's window waits; none of it counts
// against the run's allowances.
constexpr uint32_t kOtherProgramMilliseconds = 5000;

// Stops the calls; the call that stopped them answers 0.
intptr_t Stopped(Reply why) {
  g_calls.stopped = why;
  return 0;
}

// Each slice whose probe is answered counts against the busy time, each
// other one against the patience; no slice starts that could take the
// patience past its end. A refused call stops the calls as one that was not
// answered does: every later one would be refused too.
intptr_t Call(helper::PlainCall call, Window window, uint32_t message, uintptr_t wParam,
              intptr_t lParam) {
  if (g_calls.stopped != Reply::Answered) return 0;
  helper::g_request = {call, window, message, wParam, lParam, 0, false};
  if (helper::IsHung(window)) return Stopped(Reply::NotAnswering);
  if (!helper::Begin()) return Stopped(Reply::NoHelper);
  for (;;) {
    const uint64_t start = GetTickCount64();
    if (helper::Await(kSliceMilliseconds))
      return helper::g_request.refused ? Stopped(Reply::Refused) : helper::g_request.result;
    const bool reading = helper::Probe(window, kSliceMilliseconds);
    const uint32_t waited = static_cast<uint32_t>(GetTickCount64() - start);
    if (reading) {
      if ((g_calls.busyMilliseconds += waited) >= kBusyMilliseconds) return Stopped(Reply::Busy);
    } else if ((g_calls.unansweredMilliseconds += waited) + 2 * kSliceMilliseconds >
               kPatienceMilliseconds) {
      return Stopped(Reply::NotAnswering);
    }
  }
}

// The plain calls as the helper thread makes them.
intptr_t PlainSendMessage(const helper::Request& r) {
  return SendMessageW(r.window, r.message, r.wParam, r.lParam);
}
intptr_t PlainShowWindow(const helper::Request& r) {
  return ShowWindow(r.window, static_cast<int>(r.wParam));
}
intptr_t PlainSetExtendedStyle(const helper::Request& r) {
  SetExtendedStyle(r.window, static_cast<uint32_t>(r.wParam));
  return 0;
}

}  // namespace

Reply CallsReply() { return g_calls.stopped; }

intptr_t SendMessageBounded(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return Call(PlainSendMessage, window, message, wParam, lParam);
}

bool ShowWindowBounded(Window window, int command) {
  return Call(PlainShowWindow, window, 0, static_cast<uintptr_t>(command), 0) != 0;
}

void SetExtendedStyleBounded(Window window, uint32_t exStyle) {
  Call(PlainSetExtendedStyle, window, 0, exStyle, 0);
}

Reply StopCallsIfHung(Window window) {
  if (g_calls.stopped == Reply::Answered && helper::IsHung(window)) Stopped(Reply::NotAnswering);
  return g_calls.stopped;
}

void SetForegroundIfAnswering(Window window) {
  if (StopCallsIfHung(window) == Reply::Answered) SetForegroundWindow(window);
}

void SetOtherProgramForeground(Window window) {
  if (g_calls.stopped == Reply::Answered) SetForegroundWindow(window);
}

void SendToOtherProgram(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (g_calls.stopped == Reply::Answered && window != nullptr)
    SendMessageWithin(window, message, wParam, lParam, kOtherProgramMilliseconds);
}

void EndCalls() { helper::End(); }

}  // namespace plat
