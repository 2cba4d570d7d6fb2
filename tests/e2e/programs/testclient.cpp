// A stand-in for the Quenvale client in the end-to-end tests. It builds the
// windows of a scenario file and journals what each of them receives:
//   <label> command <id>[ lparam=<l>]   a menu command
//   <label> clicked <button label>      a button child reported a click
//   <label> char <code> <lParam>        wParam as the window received it: for
//                                       an ANSI window a byte of the ANSI code
//                                       page (a double-byte character comes
//                                       as two, lead byte first), for a
//                                       Unicode one a UTF-16 unit
//   <label> lbuttondown <w> <l>         and lbuttonup
//   <label> shown | hidden | minimized | restored
//   <label> exstyle <old> <new>         hexadecimal
// Scenario lines:
//   window <label> class=<c> title=<t> [parent=<label>] [hidden] [minimized]
//          [exstyle=<hex>] [reply=<id>:<value>]... [opens=<id>:<label>]
//          [quit=<id>] [later] [foreground]
//          [stall=<message>:<ms>]... [busy=<id>:<ms>] [unicode] [thread=hung]
// A window is an ANSI window, as the real client's are: its class and title
// are the line's bytes, handed to the A calls. "unicode" makes it a Unicode
// window (its own class registered with RegisterClassW, or a system control
// created with CreateWindowExW): its class and title are read as UTF-8 and
// handed to the W calls. The client then reads its queue with the W calls.
// Windows are stacked so that the first listed is on top of its siblings,
// and the top-level ones above other programs'.
// The client's thread keeps the IME window that the system makes for it,
// where the system puts it (Wine: below the client's other windows). A
// window of class IME (the system's class of IME windows) stands for that
// window as Windows places it: it is never shown, and it is stacked above
// the client's other windows wherever it is listed, as Windows stacks the
// IME window just above the window it serves. List it hidden: the driver
// holds the visible windows, not it, in their listed order. It journals
// what it receives.
// A "thread=hung" window (top-level, of a class of the client's own, without
// children) stands for another program's whose thread has stopped reading
// its queue: a thread of its own makes it and reads its queue, so that it
// can be stacked as listed, until the control window's hang-threads message,
// then never again. It journals nothing, and nothing restacks it after that.
// (Under Wine a visible window of the client's own thread listed after it
// comes back above it once the client reads its queue: list those hidden.)
// "later" windows (with their children) are created when a window that
// opens them receives the menu command.
// "stall": inside its handling of the message (a menu command id, or show,
// pos, style, char, lbuttondown for WM_SHOWWINDOW, WM_WINDOWPOSCHANGING,
// WM_STYLECHANGING, WM_CHAR, WM_LBUTTONDOWN) the window stops reading its
// queue for ms, or until the release event is set. "busy": inside its
// handling of the menu command it goes on reading its queue, as a dialog
// would, for ms. The control window's hang message stops the client reading
// its queue, from then on, for wParam ms or until the release event is set.
// The release event is a manual-reset event named "<token>-release"; the
// driver resets it before a run and sets it after, so that a stall outlasts
// no run.
// When ready it writes "<label> <handle>" lines to the map file and creates
// its control window (message-only, class DowtraneTestControl, titled with
// the token).
//   testclient.exe <scenario> <journal> <map> <token>
#include <windows.h>

#include <stdio.h>

#include <map>
#include <string>
#include <vector>

#include "protocol.h"
#include "words.h"

namespace {

using protocol::kControlClass;
using protocol::kHangMessage;
using protocol::kHangThreadsMessage;
using protocol::kQuitMessage;
using protocol::kRestackMessage;
using protocol::kSyncMessage;

struct WindowPlan {
  std::string label, className, title, parent;
  bool hidden = false, minimized = false, later = false, foreground = false, unicode = false;
  bool hungThread = false;
  DWORD exStyle = 0;
  std::map<UINT, LRESULT> replies;
  std::map<UINT, std::string> opens;
  UINT quitId = 0;
  std::map<std::string, DWORD> stalls;  // by message: a command id, or show, pos, ...
  std::map<UINT, DWORD> busy;           // by command id
};

struct Live {
  const WindowPlan* plan;
  HWND hwnd;
  WNDPROC original;  // for subclassed system controls
  bool visible;
  bool iconic;
};

std::vector<WindowPlan> g_plans;
std::map<HWND, Live> g_live;
std::map<std::string, HWND> g_byLabel;
FILE* g_journal = nullptr;
FILE* g_map = nullptr;
bool g_quitting = false;
bool g_creating = false;  // creation is not journaled
HANDLE g_release = nullptr;
DWORD g_mainThread = 0;
HANDLE g_hangThreads = nullptr;  // set, the "thread=hung" windows' threads stop reading
bool g_wideQueue = false;  // some window is a Unicode window
std::map<std::string, bool> g_classKinds;  // own classes: true when registered Unicode

std::wstring Utf16(const std::string& utf8) {
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], n);
  return w;
}

// One message from the queue, dispatched, by the A or the W calls.
bool Peek(MSG* msg) {
  return g_wideQueue ? PeekMessageW(msg, nullptr, 0, 0, PM_REMOVE) != 0
                     : PeekMessageA(msg, nullptr, 0, 0, PM_REMOVE) != 0;
}

void Dispatch(const MSG& msg) {
  if (g_wideQueue) DispatchMessageW(&msg);
  else DispatchMessageA(&msg);
}

void Journal(const std::string& line) {
  if (g_journal == nullptr || g_quitting || g_creating) return;
  fprintf(g_journal, "%s\n", line.c_str());
  fflush(g_journal);
}

std::string Hex(DWORD v) {
  char buf[16];
  snprintf(buf, sizeof buf, "%lx", static_cast<unsigned long>(v));
  return buf;
}

std::string LabelOf(HWND hwnd) {
  auto it = g_live.find(hwnd);
  return it == g_live.end() ? std::string("?") : it->second.plan->label;
}

bool IsImeClass(const std::string& c) { return lstrcmpiA(c.c_str(), "IME") == 0; }

bool IsSystemClass(const std::string& c) {
  for (const char* s : {"edit", "button", "static", "listbox", "#32770"})
    if (lstrcmpiA(c.c_str(), s) == 0) return true;
  return IsImeClass(c);
}

HWND Create(const WindowPlan& plan);

// Stops reading the queue: a wait on the release event is no wait on the
// queue, so after five seconds of it the window system counts the thread as
// hung.
void StopReading(DWORD ms) { WaitForSingleObject(g_release, ms); }

void StallIfAsked(const WindowPlan& plan, const std::string& message) {
  if (g_creating || g_quitting) return;
  auto stall = plan.stalls.find(message);
  if (stall != plan.stalls.end()) StopReading(stall->second);
}

// Reads and dispatches the queue for ms, as the loop of a modal dialog does.
void ReadQueueFor(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD now = start; now - start < ms; now = GetTickCount()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - (now - start), QS_ALLINPUT);
    MSG msg;
    while (Peek(&msg)) {
      TranslateMessage(&msg);
      Dispatch(msg);
    }
  }
}

struct HungWindow {
  const WindowPlan* plan;
  HANDLE made;  // set once hwnd is
  HWND hwnd;
};

// The thread of a "thread=hung" window: makes it, reads its queue until
// told to stop, then stops for good (the process's end ends it).
DWORD WINAPI HungThread(LPVOID param) {
  HungWindow* w = static_cast<HungWindow*>(param);
  w->hwnd = Create(*w->plan);
  SetEvent(w->made);
  while (MsgWaitForMultipleObjects(1, &g_hangThreads, FALSE, INFINITE, QS_ALLINPUT) ==
         WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (Peek(&msg)) Dispatch(msg);
  }
  Sleep(INFINITE);
  return 0;
}

// The main thread waits meanwhile: Create records the window in the maps.
HWND CreateOnHungThread(const WindowPlan& plan) {
  HungWindow w = {&plan, CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr};
  HANDLE thread = w.made != nullptr ? CreateThread(nullptr, 0, HungThread, &w, 0, nullptr)
                                    : nullptr;
  if (thread != nullptr) {
    WaitForSingleObject(w.made, INFINITE);
    CloseHandle(thread);
  }
  if (w.made != nullptr) CloseHandle(w.made);
  return w.hwnd;
}

// Every window is created visible; then, last listed first, each goes to the
// top of its siblings, so the first listed ends on top; then the hidden
// ones are hidden. (Under Wine a hidden top-level window cannot be raised,
// and sinks below the visible ones: scenarios list hidden windows last.)
void CreateTree(const WindowPlan& plan, std::vector<HWND>* made) {
  HWND hwnd = plan.hungThread ? CreateOnHungThread(plan) : Create(plan);
  if (hwnd == nullptr) return;
  made->push_back(hwnd);
  for (const WindowPlan& child : g_plans)
    if (child.parent == plan.label && !child.later) CreateTree(child, made);
}

// A window of a thread that has stopped reading cannot be moved: SetWindowPos
// would wait for its thread. The IME windows go on top of all, last.
void Raise(const std::vector<HWND>& windows) {
  const bool stopped = WaitForSingleObject(g_hangThreads, 0) == WAIT_OBJECT_0;
  for (bool ime : {false, true})
    for (auto h = windows.rbegin(); h != windows.rend(); ++h)
      if (!(stopped && g_live[*h].plan->hungThread) &&
          IsImeClass(g_live[*h].plan->className) == ime)
        SetWindowPos(*h, HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void NoteStates(const std::vector<HWND>& windows) {
  for (HWND h : windows) {
    LONG style = GetWindowLongA(h, GWL_STYLE);
    g_live[h].visible = (style & WS_VISIBLE) != 0;
    g_live[h].iconic = (style & WS_MINIMIZE) != 0;
  }
}

void Settle(const std::vector<HWND>& made) {
  Raise(made);
  for (HWND h : made) {
    if (g_live[h].plan->hidden) ShowWindow(h, SW_HIDE);
    else if (g_live[h].plan->minimized) ShowWindow(h, SW_SHOWMINNOACTIVE);
  }
  NoteStates(made);
}

std::vector<HWND> g_initial;  // the windows made at start, in list order

// Stacks the visible windows made at start again, as Settle did, and the
// IME windows above them.
void Restack() {
  std::vector<HWND> visible;
  for (HWND h : g_initial)
    if (IsWindowVisible(h) || IsImeClass(g_live[h].plan->className)) visible.push_back(h);
  Raise(visible);
}

void CreateWithChildren(const WindowPlan& plan) {
  g_creating = true;
  std::vector<HWND> made;
  CreateTree(plan, &made);
  Settle(made);
  g_creating = false;
}

void WriteMap() {
  for (const auto& [label, hwnd] : g_byLabel)
    fprintf(g_map, "%s %llx\n", label.c_str(), static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
  fflush(g_map);
}

void NoteState(HWND hwnd) {
  auto it = g_live.find(hwnd);
  if (it == g_live.end()) return;
  Live& w = it->second;
  LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  bool visible = (style & WS_VISIBLE) != 0;
  bool iconic = (style & WS_MINIMIZE) != 0;
  if (visible != w.visible) Journal(w.plan->label + (visible ? " shown" : " hidden"));
  if (iconic != w.iconic) Journal(w.plan->label + (iconic ? " minimized" : " restored"));
  w.visible = visible;
  w.iconic = iconic;
}

void QuitAll() {
  g_quitting = true;
  std::vector<HWND> tops;
  for (const auto& [hwnd, live] : g_live)
    if (live.plan->parent.empty() && !live.plan->hungThread) tops.push_back(hwnd);
  for (HWND h : tops) DestroyWindow(h);
  PostQuitMessage(0);
}

LRESULT Record(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, bool* handled, LRESULT* result) {
  *handled = false;
  auto it = g_live.find(hwnd);
  if (it == g_live.end()) return 0;
  const WindowPlan& plan = *it->second.plan;
  switch (msg) {
    case WM_COMMAND:
      if (lp != 0) {
        // Notifications of child controls: only clicks are of interest.
        if (HIWORD(wp) == BN_CLICKED && g_live.count(reinterpret_cast<HWND>(lp)))
          Journal(plan.label + " clicked " + LabelOf(reinterpret_cast<HWND>(lp)));
        break;
      }
      Journal(plan.label + " command " + std::to_string(wp));
      StallIfAsked(plan, std::to_string(wp));
      if (plan.busy.count(static_cast<UINT>(wp)) != 0) ReadQueueFor(plan.busy.at(static_cast<UINT>(wp)));
      {
        auto open = plan.opens.find(static_cast<UINT>(wp));
        if (open != plan.opens.end()) {
          for (const WindowPlan& s : g_plans)
            if (s.label == open->second && g_byLabel.count(s.label) == 0) {
              CreateWithChildren(s);
              WriteMap();
            }
        }
        if (plan.quitId != 0 && plan.quitId == wp) QuitAll();
        auto reply = plan.replies.find(static_cast<UINT>(wp));
        if (reply != plan.replies.end()) {
          *handled = true;
          *result = reply->second;
        }
      }
      break;
    case WM_CHAR:
      Journal(plan.label + " char " + std::to_string(wp) + " " + std::to_string(lp));
      StallIfAsked(plan, "char");
      break;
    case WM_LBUTTONDOWN:
      Journal(plan.label + " lbuttondown " + std::to_string(wp) + " " + std::to_string(lp));
      StallIfAsked(plan, "lbuttondown");
      break;
    case WM_SHOWWINDOW:
      StallIfAsked(plan, "show");
      break;
    case WM_WINDOWPOSCHANGING:
      StallIfAsked(plan, "pos");
      break;
    case WM_STYLECHANGING:
      if (wp == static_cast<WPARAM>(GWL_EXSTYLE)) StallIfAsked(plan, "style");
      break;
    case WM_LBUTTONUP:
      Journal(plan.label + " lbuttonup " + std::to_string(wp) + " " + std::to_string(lp));
      break;
    case WM_STYLECHANGED:
      if (wp == static_cast<WPARAM>(GWL_EXSTYLE)) {
        const STYLESTRUCT* ss = reinterpret_cast<const STYLESTRUCT*>(lp);
        Journal(plan.label + " exstyle " + Hex(ss->styleOld) + " " + Hex(ss->styleNew));
      } else {
        NoteState(hwnd);
      }
      break;
    default:
      break;
  }
  return 0;
}

// The window procedures, as ANSI (unicode false) or Unicode ones: Windows
// hands each window its messages in the form of its procedure.
template <bool unicode>
LRESULT CALLBACK OwnProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // A hung window's own thread: the records are the main thread's.
  if (GetCurrentThreadId() != g_mainThread)
    return unicode ? DefWindowProcW(hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
  bool handled = false;
  LRESULT result = 0;
  Record(hwnd, msg, wp, lp, &handled, &result);
  LRESULT r = handled  ? result
              : unicode ? DefWindowProcW(hwnd, msg, wp, lp)
                        : DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_WINDOWPOSCHANGED || msg == WM_SIZE) NoteState(hwnd);
  if (msg == WM_CLOSE) return 0;  // the client decides when it closes
  return r;
}

template <bool unicode>
LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  bool handled = false;
  LRESULT result = 0;
  Record(hwnd, msg, wp, lp, &handled, &result);
  auto it = g_live.find(hwnd);
  WNDPROC original = it != g_live.end() ? it->second.original
                     : unicode          ? DefWindowProcW
                                        : DefWindowProcA;
  LRESULT r = handled  ? result
              : unicode ? CallWindowProcW(original, hwnd, msg, wp, lp)
                        : CallWindowProcA(original, hwnd, msg, wp, lp);
  if (msg == WM_WINDOWPOSCHANGED || msg == WM_SIZE) NoteState(hwnd);
  return r;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kSyncMessage) {
    if (g_journal != nullptr) fflush(g_journal);
    return 1;
  }
  if (msg == kQuitMessage) {
    QuitAll();
    return 1;
  }
  if (msg == kHangMessage) {
    StopReading(static_cast<DWORD>(wp));
    return 1;
  }
  if (msg == kHangThreadsMessage) {
    SetEvent(g_hangThreads);
    return 1;
  }
  if (msg == kRestackMessage) {
    // The driver found the windows out of order (the window system moved
    // one after start): stack them again, as at start.
    g_creating = true;
    Restack();
    g_creating = false;
    return 1;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND Create(const WindowPlan& plan) {
  HWND parent = nullptr;
  if (!plan.parent.empty()) {
    auto it = g_byLabel.find(plan.parent);
    if (it == g_byLabel.end()) return nullptr;
    parent = it->second;
  }
  const bool system = IsSystemClass(plan.className);
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const std::wstring wideClass = Utf16(plan.className);
  // A class is of the kind of the first window that needs it; a window of
  // the other kind gets the procedure of its own kind after creation.
  bool classUnicode = plan.unicode;
  if (!system) {
    auto known = g_classKinds.find(plan.className);
    if (known != g_classKinds.end()) {
      classUnicode = known->second;
    } else if (plan.unicode) {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = OwnProc<true>;
      wc.hInstance = instance;
      wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
      wc.lpszClassName = wideClass.c_str();
      RegisterClassW(&wc);
      g_classKinds[plan.className] = true;
    } else {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = OwnProc<false>;
      wc.hInstance = instance;
      wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
      wc.lpszClassName = plan.className.c_str();
      RegisterClassA(&wc);
      g_classKinds[plan.className] = false;
    }
  }
  DWORD style = parent != nullptr ? WS_CHILD | WS_VISIBLE : WS_OVERLAPPEDWINDOW;
  HWND hwnd = plan.unicode
                  ? CreateWindowExW(plan.exStyle, wideClass.c_str(), Utf16(plan.title).c_str(),
                                    style, 40, 40, 240, 160, parent, nullptr, instance, nullptr)
                  : CreateWindowExA(plan.exStyle, plan.className.c_str(), plan.title.c_str(),
                                    style, 40, 40, 240, 160, parent, nullptr, instance, nullptr);
  if (hwnd == nullptr) {
    fprintf(stderr, "testclient: cannot create %s\n", plan.label.c_str());
    return nullptr;
  }
  Live live = {&plan, hwnd, nullptr, false, false};
  g_live[hwnd] = live;
  g_byLabel[plan.label] = hwnd;
  if (system && plan.unicode)
    g_live[hwnd].original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc<true>)));
  else if (system)
    g_live[hwnd].original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc<false>)));
  else if (!classUnicode && plan.unicode) {
    // Created through the ANSI procedure, which kept the title in the ANSI
    // code page: the title again, whole, through the Unicode one.
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnProc<true>));
    SetWindowTextW(hwnd, Utf16(plan.title).c_str());
  } else if (classUnicode && !plan.unicode) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnProc<false>));
  }
  // The extended style exactly as the scenario says; creation may add bits.
  SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG>(plan.exStyle));
  // Windows never shows its IME windows.
  if (parent == nullptr && !IsImeClass(plan.className)) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  return hwnd;
}

bool ReadScenario(const char* path) {
  FILE* f = fopen(path, "rb");
  if (f == nullptr) return false;
  char line[4096];
  while (fgets(line, sizeof line, f) != nullptr) {
    std::vector<std::string> w = testfiles::Words(testfiles::Trim(line));
    if (w.size() < 2 || w[0] != "window") continue;
    WindowPlan s;
    s.label = w[1];
    for (size_t i = 2; i < w.size(); ++i) {
      std::string v;
      if (testfiles::Option(w[i], "class", &v)) s.className = v;
      else if (testfiles::Option(w[i], "title", &v)) s.title = v;
      else if (testfiles::Option(w[i], "parent", &v)) s.parent = v;
      else if (testfiles::Option(w[i], "exstyle", &v)) s.exStyle = strtoul(v.c_str(), nullptr, 16);
      else if (testfiles::Option(w[i], "reply", &v)) s.replies[strtoul(v.c_str(), nullptr, 10)] = strtol(v.substr(v.find(':') + 1).c_str(), nullptr, 10);
      else if (testfiles::Option(w[i], "opens", &v)) s.opens[strtoul(v.c_str(), nullptr, 10)] = v.substr(v.find(':') + 1);
      else if (testfiles::Option(w[i], "quit", &v)) s.quitId = strtoul(v.c_str(), nullptr, 10);
      else if (testfiles::Option(w[i], "stall", &v)) s.stalls[v.substr(0, v.find(':'))] = strtoul(v.substr(v.find(':') + 1).c_str(), nullptr, 10);
      else if (testfiles::Option(w[i], "busy", &v)) s.busy[strtoul(v.c_str(), nullptr, 10)] = strtoul(v.substr(v.find(':') + 1).c_str(), nullptr, 10);
      else if (w[i] == "hidden") s.hidden = true;
      else if (w[i] == "minimized") s.minimized = true;
      else if (w[i] == "later") s.later = true;
      else if (w[i] == "foreground") s.foreground = true;
      else if (w[i] == "unicode") s.unicode = true;
      else if (w[i] == "thread=hung") s.hungThread = true;
      else fprintf(stderr, "testclient: unknown option %s\n", w[i].c_str());
    }
    g_wideQueue = g_wideQueue || s.unicode;
    g_plans.push_back(s);
  }
  fclose(f);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: testclient <scenario> <journal> <map> <token>\n");
    return 2;
  }
  if (!ReadScenario(argv[1])) return 2;
  g_release = CreateEventA(nullptr, TRUE, FALSE, (std::string(argv[4]) + "-release").c_str());
  g_hangThreads = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (g_release == nullptr || g_hangThreads == nullptr) return 2;
  g_mainThread = GetCurrentThreadId();
  g_map = fopen(argv[3], "wb");
  if (g_map == nullptr) return 2;

  g_creating = true;
  for (const WindowPlan& s : g_plans)
    if (s.parent.empty() && !s.later) CreateTree(s, &g_initial);
  Settle(g_initial);
  // Let the window system deliver what the new windows caused (it may
  // raise one of them), then stack them again.
  for (DWORD start = GetTickCount(); GetTickCount() - start < 60;) {
    MSG pending;
    while (Peek(&pending)) Dispatch(pending);
    Sleep(5);
  }
  Restack();
  g_creating = false;
  for (const WindowPlan& s : g_plans)
    if (s.foreground && g_byLabel.count(s.label)) SetForegroundWindow(g_byLabel[s.label]);
  WriteMap();

  g_journal = fopen(argv[2], "wb");
  if (g_journal == nullptr) return 2;

  WNDCLASSA wc = {};
  wc.lpfnWndProc = ControlProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kControlClass;
  RegisterClassA(&wc);
  CreateWindowExA(0, kControlClass, argv[4], 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                  GetModuleHandleA(nullptr), nullptr);

  MSG msg;
  while ((g_wideQueue ? GetMessageW(&msg, nullptr, 0, 0) : GetMessageA(&msg, nullptr, 0, 0)) > 0) {
    TranslateMessage(&msg);
    Dispatch(msg);
  }
  fclose(g_journal);
  return 0;
}
