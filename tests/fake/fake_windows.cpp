#include "fake_windows.h"
#include "fake_shortcuts.h"

#include <setjmp.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <unordered_set>

#include "inventory/client_windows.h"

#include "platform/bounded_calls.h"
#include "platform/system_errors.h"
#include "platform/utf8.h"

namespace fake {
namespace {

struct FakeWindow {
  WindowShape shape;
  bool alive = true;
  bool minimized = false;
  std::vector<FakeWindow*> children;  // in Z order, top first
  std::map<uint32_t, intptr_t> replies;
  Handler handler;
};

struct RegistryValue {
  uint32_t type;
  std::string bytes;
};

// What ShellExecuteW returns for a start: any value above 32.
constexpr intptr_t kShellStarted = 42;

struct State {
  std::vector<std::unique_ptr<FakeWindow>> windows;
  std::unordered_set<const FakeWindow*> known;
  std::vector<FakeWindow*> topLevel;  // Z order, top first
  FakeWindow* foreground = nullptr;
  std::vector<std::string> journal;
  std::vector<int64_t> journalTimes;
  std::vector<Box> boxes;
  std::vector<int> answers;
  size_t nextAnswer = 0;
  std::vector<Started> started;
  std::map<std::string, RegistryValue> registry;  // by place, key and value name
  std::map<std::string, std::string> environment;  // by name, ASCII letters in capitals
  std::map<uint32_t, std::string> systemMessages;
  intptr_t shellResult = kShellStarted;
  std::u16string commandLine;
  std::vector<std::u16string> wide;
  std::vector<plat::WideChar*> wideVector;
  bool splitFails = false;
  int64_t clockMs = 0;           // the tick count
  int64_t calendarOffsetMs = 0;  // the calendar clock, less the tick count
  int readings = 0;
  int showRequests = 0;  // plain ShowWindow calls
  // Threads of processes with higher rights than the run's: Windows refuses
  // the run's messages, show requests and style changes to their windows.
  std::set<plat::ThreadId> higherRights;
  int refusals = 0;
  bool lastCallRefused = false;  // of the plain call made last
  // Threads whose process may bring its windows forward (the fake counts
  // each thread as a process of its own); the run itself always may.
  std::set<plat::ThreadId> foregroundAllowed;
  int allocationsLeft = -1;
  std::unordered_set<void*> blocks;  // allocated by the program, not yet released
  CallHook hook;
  bool inHook = false;
  // The windows each running enumeration still has to report, innermost
  // last. They live here rather than on the enumerating frames, which an exit
  // to a landing abandons; a deque keeps each list in place while inner
  // enumerations come and go.
  std::deque<std::vector<FakeWindow*>> enumerations;
  std::vector<FakeWindow*> pending;  // scratch stack of the tree walks
  jmp_buf* landing = nullptr;        // where ExitProcess goes during RunProcess
  size_t landingEnumerations = 0;    // enumerations open when the run began
  int exitStatus = 0;
  Output output = Output::None;
  std::string written;
  std::string errors;  // standard error
  size_t outputLimit = SIZE_MAX;
  std::string programPath;
  std::string windowsFolder = kDefaultWindowsFolder;
  std::set<std::string> files;
};

State& S() {
  static State* state = new State;  // never destroyed: death tests exit mid-run
  return *state;
}

FakeWindow* Get(plat::Window window) {
  FakeWindow* w = reinterpret_cast<FakeWindow*>(window);
  if (w == nullptr || S().known.count(w) == 0) return nullptr;
  return w->alive ? w : nullptr;
}

plat::Window Handle(FakeWindow* w) { return reinterpret_cast<plat::Window>(w); }

bool SameIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return i == a.size() && b[i] == '\0';
}

bool Fits(const FakeWindow* w, const char* className, const char* title) {
  if (!w->alive) return false;
  if (className != nullptr && !SameIgnoringCase(w->shape.className, className)) return false;
  if (title != nullptr && !SameIgnoringCase(w->shape.title, title)) return false;
  return true;
}

void Log(const std::string& line) {
  S().journal.push_back(line);
  S().journalTimes.push_back(S().clockMs);
}

// Every plain call that hands work to a window's thread starts here: the
// call is refused, as Windows refuses it, when the window's process has
// higher rights than the run's.
bool Refuses(const FakeWindow* w) {
  State& s = S();
  s.lastCallRefused = s.higherRights.count(w->shape.thread) != 0;
  if (s.lastCallRefused) ++s.refusals;
  return s.lastCallRefused;
}

std::string Hex(uint32_t v) {
  char buf[16];
  snprintf(buf, sizeof buf, "%x", v);
  return buf;
}

// A window's text as GetWindowTextW and GetClassNameW read it into
// kReadUnits + 1 units (a longer text is cut after kReadUnits units, even
// between the halves of a pair), handed up in UTF-8 as the Windows layer
// does.
size_t CopyText(const std::string& from, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  std::u16string wide = Wide(from);
  if (wide.size() > plat::kReadUnits) wide.resize(plat::kReadUnits);
  return plat::WideToUtf8(wide.c_str(), buffer, capacity);
}

// A path as the Windows layer reads it (a W call into kReadUnits + 1 units),
// handed up in UTF-8; "" stands for one that cannot be read.
size_t CopyPath(const std::string& from, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  buffer[0] = '\0';
  const std::u16string path = Wide(from);
  if (path.empty() || path.size() > plat::kReadUnits || capacity < plat::kReadTextSize) return 0;
  const std::string narrow = Narrow(path);
  narrow.copy(buffer, narrow.size());
  buffer[narrow.size()] = '\0';
  return narrow.size();
}

void Hook(const char* call) {
  State& s = S();
  if (!s.hook || s.inHook) return;
  s.inHook = true;
  s.hook(call);
  s.inHook = false;
}

// Appends the living descendants of parent to out, depth first, each before
// its own children and siblings in Z order. A stack instead of recursion, so
// any depth of nesting fits.
void CollectDescendants(FakeWindow* parent, std::vector<FakeWindow*>* out) {
  std::vector<FakeWindow*>& pending = S().pending;
  pending.clear();
  for (auto c = parent->children.rbegin(); c != parent->children.rend(); ++c) pending.push_back(*c);
  while (!pending.empty()) {
    FakeWindow* w = pending.back();
    pending.pop_back();
    if (!w->alive) continue;  // closed windows take their descendants with them
    out->push_back(w);
    for (auto c = w->children.rbegin(); c != w->children.rend(); ++c) pending.push_back(*c);
  }
}

// Reports the listed windows that are still open, in order, until proc says
// stop; the list is the innermost open enumeration, closed at the end.
void Report(plat::EnumProc proc, intptr_t context) {
  State& s = S();
  std::vector<FakeWindow*>& windows = s.enumerations.back();
  for (size_t i = 0; i < windows.size(); ++i) {
    if (!windows[i]->alive) continue;
    if (proc(Handle(windows[i]), context) == 0) break;
  }
  s.enumerations.pop_back();
}

void ReleaseAllBlocks() {
  for (void* block : S().blocks) free(block);
  S().blocks.clear();
}

}  // namespace

void Reset() {
  State& s = S();
  inventory::g_clientWindows = inventory::ClientWindows{};
  ReleaseAllBlocks();
  s.hook = nullptr;
  s.inHook = false;
  s.enumerations.clear();
  s.topLevel.clear();
  s.windows.clear();
  s.known.clear();
  s.foreground = nullptr;
  s.journal.clear();
  s.journalTimes.clear();
  s.boxes.clear();
  s.answers.clear();
  s.nextAnswer = 0;
  s.started.clear();
  s.registry.clear();
  s.environment.clear();
  s.systemMessages.clear();
  s.shellResult = kShellStarted;
  s.commandLine.clear();
  s.wide.clear();
  s.wideVector.clear();
  s.splitFails = false;
  s.clockMs = 0;
  s.calendarOffsetMs = 0;
  s.readings = 0;
  s.showRequests = 0;
  s.higherRights.clear();
  s.refusals = 0;
  s.lastCallRefused = false;
  s.foregroundAllowed.clear();
  s.allocationsLeft = -1;
  s.output = Output::None;
  s.written.clear();
  s.errors.clear();
  s.outputLimit = SIZE_MAX;
  s.programPath.clear();
  s.windowsFolder = kDefaultWindowsFolder;
  s.files.clear();
  ResetThreads();
  ResetShortcuts();
  plat::g_calls = plat::CallsRecord{};
}

plat::Window Add(const WindowShape& shape) {
  auto w = std::make_unique<FakeWindow>();
  w->shape = shape;
  FakeWindow* raw = w.get();
  S().windows.push_back(std::move(w));
  S().known.insert(raw);
  if (FakeWindow* parent = Get(shape.parent)) {
    raw->shape.thread = parent->shape.thread;
    parent->children.push_back(raw);
  } else {
    S().topLevel.push_back(raw);
  }
  return Handle(raw);
}

plat::Window Top(const std::string& label, const std::string& className, const std::string& title,
                 plat::ThreadId thread) {
  WindowShape shape;
  shape.label = label;
  shape.className = className;
  shape.title = title;
  shape.thread = thread;
  return Add(shape);
}

plat::Window Child(plat::Window parent, const std::string& label, const std::string& className,
                   const std::string& title) {
  WindowShape shape;
  shape.label = label;
  shape.className = className;
  shape.title = title;
  shape.parent = parent;
  return Add(shape);
}

void Destroy(plat::Window window) {
  FakeWindow* w = Get(window);
  if (w == nullptr) return;
  std::vector<FakeWindow*> closing;
  CollectDescendants(w, &closing);
  w->alive = false;
  for (FakeWindow* d : closing) d->alive = false;
}

void SetHandler(plat::Window window, Handler handler) {
  if (FakeWindow* w = Get(window)) w->handler = std::move(handler);
}
void SetReply(plat::Window window, uint32_t id, intptr_t reply) {
  if (FakeWindow* w = Get(window)) w->replies[id] = reply;
}
void SetVisible(plat::Window window, bool visible) {
  if (FakeWindow* w = Get(window)) w->shape.visible = visible;
}
void SetMinimized(plat::Window window, bool minimized) {
  if (FakeWindow* w = Get(window)) w->minimized = minimized;
}
void SetTitle(plat::Window window, const std::string& title) {
  if (FakeWindow* w = Get(window)) w->shape.title = title;
}
bool IsAlive(plat::Window window) { return Get(window) != nullptr; }
bool IsMinimized(plat::Window window) {
  FakeWindow* w = Get(window);
  return w != nullptr && w->minimized;
}
uint32_t ExStyle(plat::Window window) {
  FakeWindow* w = Get(window);
  return w == nullptr ? 0 : w->shape.exStyle;
}
void SetCallHook(CallHook hook) { S().hook = std::move(hook); }
std::string Label(plat::Window window) {
  FakeWindow* w = reinterpret_cast<FakeWindow*>(window);
  return w == nullptr ? "(null)" : w->shape.label;
}
plat::Window Foreground() { return Handle(S().foreground); }

std::vector<std::string>& Journal() { return S().journal; }
std::vector<int64_t>& JournalTimes() { return S().journalTimes; }
std::vector<Box>& Boxes() { return S().boxes; }
void AnswerBoxes(std::vector<int> answers) {
  S().answers = std::move(answers);
  S().nextAnswer = 0;
}
std::vector<Started>& StartedPrograms() { return S().started; }

std::string RegistryName(plat::RegistryPlace place, const std::string& key,
                         const std::string& value) {
  return std::to_string(static_cast<int>(place)) + "|" + key + "|" + value;
}

void SetRegistry(const std::string& key, const std::string& value, uint32_t type,
                 const std::string& bytes, plat::RegistryPlace place) {
  S().registry[RegistryName(place, key, value)] = RegistryValue{type, bytes};
}

std::string FoldedName(std::string name) {
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

void SetEnvironment(const std::string& name, const std::string& value) {
  S().environment[FoldedName(name)] = value;
}

bool LookUpEnvironment(const std::string& name, std::string* value) {
  auto found = S().environment.find(FoldedName(name));
  if (found == S().environment.end()) return false;
  *value = found->second;
  return true;
}

void FailStarts(intptr_t result) { S().shellResult = result; }

void SetSystemMessage(uint32_t error, const std::string& text) {
  S().systemMessages[error] = text;
}

void SetCommandLine(const std::u16string& line, const std::vector<std::u16string>& elements) {
  S().commandLine = line;
  S().wide = elements;
}
void FailCommandLineSplit() { S().splitFails = true; }

std::u16string Wide(const std::string& text) {
  std::vector<plat::WideChar> buffer(text.size() + 1);
  const size_t n = plat::Utf8ToWide(text.c_str(), buffer.data(), buffer.size());
  return std::u16string(buffer.data(), n);
}

std::string Narrow(const std::u16string& text) {
  std::vector<char> buffer(text.size() * plat::kMostUnitBytes + 1);
  const size_t n = plat::WideToUtf8(text.c_str(), buffer.data(), buffer.size());
  return std::string(buffer.data(), n);
}

void SetClockMilliseconds(int64_t ms) { S().clockMs = ms; }
int64_t ClockMilliseconds() { return S().clockMs; }
int ClockReadings() { return S().readings; }
int ShowRequests() { return S().showRequests; }

void RunWithHigherRights(plat::ThreadId thread) { S().higherRights.insert(thread); }

int Refusals() { return S().refusals; }

void ClientBringsForward(plat::Window window) {
  FakeWindow* w = Get(window);
  if (w == nullptr) return;
  // Without the right, Windows flashes the window's taskbar button instead.
  if (S().foregroundAllowed.count(w->shape.thread) == 0) {
    Log(w->shape.label + " flashes");
    return;
  }
  Log(w->shape.label + " foreground");
  S().foreground = w;
}
void JumpCalendarClock(int64_t ms) { S().calendarOffsetMs += ms; }
int64_t CalendarMilliseconds() { return S().clockMs + S().calendarOffsetMs; }

bool LookUpRegistry(const std::string& key, uint32_t* type, std::string* bytes) {
  auto found = S().registry.find(key);
  if (found == S().registry.end()) return false;
  *type = found->second.type;
  *bytes = found->second.bytes;
  return true;
}

void SetStandardOutput(Output kind) { S().output = kind; }
Output CurrentStandardOutput() { return S().output; }
std::string& StandardOutput() { return S().written; }
std::string& StandardError() { return S().errors; }
void FailOutputAfter(size_t bytes) { S().outputLimit = bytes; }
void SetProgramPath(const std::string& path) { S().programPath = path; }
void SetWindowsFolder(const std::string& path) { S().windowsFolder = path; }
void AddFile(const std::string& path) { S().files.insert(path); }

void FailAllocationsAfter(int n) { S().allocationsLeft = n; }
int LiveAllocations() { return static_cast<int>(S().blocks.size()); }

int RunProcess(int (*body)(void* context), void* context, bool* exited) {
  State& s = S();
  jmp_buf landing;
  jmp_buf* outer = s.landing;
  const size_t outerEnumerations = s.landingEnumerations;
  s.landing = &landing;
  s.landingEnumerations = s.enumerations.size();
  int status = 0;
  bool ended = false;
  if (setjmp(landing) == 0) {
    status = body(context);
  } else {
    status = s.exitStatus;
    ended = true;
  }
  s.landing = outer;
  s.landingEnumerations = outerEnumerations;
  if (exited != nullptr) *exited = ended;
  return status;
}

}  // namespace fake

// The platform layer over the fake window system.
namespace plat {

using fake::Hook;
using fake::Log;

Window FindWindowUtf8(const char* className, const char* title) {
  Hook("FindWindowUtf8");
  for (fake::FakeWindow* w : fake::S().topLevel)
    if (fake::Fits(w, className, title)) return fake::Handle(w);
  return nullptr;
}

Window FindWindowExUtf8(Window parent, Window after, const char* className, const char* title) {
  Hook("FindWindowExUtf8");
  fake::FakeWindow* p = fake::Get(parent);
  if (p == nullptr) return nullptr;
  bool searching = after == nullptr;
  for (fake::FakeWindow* w : p->children) {
    if (!searching) {
      searching = fake::Handle(w) == after;
      continue;
    }
    if (fake::Fits(w, className, title)) return fake::Handle(w);
  }
  return nullptr;
}

// Both enumerations report the windows that exist when they start and are
// still open when their turn comes; windows opened meanwhile are not reported.
void EnumThreadWindows(ThreadId thread, EnumProc proc, intptr_t context) {
  Hook("EnumThreadWindows");
  std::vector<fake::FakeWindow*>& windows = fake::S().enumerations.emplace_back();
  for (fake::FakeWindow* w : fake::S().topLevel)
    if (w->alive && w->shape.thread == thread) windows.push_back(w);
  fake::Report(proc, context);
}

void EnumChildWindows(Window parent, EnumProc proc, intptr_t context) {
  Hook("EnumChildWindows");
  fake::FakeWindow* p = fake::Get(parent);
  if (p == nullptr) return;
  fake::CollectDescendants(p, &fake::S().enumerations.emplace_back());
  fake::Report(proc, context);
}

ThreadId GetWindowThreadId(Window window) {
  Hook("GetWindowThreadId");
  fake::FakeWindow* w = fake::Get(window);
  return w == nullptr ? 0 : w->shape.thread;
}

size_t ReadWindowTitle(Window window, char* buffer, size_t capacity) {
  Hook("ReadWindowTitle");
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return fake::CopyText("", buffer, capacity);
  return fake::CopyText(w->shape.title, buffer, capacity);
}

size_t ReadClassName(Window window, char* buffer, size_t capacity) {
  Hook("ReadClassName");
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return fake::CopyText("", buffer, capacity);
  return fake::CopyText(w->shape.className, buffer, capacity);
}

uint32_t GetExtendedStyle(Window window) {
  Hook("GetExtendedStyle");
  fake::FakeWindow* w = fake::Get(window);
  return w == nullptr ? 0 : w->shape.exStyle;
}

void SetExtendedStyle(Window window, uint32_t exStyle) {
  Hook("SetExtendedStyle");
  fake::S().lastCallRefused = false;  // as the Windows layer clears the last error
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr || fake::Refuses(w)) return;
  Log(w->shape.label + " exstyle " + fake::Hex(w->shape.exStyle) + " " + fake::Hex(exStyle));
  w->shape.exStyle = exStyle;
}

intptr_t SendMessageW(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  Hook("SendMessageW");
  fake::S().lastCallRefused = false;  // as the Windows layer clears the last error
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr || fake::Refuses(w)) return 0;
  const std::string& label = w->shape.label;
  switch (message) {
    case WM_COMMAND:
      Log(label + " command " + std::to_string(wParam) +
          (lParam != 0 ? " lparam=" + std::to_string(lParam) : ""));
      break;
    case WM_CHAR:
      Log(label + " char " + std::to_string(wParam) + " " + std::to_string(lParam));
      break;
    case WM_LBUTTONDOWN:
      Log(label + " lbuttondown " + std::to_string(wParam) + " " + std::to_string(lParam));
      break;
    case WM_LBUTTONUP:
      Log(label + " lbuttonup " + std::to_string(wParam) + " " + std::to_string(lParam));
      break;
    default:
      Log(label + " message " + fake::Hex(message));
      break;
  }
  if (w->handler) return w->handler(window, message, wParam, lParam);
  if (message == WM_COMMAND) {
    auto reply = w->replies.find(static_cast<uint32_t>(wParam));
    if (reply != w->replies.end()) return reply->second;
  }
  return 0;
}

bool ShowWindow(Window window, int command) {
  Hook("ShowWindow");
  fake::S().lastCallRefused = false;  // as the Windows layer clears the last error
  ++fake::S().showRequests;
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr || fake::Refuses(w)) return false;
  const bool wasVisible = w->shape.visible;
  const bool wasMinimized = w->minimized;
  switch (command) {
    case SW_HIDE:
      w->shape.visible = false;
      break;
    case SW_RESTORE:
      w->shape.visible = true;
      w->minimized = false;
      break;
    case SW_MINIMIZE:
      w->shape.visible = true;
      w->minimized = true;
      break;
    default:
      w->shape.visible = true;
      break;
  }
  // What the window went through, in the test client's words and order.
  if (w->shape.visible != wasVisible) Log(w->shape.label + (wasVisible ? " hidden" : " shown"));
  if (w->minimized != wasMinimized) Log(w->shape.label + (wasMinimized ? " restored" : " minimized"));
  return wasVisible;
}

bool IsWindowVisible(Window window) {
  Hook("IsWindowVisible");
  // Visible only when it and all its ancestors are.
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return false;
  for (; w != nullptr; w = fake::Get(w->shape.parent))
    if (!w->shape.visible) return false;
  return true;
}

bool IsIconic(Window window) {
  Hook("IsIconic");
  fake::FakeWindow* w = fake::Get(window);
  return w != nullptr && w->minimized;
}

bool LastCallRefused() { return fake::S().lastCallRefused; }

void AllowForegroundFor(Window window) {
  Hook("AllowForegroundFor");
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return;
  fake::S().foregroundAllowed.insert(w->shape.thread);
}

void SetForegroundWindow(Window window) {
  Hook("SetForegroundWindow");
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return;
  Log(w->shape.label + " foreground");
  fake::S().foreground = w;
}

Window GetWindowBelow(Window window) {
  Hook("GetWindowBelow");
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return nullptr;
  std::vector<fake::FakeWindow*>* siblings = &fake::S().topLevel;
  if (fake::FakeWindow* parent = fake::Get(w->shape.parent)) siblings = &parent->children;
  for (size_t i = 0; i + 1 < siblings->size(); ++i)
    if ((*siblings)[i] == w) {
      for (size_t j = i + 1; j < siblings->size(); ++j)
        if ((*siblings)[j]->alive) return fake::Handle((*siblings)[j]);
      return nullptr;
    }
  return nullptr;
}

int MessageBoxUtf8(const char* text, const char* caption, unsigned type) {
  Hook("MessageBoxUtf8");
  // What the box shows: the text as MessageBoxW gets it, in UTF-8.
  std::u16string shown = fake::Wide(text);
  if (shown.size() > kBoxTextUnits - 1) shown.resize(kBoxTextUnits - 1);
  fake::S().boxes.push_back(fake::Box{fake::Narrow(shown), fake::Narrow(fake::Wide(caption)), type});
  fake::State& s = fake::S();
  if (s.nextAnswer < s.answers.size()) return s.answers[s.nextAnswer++];
  return IDOK;
}

intptr_t ShellExecuteUtf8(const char* file, const char* parameters, int showCommand) {
  Hook("ShellExecuteUtf8");
  fake::State& s = fake::S();
  if (s.shellResult > 32)
    s.started.push_back(
        fake::Started{file, parameters != nullptr ? parameters : "(null)", showCommand});
  return s.shellResult;
}

uint32_t FormatSystemMessage(uint32_t error, WideChar* buffer, uint32_t capacity) {
  Hook("FormatSystemMessage");
  auto found = fake::S().systemMessages.find(error);
  if (found == fake::S().systemMessages.end()) return 0;
  const std::u16string text = fake::Wide(found->second);
  if (text.size() >= capacity) return 0;  // ERROR_INSUFFICIENT_BUFFER
  text.copy(buffer, text.size());
  buffer[text.size()] = 0;
  return static_cast<uint32_t>(text.size());
}

WideChar** CommandLineArgs(int* count) {
  Hook("CommandLineArgs");
  fake::State& s = fake::S();
  if (s.splitFails) {
    *count = 0;
    return nullptr;
  }
  s.wideVector.clear();
  for (std::u16string& arg : s.wide) s.wideVector.push_back(arg.data());
  s.wideVector.push_back(nullptr);
  *count = static_cast<int>(s.wide.size());
  return s.wideVector.data();
}

void* AllocateZeroed(size_t size) {
  Hook("AllocateZeroed");
  fake::State& s = fake::S();
  if (s.allocationsLeft == 0) return nullptr;
  if (s.allocationsLeft > 0) --s.allocationsLeft;
  void* block = calloc(1, size);
  if (block != nullptr) s.blocks.insert(block);
  return block;
}

void Release(void* block) {
  Hook("Release");
  if (block == nullptr) return;
  // A block the program did not get from AllocateZeroed, or released twice,
  // is the program's fault; the sanitizer reports it at free.
  fake::S().blocks.erase(block);
  free(block);
}

void ExitProcess(int status) {
  fake::State& s = fake::S();
  if (s.landing != nullptr) {
    // The process ends here: the enumerations it was in are over, and the
    // run's caller gets the status. The blocks it still holds stay counted
    // until Reset releases them, as the system would.
    s.exitStatus = status;
    s.inHook = false;
    while (s.enumerations.size() > s.landingEnumerations) s.enumerations.pop_back();
    longjmp(*s.landing, 1);
  }
  // For death tests: what the user saw, then the status.
  for (const fake::Box& box : fake::S().boxes)
    fprintf(stderr, "box [%s] %s\n", box.caption.c_str(), box.text.c_str());
  fflush(stderr);
  _exit(status);
}

size_t ReadProcessCommandLine(char* buffer, size_t capacity) {
  Hook("ReadProcessCommandLine");
  return WideToUtf8(fake::S().commandLine.c_str(), buffer, capacity);
}

bool StandardOutputIsFileOrPipe() {
  Hook("StandardOutputIsFileOrPipe");
  return fake::S().output == fake::Output::File || fake::S().output == fake::Output::Pipe;
}

bool WriteStandardOutput(const char* bytes, size_t count) {
  Hook("WriteStandardOutput");
  fake::State& s = fake::S();
  if (s.output == fake::Output::None) return false;
  const size_t room = s.outputLimit - std::min(s.outputLimit, s.written.size());
  s.written.append(bytes, std::min(count, room));
  return count <= room;
}

bool WriteStandardError(const char* bytes, size_t count) {
  Hook("WriteStandardError");
  fake::S().errors.append(bytes, count);
  return true;
}

size_t ProgramPath(char* buffer, size_t capacity) {
  Hook("ProgramPath");
  return fake::CopyPath(fake::S().programPath, buffer, capacity);
}

size_t WindowsFolder(char* buffer, size_t capacity) {
  Hook("WindowsFolder");
  return fake::CopyPath(fake::S().windowsFolder, buffer, capacity);
}

bool FileExists(const char* path) {
  Hook("FileExists");
  return fake::S().files.count(path) != 0;
}

uint64_t GetTickCount64() {
  Hook("GetTickCount64");
  ++fake::S().readings;
  return static_cast<uint64_t>(fake::S().clockMs);
}

void Sleep(uint32_t milliseconds) {
  Hook("Sleep");
  fake::S().clockMs += milliseconds;
}

}  // namespace plat
