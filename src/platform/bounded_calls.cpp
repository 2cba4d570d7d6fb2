// The bounded calls of platform.h: each plain call goes to the helper thread,
// and the run's own thread waits for it with the run's two allowances.
#include "platform/bounded_calls.h"

#include "platform/plain_calls.h"

namespace plat {

CallsRecord g_calls;

namespace {

constexpr uint32_t kPatienceMilliseconds = 5000;
constexpr uint32_t kBusyMilliseconds = 30000;
// How long a call may take before the window's thread is probed. A thread
// that handles the call in less time gets no probe.
constexpr uint32_t kProbeAfterMilliseconds = 200;

uint32_t Smaller(uint32_t a, uint32_t b) { return a < b ? a : b; }

uint32_t Left(uint32_t used, uint32_t allowance) { return used < allowance ? allowance - used : 0; }

void Charge(uint32_t* used, uint32_t milliseconds, uint32_t allowance) {
  *used = milliseconds < allowance - Smaller(*used, allowance) ? *used + milliseconds : allowance;
}

Reply Stop(Reply why) {
  g_calls.stopped = why;
  return why;
}

Reply NotAnswering() {
  g_calls.unansweredMilliseconds = kPatienceMilliseconds;
  return Stop(Reply::NotAnswering);
}

// Makes the call on the helper thread and waits for it. A call that returns
// before the first probe costs nothing. Otherwise the time from the call to
// the first answered probe, and then each probe's own wait, count against
// the patience; between probes that are answered the thread reads its queue
// with the call in hand, and that time counts against the busy time.
Reply Call(const helper::Request& request, intptr_t* result) {
  *result = 0;
  if (g_calls.stopped != Reply::Answered) return g_calls.stopped;
  if (request.window == nullptr) return Reply::Answered;
  if (helper::IsHung(request.window)) return NotAnswering();
  // With the patience spent, nothing more goes out that could not be waited for.
  if (Left(g_calls.unansweredMilliseconds, kPatienceMilliseconds) == 0) return NotAnswering();
  if (!helper::Begin(request)) return NotAnswering();

  uint32_t start = helper::Ticks();
  if (helper::Await(Smaller(kProbeAfterMilliseconds,
                            Left(g_calls.unansweredMilliseconds, kPatienceMilliseconds)),
                    result))
    return Reply::Answered;
  uint32_t unprobed = helper::Ticks() - start;
  for (;;) {
    const uint32_t patience = Left(g_calls.unansweredMilliseconds, kPatienceMilliseconds);
    if (unprobed >= patience) return NotAnswering();
    start = helper::Ticks();
    if (!helper::Probe(request.window, patience - unprobed)) return NotAnswering();
    Charge(&g_calls.unansweredMilliseconds, unprobed + (helper::Ticks() - start),
           kPatienceMilliseconds);
    unprobed = 0;

    const uint32_t busy = Left(g_calls.busyMilliseconds, kBusyMilliseconds);
    if (busy == 0) return Stop(Reply::Busy);
    start = helper::Ticks();
    const bool returned = helper::Await(Smaller(kProbeAfterMilliseconds, busy), result);
    Charge(&g_calls.busyMilliseconds, helper::Ticks() - start, kBusyMilliseconds);
    if (returned) return Reply::Answered;
  }
}

}  // namespace

Reply SendMessageBounded(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                         intptr_t* answer) {
  const helper::Request request = {helper::Kind::Send, window, message, wParam, lParam, 0, 0};
  Reply reply = Call(request, answer);
  if (reply != Reply::Answered) *answer = 0;
  return reply;
}

Reply ShowWindowBounded(Window window, int command, bool* wasVisible) {
  const helper::Request request = {helper::Kind::Show, window, 0, 0, 0, command, 0};
  intptr_t result = 0;
  Reply reply = Call(request, &result);
  *wasVisible = reply == Reply::Answered && result != 0;
  return reply;
}

Reply SetExtendedStyleBounded(Window window, uint32_t exStyle) {
  const helper::Request request = {helper::Kind::SetExtendedStyle, window, 0, 0, 0, 0, exStyle};
  intptr_t ignored = 0;
  return Call(request, &ignored);
}

Reply SetForegroundIfAnswering(Window window) {
  Reply reply = CheckNotHung(window);
  if (reply == Reply::Answered && window != nullptr) SetForegroundWindow(window);
  return reply;
}

Reply CheckNotHung(Window window) {
  if (g_calls.stopped != Reply::Answered) return g_calls.stopped;
  if (window != nullptr && helper::IsHung(window)) return NotAnswering();
  return Reply::Answered;
}

Reply CallsReply() { return g_calls.stopped; }

}  // namespace plat
