#include "fake_windows.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>

#include <map>
#include <set>
#include <unordered_set>
#include <memory>

#include "platform/bounded_calls.h"
#include "platform/plain_calls.h"

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
  std::map<std::string, RegistryValue> registry;
  std::string narrowCommandLine;
  std::vector<std::u16string> wide;
  std::vector<plat::WideChar*> wideVector;
  bool splitFails = false;
  int64_t clockMs = 0;
  int readings = 0;
  int allocationsLeft = -1;
  int liveAllocations = 0;
  Output output = Output::None;
  std::string written;
  size_t outputLimit = SIZE_MAX;
  std::string programPath;
  std::set<std::string> files;
  bool doubleByte = false;
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

std::string Hex(uint32_t v) {
  char buf[16];
  snprintf(buf, sizeof buf, "%x", v);
  return buf;
}

int CopyText(const std::string& from, char* buffer, int size) {
  if (size <= 0) return 0;
  size_t n = from.size() < static_cast<size_t>(size - 1) ? from.size() : static_cast<size_t>(size - 1);
  from.copy(buffer, n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

void EnumDescendants(FakeWindow* parent, plat::EnumProc proc, intptr_t context, bool* stopped) {
  std::vector<FakeWindow*> snapshot = parent->children;
  for (FakeWindow* child : snapshot) {
    if (*stopped) return;
    if (!child->alive) continue;
    if (proc(Handle(child), context) == 0) {
      *stopped = true;
      return;
    }
    EnumDescendants(child, proc, context, stopped);
  }
}

}  // namespace

void Reset() {
  State& s = S();
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
  s.narrowCommandLine.clear();
  s.wide.clear();
  s.wideVector.clear();
  s.splitFails = false;
  s.clockMs = 0;
  s.readings = 0;
  s.allocationsLeft = -1;
  s.output = Output::None;
  s.written.clear();
  s.outputLimit = SIZE_MAX;
  s.programPath.clear();
  s.files.clear();
  s.doubleByte = false;
  ResetThreads();
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
  w->alive = false;
  for (FakeWindow* child : w->children) Destroy(Handle(child));
}

void SetHandler(plat::Window window, Handler handler) { Get(window)->handler = std::move(handler); }
void SetReply(plat::Window window, uint32_t id, intptr_t reply) { Get(window)->replies[id] = reply; }
void SetVisible(plat::Window window, bool visible) { Get(window)->shape.visible = visible; }
void SetMinimized(plat::Window window, bool minimized) { Get(window)->minimized = minimized; }
bool IsMinimized(plat::Window window) { return Get(window)->minimized; }
uint32_t ExStyle(plat::Window window) { return Get(window)->shape.exStyle; }
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

void SetRegistry(const std::string& key, const std::string& value, uint32_t type,
                 const std::string& bytes) {
  S().registry[key + "|" + value] = RegistryValue{type, bytes};
}

void SetCommandLine(const std::string& narrow, const std::vector<std::u16string>& wide) {
  S().narrowCommandLine = narrow;
  S().wide = wide;
}
void FailCommandLineSplit() { S().splitFails = true; }

void SetClockMilliseconds(int64_t ms) { S().clockMs = ms; }
int64_t ClockMilliseconds() { return S().clockMs; }
int ClockReadings() { return S().readings; }

bool LookUpRegistry(const std::string& key, uint32_t* type, std::string* bytes) {
  auto found = S().registry.find(key);
  if (found == S().registry.end()) return false;
  *type = found->second.type;
  *bytes = found->second.bytes;
  return true;
}

void SetStandardOutput(Output kind) { S().output = kind; }
std::string& StandardOutput() { return S().written; }
void FailOutputAfter(size_t bytes) { S().outputLimit = bytes; }
void SetProgramPath(const std::string& path) { S().programPath = path; }
void AddFile(const std::string& path) { S().files.insert(path); }
void SetDoubleByteCodePage(bool doubleByte) { S().doubleByte = doubleByte; }

void FailAllocationsAfter(int n) { S().allocationsLeft = n; }
int LiveAllocations() { return S().liveAllocations; }

}  // namespace fake

// The platform layer over the fake window system.
namespace plat {

using fake::Log;

Window FindWindowA(const char* className, const char* title) {
  for (fake::FakeWindow* w : fake::S().topLevel)
    if (fake::Fits(w, className, title)) return fake::Handle(w);
  return nullptr;
}

Window FindWindowExA(Window parent, Window after, const char* className, const char* title) {
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

void EnumThreadWindows(ThreadId thread, EnumProc proc, intptr_t context) {
  std::vector<fake::FakeWindow*> snapshot = fake::S().topLevel;
  for (fake::FakeWindow* w : snapshot) {
    if (!w->alive || w->shape.thread != thread) continue;
    if (proc(fake::Handle(w), context) == 0) return;
  }
}

void EnumChildWindows(Window parent, EnumProc proc, intptr_t context) {
  fake::FakeWindow* p = fake::Get(parent);
  if (p == nullptr) return;
  bool stopped = false;
  fake::EnumDescendants(p, proc, context, &stopped);
}

ThreadId GetWindowThreadId(Window window) {
  fake::FakeWindow* w = fake::Get(window);
  return w == nullptr ? 0 : w->shape.thread;
}

int GetWindowTextA(Window window, char* buffer, int size) {
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return fake::CopyText("", buffer, size);
  return fake::CopyText(w->shape.title, buffer, size);
}

int GetClassNameA(Window window, char* buffer, int size) {
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return fake::CopyText("", buffer, size);
  return fake::CopyText(w->shape.className, buffer, size);
}

uint32_t GetExtendedStyle(Window window) {
  fake::FakeWindow* w = fake::Get(window);
  return w == nullptr ? 0 : w->shape.exStyle;
}

void SetExtendedStyle(Window window, uint32_t exStyle) {
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return;
  Log(w->shape.label + " exstyle " + fake::Hex(w->shape.exStyle) + " " + fake::Hex(exStyle));
  w->shape.exStyle = exStyle;
}

intptr_t SendMessageA(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return 0;
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
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return false;
  bool wasVisible = w->shape.visible;
  switch (command) {
    case SW_HIDE:
      Log(w->shape.label + " showwindow hide");
      w->shape.visible = false;
      break;
    case SW_RESTORE:
      Log(w->shape.label + " showwindow restore");
      w->shape.visible = true;
      w->minimized = false;
      break;
    case SW_MINIMIZE:
      Log(w->shape.label + " showwindow minimize");
      w->shape.visible = true;
      w->minimized = true;
      break;
    default:
      Log(w->shape.label + " showwindow cmd " + std::to_string(command));
      w->shape.visible = true;
      break;
  }
  return wasVisible;
}

bool IsWindowVisible(Window window) {
  // Visible only when it and all its ancestors are.
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return false;
  for (; w != nullptr; w = fake::Get(w->shape.parent))
    if (!w->shape.visible) return false;
  return true;
}

bool IsIconic(Window window) {
  fake::FakeWindow* w = fake::Get(window);
  return w != nullptr && w->minimized;
}

void SetForegroundWindow(Window window) {
  fake::FakeWindow* w = fake::Get(window);
  if (w == nullptr) return;
  Log(w->shape.label + " foreground");
  fake::S().foreground = w;
}

Window GetWindowBelow(Window window) {
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

int MessageBoxA(const char* text, const char* caption, unsigned type) {
  fake::S().boxes.push_back(fake::Box{text, caption, type});
  fake::State& s = fake::S();
  if (s.nextAnswer < s.answers.size()) return s.answers[s.nextAnswer++];
  return IDOK;
}

void ShellExecuteA(const char* file, const char* parameters, int showCommand) {
  fake::S().started.push_back(
      fake::Started{file, parameters != nullptr ? parameters : "(null)", showCommand});
}

WideChar** CommandLineArgs(int* count) {
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

size_t WideToAnsi(const WideChar* text, char* buffer, size_t capacity) {
  // The code page of the tests: Latin-1 one to one, anything else '?'.
  if (capacity == 0) return 0;
  size_t n = 0;
  for (; text != nullptr && text[n] != 0 && n + 1 < capacity; ++n)
    buffer[n] = text[n] < 0x100 ? static_cast<char>(text[n]) : '?';
  buffer[n] = '\0';
  return n;
}

void* AllocateZeroed(size_t size) {
  fake::State& s = fake::S();
  if (s.allocationsLeft == 0) return nullptr;
  if (s.allocationsLeft > 0) --s.allocationsLeft;
  ++s.liveAllocations;
  return calloc(1, size);
}

void Release(void* block) {
  if (block == nullptr) return;
  --fake::S().liveAllocations;
  free(block);
}

void ExitProcess(int status) {
  // For death tests: what the user saw, then the status.
  for (const fake::Box& box : fake::S().boxes)
    fprintf(stderr, "box [%s] %s\n", box.caption.c_str(), box.text.c_str());
  fflush(stderr);
  _exit(status);
}

const char* ProcessCommandLineA() { return fake::S().narrowCommandLine.c_str(); }

bool StandardOutputIsFileOrPipe() {
  return fake::S().output == fake::Output::File || fake::S().output == fake::Output::Pipe;
}

bool WriteStandardOutput(const char* bytes, size_t count) {
  fake::State& s = fake::S();
  if (s.output == fake::Output::None) return false;
  const size_t room = s.outputLimit - std::min(s.outputLimit, s.written.size());
  s.written.append(bytes, std::min(count, room));
  return count <= room;
}

size_t ProgramPath(char* buffer, size_t capacity) {
  const std::string& path = fake::S().programPath;
  if (capacity == 0) return 0;
  if (path.empty() || path.size() >= capacity) {
    buffer[0] = '\0';
    return 0;
  }
  return static_cast<size_t>(fake::CopyText(path, buffer, static_cast<int>(capacity)));
}

bool FileExists(const char* path) { return fake::S().files.count(path) != 0; }

size_t FittingPrefix(const char* text, size_t limit) {
  size_t length = 0;
  while (text[length] != '\0') {
    const unsigned char c = static_cast<unsigned char>(text[length]);
    const bool lead = fake::S().doubleByte && c >= 0x81 && c <= 0xFE && text[length + 1] != '\0';
    const size_t step = lead ? 2 : 1;
    if (length + step > limit) break;
    length += step;
  }
  return length;
}

int64_t CalendarSeconds() {
  ++fake::S().readings;
  return fake::S().clockMs / 1000;
}

void Sleep(uint32_t milliseconds) { fake::S().clockMs += milliseconds; }

}  // namespace plat
