// The helper of the bounded calls over the fake window system: the plain
// call is made at once, on the test's thread; how long it takes to return,
// and whether the window's thread answers probes meanwhile, follow the
// threads' behaviours set by HangThread and Stall, on the fake clock.
#include <algorithm>
#include <set>

#include "fake_windows.h"
#include "platform/bounded_calls.h"

namespace fake {
namespace {

// Windows counts a thread as hung once it has not read its queue for 5 s.
constexpr int64_t kHungAfterMilliseconds = 5000;

struct StallRule {
  plat::Window window;
  std::string what;
  int64_t milliseconds;
  bool reading;
};

// The call handed to the helper last.
struct Pending {
  bool active = false;
  bool never = false;  // handed to a hung thread: it never returns
  plat::ThreadId thread = 0;
  int64_t stalledSince = 0;
  int64_t returnsAt = 0;
  bool reading = false;
};

struct Threads {
  std::set<plat::ThreadId> hung;
  std::vector<StallRule> rules;
  Pending pending;
  int probes = 0;
  bool helperFails = false;  // the run's helper thread cannot be made
};

Threads& T() {
  static Threads* threads = new Threads;  // never destroyed: death tests exit mid-run
  return *threads;
}

int64_t Now() { return ClockMilliseconds(); }

// The thread holds a call and does not read its queue meanwhile.
bool Stalling(plat::ThreadId thread) {
  const Pending& p = T().pending;
  return p.active && p.thread == thread && !p.reading && (p.never || Now() < p.returnsAt);
}

const StallRule* RuleFor(plat::Window window, const std::string& line) {
  const std::string label = Label(window) + " ";
  for (const StallRule& rule : T().rules)
    if (rule.window == window && line.compare(0, label.size() + rule.what.size(),
                                              label + rule.what) == 0)
      return &rule;
  return nullptr;
}

}  // namespace

void HangThread(plat::ThreadId thread) { T().hung.insert(thread); }

void Stall(plat::Window window, const std::string& what, int64_t milliseconds, bool reading) {
  T().rules.push_back(StallRule{window, what, milliseconds, reading});
}

int Probes() { return T().probes; }

void FailHelperThread() { T().helperFails = true; }

void ResetThreads() { T() = Threads{}; }

}  // namespace fake

namespace plat::helper {

using fake::T;

bool Begin() {
  if (T().helperFails) return false;
  const Window window = g_request.window;
  fake::Pending& p = T().pending;
  p = fake::Pending{};
  p.active = true;
  p.thread = GetWindowThreadId(window);
  p.stalledSince = fake::Now();
  p.returnsAt = fake::Now();
  if (T().hung.count(p.thread) != 0) {
    p.never = true;
    return true;
  }
  const size_t before = fake::Journal().size();
  const int showsBefore = fake::ShowRequests();
  const uintptr_t showCommand = g_request.wParam;
  Run();
  // A show request is known by the call, as the test client knows it: it
  // journals only what the request changed, which may be nothing.
  std::string call;
  if (fake::ShowRequests() != showsBefore)
    call = fake::Label(window) + " show " +
           (showCommand == SW_HIDE ? "hide" : showCommand == SW_MINIMIZE ? "minimize" : "restore");
  else if (fake::Journal().size() > before)
    call = fake::Journal()[before];
  if (const fake::StallRule* rule = call.empty() ? nullptr : fake::RuleFor(window, call)) {
    p.returnsAt += rule->milliseconds;
    p.reading = rule->reading;
  }
  return true;
}

bool Await(uint32_t milliseconds) {
  fake::Pending& p = T().pending;
  if (!p.never && p.returnsAt <= fake::Now() + milliseconds) {
    if (p.returnsAt > fake::Now()) fake::SetClockMilliseconds(p.returnsAt);
    p.active = false;
    return true;
  }
  fake::SetClockMilliseconds(fake::Now() + milliseconds);
  return false;
}

bool Probe(Window window, uint32_t milliseconds) {
  ++T().probes;
  const ThreadId thread = GetWindowThreadId(window);
  if (thread == 0) return false;     // the window is gone: the send fails
  if (IsHung(window)) return false;  // SMTO_ABORTIFHUNG gives up at once
  if (!fake::Stalling(thread)) return true;
  const fake::Pending& p = T().pending;
  if (!p.never && p.returnsAt <= fake::Now() + milliseconds) {
    fake::SetClockMilliseconds(p.returnsAt);
    return true;
  }
  fake::SetClockMilliseconds(fake::Now() + milliseconds);
  return false;
}

bool IsHung(Window window) {
  const ThreadId thread = GetWindowThreadId(window);
  if (T().hung.count(thread) != 0) return true;
  return fake::Stalling(thread) &&
         fake::Now() - T().pending.stalledSince >= fake::kHungAfterMilliseconds;
}

void End() { T().pending.active = false; }

}  // namespace plat::helper

namespace plat {

// Made at once on the test's thread, as the run's own thread makes it: a
// hung thread gets nothing; a stalling one handles the call and the run
// waits for it, up to milliseconds.
void SendMessageWithin(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                       uint32_t milliseconds) {
  if (fake::T().hung.count(GetWindowThreadId(window)) != 0) return;
  const size_t before = fake::Journal().size();
  SendMessageW(window, message, wParam, lParam);
  if (fake::Journal().size() == before) return;
  if (const fake::StallRule* rule = fake::RuleFor(window, fake::Journal()[before]))
    fake::SetClockMilliseconds(fake::Now() + std::min<int64_t>(rule->milliseconds, milliseconds));
}

}  // namespace plat
