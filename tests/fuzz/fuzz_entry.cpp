// The fuzz target: every input is one run of the program from its entry,
// against a client, a registry and a command line decoded from the input.
// Besides what the sanitizers catch, each run must leave true:
//   - the exit status is one the help file documents;
//   - every inventory node is released (unless the process ended on the way);
//   - every box text, line written to standard output and started program
//     name fits the program's buffers;
//   - nothing acts on a window of a thread other than the client's, except
//     the player's command in WINAMP and the foreground handed to the window
//     below the contact list in TOGGLEBUDDY;
//   - a /windows, /bind or /unbind run whose standard output is a file or a
//     pipe shows no box;
//   - COM is released at the end of the run (unless the process ended on
//     the way) and no shortcut call is made without it; every shortcut
//     written lies in the bindings' folder, with keys that the key reader
//     reads back from their one form, and the program's own path.
// A broken rule is reported on stderr and aborts, which libFuzzer records as
// a crash with its input.
//
// The input, read front to back (a field past the end reads as zeros):
//   command line   bytes up to the first zero byte: the process's command
//                  line, program name first, as UTF-8 (a byte that starts no
//                  valid sequence is the code unit of its value; encoded
//                  surrogates stay lone ones). The platform holds it wide,
//                  cut to 32767 units; the program reads it in UTF-8; the
//                  wide elements are its split.
//   flags          bit 0: the wide split fails (the other bits are unused)
//   oom            0: memory never runs out; n: allocations fail after n - 1
//   clock          word: the tick count's start in milliseconds
//   answers        count (low two bits), then one byte per message box in
//                  order: 0 OK, 1 Cancel, 2 no answer (0), else the byte
//   registry       the client's uninstall value, then the player's:
//                  kind (0: absent; else the type, see kRegistryTypes, and
//                  the place, see kRegistryPlaces, by kind / 8), text,
//                  filler count (word, below 1024), filler byte, text, ending
//                  (0: a zero, 1: none, 2: a zero and a text, 3: two zeros);
//                  the environment that expands them holds ProgramFiles and
//                  Long (kLongVariable characters)
//   process        bits 0-1: standard output none, console, file, pipe;
//                  bit 2: a dowtrane.txt in the current folder; bit 3:
//                  shortcuts (kShortcuts: a binding of the program's own,
//                  others' on the Desktop and in the Start menu); bit 4: a
//                  program holds Ctrl+Alt+H; bit 5: the layout types a
//                  character for Ctrl+Alt+E; bit 6: COM does not start; bit
//                  7: the shell starts nothing, with SE_ERR_FNF (whose text
//                  the system has) or, bit 6 set as well, SE_ERR_NOASSOC
//                  (whose text it lacks); then the bytes standard output
//                  takes before writes fail (word, 0: no limit) and the
//                  program's own path (text)
//   records        until the input ends, each an opcode byte (modulo 5):
//                  0 top-level window: thread, class, title, style
//                  1 child window: parent (index), class, title, style
//                  2 behaviour of a window (index) when a message comes:
//                    filter (bits 0-1: any, command, char, button; bit 2:
//                    every time, else once), reply (modulo 4: 0, 1, -1, else
//                    the byte), action
//                  3 event at a platform call: call (a tag byte of kCalls:
//                    0 every call, a letter one call; any other byte names
//                    no call and the event, read in full, is dropped), which
//                    one of those calls (byte, from 1), action
//                  4 the send dialog (with its edit box and OK button) on a
//                    thread, as the client opens it
// A text is a byte: 0 the empty text, 1 to 30, 0xF5 on a text of the client
// (kNamed), 31 a literal from the next byte, any other byte the first of a
// literal; a literal runs to the next zero byte. Texts are UTF-8 as the fake
// reads them (unpaired surrogates in their three-byte form, any other byte
// outside a well-formed sequence the character of its value). A thread byte gives
// threads 1 to 3 (1 + byte modulo 3); a style byte: bit 0 hidden, bit 1
// accepts files, bit 2 transparent, bits 3-7 other extended styles. A window
// index is taken modulo the windows that exist when it is used. An action is
// a byte (modulo 8) and its operands: 0 retitle (window, text), 1 close
// (window), 2 open a top-level window (thread, class, title, style), 3 open
// a child (window, class, title, style), 4 open the send dialog on the
// client's thread, 5 show or hide (window, style), 6 set the calendar clock
// forward or back (signed 32-bit seconds), 7 a thread (a byte: modulo 4, 0
// nothing; 1 a thread (thread) hangs from then on; 2 or 3 a window (window)
// stalls in each call whose journal line begins with what (a byte, modulo
// kStallWhats) for milliseconds (word, times 2), reading its queue meanwhile
// when 3: a late answer, a busy thread or one that does not answer).
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <string>
#include <vector>

#include "app/command.h"
#include "app/entry.h"
#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"
#include "fake_shortcuts.h"
#include "fake_windows.h"
#include "app/keys.h"
#include "app/listing.h"
#include "platform/platform.h"
#include "platform/registry_text.h"

namespace {

constexpr size_t kMaxWideCommandLine = 32767;  // the platform's limit, in units
constexpr size_t kMaxWindows = 600;            // decoded and opened meanwhile
constexpr size_t kMaxEvents = 64;
// The box of /windows holds 40 lines and one more, each within a listing
// line; every other box text is built in a text buffer.
constexpr char kWindowListCaption[] = "Dowtrane - Windows";
constexpr char kHotkeysCaption[] = "Dowtrane - Hotkeys";
constexpr size_t kWindowListBoxSize = 41 * app::kListingLineSize;
constexpr uint16_t kCtrlAlt = (plat::HOTKEYF_CONTROL | plat::HOTKEYF_ALT) << 8;
const std::string kBindings = std::string(fake::kUserPrograms) + "\\Dowtrane";
// The shortcuts of process bit 3: path, arguments, hotkey word.
struct StoredShortcut {
  std::string path;
  const char* arguments;
  uint16_t hotkey;
};
const StoredShortcut kShortcuts[] = {
    {kBindings + "\\Ctrl+Alt+B top.lnk", "top", kCtrlAlt | 'B'},
    {kBindings + "\\F5 exit.lnk", "exit", 0x74},
    {kBindings + "\\hand-made.lnk", "hide all", 0},
    {std::string(fake::kUserDesktop) + "\\Editor.lnk", "", kCtrlAlt | 'D'},
    {std::string(fake::kCommonStartMenu) + "\\Programs\\Tools\\Mail.lnk", "",
     kCtrlAlt | plat::HOTKEYF_EXT << 8 | 'M'},
};
constexpr char kHelpFile[] = "dowtrane.txt";
// The exit delay sleeps until its seconds have passed; every this many naps
// the tick count leaps forward (by kClockLeap, more than any delay), as if
// the machine had slept, so that every delay comes to an end.
constexpr unsigned kSleepsBeforeLeap = 1000;
constexpr int64_t kClockLeapMilliseconds = (int64_t{1} << 33) * 1000;

// The texts of the client that a text byte can name: its classes and titles,
// consoles of every medium, a container's name, the dialog class, titles
// about the length of the program's text buffers, and names outside ASCII:
// Cyrillic (one capital apart), an emoji (a pair in UTF-16), an unpaired
// surrogate, and titles of 399 units that end in a character of two units
// or of four bytes; then the classes of the system's windows on the client's
// thread, which the inventory passes over.
const std::string kConsole = client::kConsoleTitleSuffix;
const std::string kNamed[] = {
    client::kMainClass,    client::kMainTitle,      client::kIconHolderClass,
    client::kListClass,    client::kDisplayClass,   client::kConsoleTitleSuffix,
    client::kSendDialogTitle, client::kEditClass,   client::kButtonClass,
    client::kOkButtonTitle,   client::kPlayerClass, "aim " + kConsole,
    "icq " + kConsole,     "irc " + kConsole,       "msn " + kConsole,
    "yahoo " + kConsole,   "Work",                  "#32770",
    "current",             std::string(399, 't'),   std::string(400, 't'),
    std::string(1000, 't'), "Работа",               "работа",
    "aim Дмитрий",         "J\U0001F600e",          "a\xed\xa0\x80" "b",
    std::string(398, 't') + "\U0001F600", std::string(59, 'w') + "\U0001F600x",
    std::string(398, 'z') + "Ж",
    client::kSystemWindowClasses[0], client::kSystemWindowClasses[1],
    client::kSystemWindowClasses[2], client::kSystemWindowClasses[3],
};
constexpr size_t kNamedTexts = sizeof kNamed / sizeof kNamed[0];
constexpr uint8_t kLiteralEscape = 31;
// The texts after the thirtieth take bytes that begin no UTF-8 text, so that
// the literals of the seeds keep their meaning.
constexpr size_t kLowNamedTexts = kLiteralEscape - 1;
constexpr unsigned kHighNamedFirst = 0xF5;
static_assert(kNamedTexts >= kLowNamedTexts &&
                  kNamedTexts - kLowNamedTexts <= 256 - kHighNamedFirst,
              "the named texts fit their bytes");
static_assert(sizeof client::kSystemWindowClasses / sizeof client::kSystemWindowClasses[0] == 4,
              "kNamed names every class of the system's windows");

// What a stalling window stalls in: the start of a journal line after its
// label (fake_windows.h, Stall); "" is every call.
const char* const kStallWhats[] = {"", "command", "char", "lbutton", "show", "exstyle"};
constexpr size_t kStallWhatCount = sizeof kStallWhats / sizeof kStallWhats[0];

const uint32_t kRegistryTypes[] = {plat::kRegistryString, plat::kRegistryExpandString,
                                   plat::kRegistryString, 7 /* multi-string */,
                                   4 /* 32-bit number */, 3 /* binary */, 0 /* none */};
// The places of the registry by kind / 8: the first is where kinds below 8
// put their value, as before the places came.
const plat::RegistryPlace kRegistryPlaces[] = {plat::RegistryPlace::Machine32,
                                               plat::RegistryPlace::CurrentUser,
                                               plat::RegistryPlace::Machine64};
// More than half the registry's units: twice over, an expansion does not fit.
constexpr size_t kLongVariable = 400;

// The calls an event can wait for, each named in the input by a tag of its
// own; tag 0 counts every call. A tag keeps its meaning for good, so that
// the committed seeds and a campaign's corpus keep theirs: a new call takes
// a byte no row has (and dowtrane.dict an entry "\x03" and the tag). A byte
// no row has names no call, not every call, so that giving it to a new call
// changes only inputs whose event never took place. The rows' order is
// free: the input names a row by its tag only.
struct CallTag {
  uint8_t tag;
  const char* name;
};
constexpr CallTag kCalls[] = {
    {0, nullptr},
    {'a', "AllocateZeroed"},
    {'b', "MessageBoxUtf8"},
    {'c', "ReadClassName"},
    {'e', "EnumThreadWindows"},
    {'E', "EnumChildWindows"},
    {'f', "FindWindowUtf8"},
    {'F', "FindWindowExUtf8"},
    {'g', "SetForegroundWindow"},
    {'i', "IsIconic"},
    {'k', "GetTickCount64"},
    {'m', "SendMessageW"},
    {'o', "WriteStandardOutput"},
    {'s', "ShowWindow"},
    {'t', "ReadWindowTitle"},
    {'u', "GetWindowBelow"},
    {'v', "IsWindowVisible"},
    {'x', "GetExtendedStyle"},
    {'z', "Sleep"},
};
constexpr size_t kCallKinds = sizeof kCalls / sizeof kCalls[0];

// The row of a tag; kCallKinds for a byte that names no call.
constexpr size_t CallIndex(uint8_t tag) {
  for (size_t i = 0; i < kCallKinds; ++i)
    if (kCalls[i].tag == tag) return i;
  return kCallKinds;
}

constexpr bool TagsAreDistinct() {
  for (size_t i = 0; i < kCallKinds; ++i)
    if (CallIndex(kCalls[i].tag) != i) return false;
  return true;
}
static_assert(TagsAreDistinct(), "two calls of kCalls share a tag");

// The exit delay's naps, which move the tick count on (OnCall).
constexpr size_t kSleepCall = CallIndex('z');
static_assert(kSleepCall < kCallKinds, "kCalls holds the sleep");

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at;

  bool More() const { return at < size; }
  uint8_t Byte() { return at < size ? data[at++] : 0; }
  uint16_t Word() {
    uint16_t low = Byte();
    return static_cast<uint16_t>(low | Byte() << 8);
  }
  std::string Literal() {
    const auto* zero = static_cast<const uint8_t*>(memchr(data + at, 0, size - at));
    const size_t end = zero != nullptr ? static_cast<size_t>(zero - data) : size;
    std::string out(reinterpret_cast<const char*>(data + at), end - at);
    at = end < size ? end + 1 : size;  // past the zero
    return out;
  }
  std::string Text() {
    const uint8_t selector = Byte();
    if (selector == 0) return "";
    if (selector <= kLowNamedTexts) return kNamed[selector - 1];
    if (selector == kLiteralEscape) return Literal();
    if (selector >= kHighNamedFirst && selector - kHighNamedFirst < kNamedTexts - kLowNamedTexts)
      return kNamed[kLowNamedTexts + (selector - kHighNamedFirst)];
    return static_cast<char>(selector) + Literal();
  }
  plat::ThreadId Thread() { return 1 + Byte() % 3; }
};

struct Action {
  uint8_t kind = 7;
  uint8_t window = 0;
  plat::ThreadId thread = 1;
  std::string className, title;
  uint8_t style = 0;
  int64_t seconds = 0;
  uint8_t threadKind = 0;  // kind 7
  uint8_t what = 0;
  int64_t milliseconds = 0;
};

struct Behaviour {
  size_t window;
  uint8_t filter;
  bool used;
  intptr_t reply;
  Action action;
};

struct Event {
  size_t call;
  unsigned nth;
  Action action;
};

// What the run is made of, kept beside the fake to check the run against.
struct Run {
  std::vector<plat::Window> windows;  // by index; labels are "w<index>"
  std::vector<plat::ThreadId> threads;
  std::vector<std::string> classes;
  std::vector<Behaviour> behaviours;
  std::vector<Event> events;
  unsigned callCounts[kCallKinds];
};

Run g_run;
// The kinds of the fake's call names met so far, by the names' addresses.
std::vector<const char*> g_callNames;
std::vector<size_t> g_callKinds;
std::vector<int> g_documentedStatuses;

[[noreturn]] void Broken(const std::string& rule) {
  fprintf(stderr, "dowtrane_fuzz: broken: %s\n", rule.c_str());
  for (const fake::Box& box : fake::Boxes())
    fprintf(stderr, "  box [%s] %zu bytes\n", box.caption.c_str(), box.text.size());
  for (const std::string& line : fake::Journal()) fprintf(stderr, "  journal %s\n", line.c_str());
  abort();
}

Action ReadAction(Reader& in) {
  Action a;
  a.kind = in.Byte() % 8;
  switch (a.kind) {
    case 0: a.window = in.Byte(); a.title = in.Text(); break;
    case 1: a.window = in.Byte(); break;
    case 5: a.window = in.Byte(); a.style = in.Byte(); break;
    case 2: case 3:
      if (a.kind == 2)
        a.thread = in.Thread();
      else
        a.window = in.Byte();
      a.className = in.Text();
      a.title = in.Text();
      a.style = in.Byte();
      break;
    case 6: {
      const uint32_t low = in.Word();
      a.seconds = static_cast<int32_t>(low | static_cast<uint32_t>(in.Word()) << 16);
      break;
    }
    case 7:
      a.threadKind = in.Byte() % 4;
      if (a.threadKind == 1) {
        a.thread = in.Thread();
      } else if (a.threadKind >= 2) {
        a.window = in.Byte();
        a.what = static_cast<uint8_t>(in.Byte() % kStallWhatCount);
        a.milliseconds = 2 * static_cast<int64_t>(in.Word());
      }
      break;
    default: break;
  }
  return a;
}

// Adds a window under the next label; parent is an index, or -1 for a
// top-level window. Null once the run has all the windows it may have.
plat::Window AddWindow(long parent, plat::ThreadId thread, const std::string& className,
                       const std::string& title, uint8_t style) {
  if (g_run.windows.size() >= kMaxWindows) return nullptr;
  fake::WindowShape shape;
  shape.label = "w" + std::to_string(g_run.windows.size());
  shape.className = className;
  shape.title = title;
  if (parent >= 0) {
    shape.parent = g_run.windows[parent];
    thread = g_run.threads[parent];  // a child belongs to its parent's thread
  }
  shape.thread = thread;
  shape.visible = (style & 1) == 0;
  shape.exStyle = ((style & 2) != 0 ? plat::WS_EX_ACCEPTFILES : 0) |
                  ((style & 4) != 0 ? plat::WS_EX_TRANSPARENT : 0) |
                  static_cast<uint32_t>(style >> 3) << 8;
  plat::Window w = fake::Add(shape);
  g_run.windows.push_back(w);
  g_run.threads.push_back(thread);
  g_run.classes.push_back(className);
  return w;
}

long PickIndex(uint8_t index) {
  return g_run.windows.empty() ? -1 : static_cast<long>(index % g_run.windows.size());
}

plat::Window Pick(uint8_t index) {
  const long i = PickIndex(index);
  return i < 0 ? nullptr : g_run.windows[i];
}

void OpenSendDialog(plat::ThreadId thread) {
  if (AddWindow(-1, thread, "#32770", client::kSendDialogTitle, 0) == nullptr) return;
  const long dialog = static_cast<long>(g_run.windows.size() - 1);
  AddWindow(dialog, thread, client::kEditClass, "", 0);
  AddWindow(dialog, thread, client::kButtonClass, client::kOkButtonTitle, 0);
}

void Perform(const Action& a) {
  switch (a.kind) {
    case 0: fake::SetTitle(Pick(a.window), a.title); break;
    case 1: fake::Destroy(Pick(a.window)); break;
    case 2: AddWindow(-1, a.thread, a.className, a.title, a.style); break;
    case 3: {
      const long parent = PickIndex(a.window);
      // A closed window gets no children (the fake would make them top-level).
      if (parent >= 0 && fake::IsAlive(g_run.windows[parent]))
        AddWindow(parent, 0, a.className, a.title, a.style);
      break;
    }
    case 4: {
      const plat::ThreadId gui = inventory::g_clientWindows.guiThreadId;
      OpenSendDialog(gui != 0 ? gui : 1);
      break;
    }
    case 5: fake::SetVisible(Pick(a.window), (a.style & 1) == 0); break;
    case 6: fake::JumpCalendarClock(a.seconds * 1000); break;
    case 7:
      if (a.threadKind == 1) fake::HangThread(a.thread);
      if (a.threadKind >= 2 && Pick(a.window) != nullptr)
        fake::Stall(Pick(a.window), kStallWhats[a.what], a.milliseconds, a.threadKind == 3);
      break;
    default: break;
  }
}

size_t CallKind(const char* call) {
  for (size_t i = 0; i < g_callNames.size(); ++i)
    if (g_callNames[i] == call) return g_callKinds[i];
  size_t kind = kCallKinds;  // none of the listed calls
  for (size_t k = 1; k < kCallKinds; ++k)
    if (strcmp(kCalls[k].name, call) == 0) kind = k;
  g_callNames.push_back(call);
  g_callKinds.push_back(kind);
  return kind;
}

void OnCall(const char* call) {
  const size_t kind = CallKind(call);
  ++g_run.callCounts[0];
  if (kind < kCallKinds) ++g_run.callCounts[kind];
  for (const Event& e : g_run.events)
    if ((e.call == 0 || e.call == kind) && g_run.callCounts[e.call] == e.nth) Perform(e.action);
  if (kind == kSleepCall && g_run.callCounts[kind] % kSleepsBeforeLeap == 0)
    fake::SetClockMilliseconds(fake::ClockMilliseconds() + kClockLeapMilliseconds);
}

bool Matches(uint8_t filter, uint32_t message) {
  switch (filter & 3) {
    case 1: return message == plat::WM_COMMAND;
    case 2: return message == plat::WM_CHAR;
    case 3: return message == plat::WM_LBUTTONDOWN || message == plat::WM_LBUTTONUP;
    default: return true;
  }
}

intptr_t OnMessage(size_t window, uint32_t message) {
  intptr_t reply = 0;
  for (Behaviour& b : g_run.behaviours) {
    if (b.window != window || !Matches(b.filter, message)) continue;
    reply = b.reply;
    if (b.used) continue;
    if ((b.filter & 4) == 0) b.used = true;
    Perform(b.action);
  }
  return reply;
}

intptr_t ReplyFrom(uint8_t b) {
  switch (b % 4) {
    case 0: return 0;
    case 1: return 1;
    case 2: return -1;
    default: return b;
  }
}

std::string RegistryBytes(Reader& in) {
  std::string bytes = in.Text();
  const size_t filler = in.Word() % 1024;
  bytes += std::string(filler, static_cast<char>(in.Byte()));
  bytes += in.Text();
  switch (in.Byte() % 4) {
    case 0: bytes += '\0'; break;
    case 1: break;
    case 2: bytes += '\0'; bytes += in.Text(); break;
    default: bytes += std::string(2, '\0'); break;
  }
  return bytes;
}

void ReadRegistryValue(Reader& in, const char* key) {
  const uint8_t kind = in.Byte();
  if (kind == 0) return;
  constexpr size_t kTypes = sizeof kRegistryTypes / sizeof kRegistryTypes[0];
  const uint32_t type = kind % (kTypes + 1) < kTypes ? kRegistryTypes[kind % (kTypes + 1)] : kind;
  const plat::RegistryPlace place = kRegistryPlaces[kind / (kTypes + 1) % 3];
  fake::SetRegistry(key, client::kUninstallValue, type, RegistryBytes(in), place);
}

// UTF-8 into UTF-16; see the input's description.
std::u16string Widen(const std::string& bytes) {
  std::u16string out;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  for (size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    size_t length = 1;
    if (b >= 0xC2 && b <= 0xDF) length = 2;
    if (b >= 0xE0 && b <= 0xEF) length = 3;
    if (b >= 0xF0 && b <= 0xF4) length = 4;
    uint32_t code = b;
    bool valid = length > 1 && i + length <= n;
    for (size_t k = 1; valid && k < length; ++k) valid = (p[i + k] & 0xC0) == 0x80;
    if (valid) {
      code = b & (0x7F >> length);
      for (size_t k = 1; k < length; ++k) code = code << 6 | (p[i + k] & 0x3F);
      valid = length == 2 || (length == 3 && code >= 0x800) ||
              (length == 4 && code >= 0x10000 && code <= 0x10FFFF);
    }
    if (!valid) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(code);
    }
    i += length;
  }
  return out;
}

void Decode(const uint8_t* data, size_t size) {
  Reader in{data, size, 0};
  std::u16string wide = Widen(in.Literal());
  if (wide.size() > kMaxWideCommandLine) wide.resize(kMaxWideCommandLine);

  const uint8_t flags = in.Byte();
  fake::SetCommandLine(wide, fake::SplitCommandLine(wide));
  if ((flags & 1) != 0) fake::FailCommandLineSplit();

  const uint8_t oom = in.Byte();
  if (oom != 0) fake::FailAllocationsAfter(oom - 1);
  fake::SetClockMilliseconds(in.Word());
  std::vector<int> answers;
  for (int i = in.Byte() & 3; i > 0; --i) {
    const uint8_t b = in.Byte();
    answers.push_back(b == 0 ? plat::IDOK : b == 1 ? plat::IDCANCEL : b == 2 ? 0 : b);
  }
  fake::AnswerBoxes(answers);
  fake::SetEnvironment("ProgramFiles", "C:\\Program Files");
  fake::SetEnvironment("Long", std::string(kLongVariable, 'l'));
  ReadRegistryValue(in, client::kClientUninstallKey);
  ReadRegistryValue(in, client::kPlayerUninstallKey);

  const uint8_t process = in.Byte();
  const fake::Output outputs[] = {fake::Output::None, fake::Output::Console, fake::Output::File,
                                  fake::Output::Pipe};
  fake::SetStandardOutput(outputs[process & 3]);
  if ((process & 4) != 0) fake::AddFile(kHelpFile);
  if ((process & 8) != 0)
    for (const StoredShortcut& s : kShortcuts)
      fake::AddShortcut(s.path, fake::MakeShortcut("C:\\Tools\\dowtrane.exe", s.arguments, "", s.hotkey));
  if ((process & 16) != 0) fake::HoldKeys(kCtrlAlt | 'H');
  if ((process & 32) != 0) fake::TypeCharacter(kCtrlAlt | 'E', "\xE2\x82\xAC");
  if ((process & 64) != 0) fake::FailCom();
  fake::SetSystemMessage(2, "The system cannot find the file specified.\r\n");
  if ((process & 128) != 0) fake::FailStarts((process & 64) != 0 ? 31 : 2);
  const uint16_t outputLimit = in.Word();
  if (outputLimit != 0) fake::FailOutputAfter(outputLimit);
  fake::SetProgramPath(in.Text());

  while (in.More()) {
    switch (in.Byte() % 5) {
      case 0: {
        const plat::ThreadId thread = in.Thread();
        const std::string className = in.Text();
        const std::string title = in.Text();
        AddWindow(-1, thread, className, title, in.Byte());
        break;
      }
      case 1: {
        const long parent = PickIndex(in.Byte());
        const std::string className = in.Text();
        const std::string title = in.Text();
        AddWindow(parent, 1, className, title, in.Byte());
        break;
      }
      case 2: {
        const long window = PickIndex(in.Byte());
        const uint8_t filter = in.Byte();
        const intptr_t reply = ReplyFrom(in.Byte());
        const Action action = ReadAction(in);
        if (window >= 0)
          g_run.behaviours.push_back(
              Behaviour{static_cast<size_t>(window), filter, false, reply, action});
        break;
      }
      case 3: {
        const size_t call = CallIndex(in.Byte());
        const unsigned nth = in.Byte();
        const Action action = ReadAction(in);
        if (call < kCallKinds && g_run.events.size() < kMaxEvents)
          g_run.events.push_back(Event{call, nth, action});
        break;
      }
      default:
        OpenSendDialog(in.Thread());
        break;
    }
  }
  for (const Behaviour& b : g_run.behaviours) {
    const size_t i = b.window;
    fake::SetHandler(g_run.windows[i], [i](plat::Window, uint32_t message, uintptr_t, intptr_t) {
      return OnMessage(i, message);
    });
  }
}

// The process, as the program's entry runs it: the tail of the command line
// in UTF-8, in the entry's buffer, then the program's own entry.
int Process(void*) {
  const int status = app::RunProcessCommandLine();
  plat::EndCalls();
  return status;
}

bool StartsWithFolded(const char* text, const char* word) {
  for (size_t i = 0; word[i] != '\0'; ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != word[i]) return false;
  }
  return true;
}

// The command word as the user typed it: the first blank-delimited word of
// the tail (the entry changes the tail in place, so it is read again).
std::string CommandWord() {
  static char line[plat::kCommandLineSize];
  plat::ReadProcessCommandLine(line, sizeof line);
  const char* tail = app::FindTail(line);
  std::string word;
  for (; *tail != '\0' && *tail != ' '; ++tail) word += *tail;
  return word;
}

void CheckThreads() {
  const plat::ThreadId gui = inventory::g_clientWindows.guiThreadId;
  const std::string word = CommandWord();
  const bool winamp = StartsWithFolded(word.c_str(), "winamp");
  const bool toggle = StartsWithFolded(word.c_str(), "togglebuddy");
  const std::string playerCommand = "command " + std::to_string(client::kPlayerCommand);
  for (const std::string& line : fake::Journal()) {
    const size_t blank = line.find(' ');
    const size_t index = std::stoul(line.substr(1, blank - 1));
    if (g_run.threads[index] == gui) continue;
    const std::string what = line.substr(blank + 1);
    const bool player = utf8::EqualsIgnoreCase(g_run.classes[index].c_str(), client::kPlayerClass);
    if (winamp && what == playerCommand && player) continue;
    if (toggle && what == "foreground") continue;
    Broken("acted on a window of thread " + std::to_string(g_run.threads[index]) +
           ", not the client's " + std::to_string(gui) + ": " + line);
  }
}

// The shortcuts a run wrote: in the bindings' folder, to the program's own
// path, with keys that read back from their one form.
void CheckShortcuts() {
  for (const std::string& path : fake::ShortcutPaths()) {
    bool stored = false;
    for (const StoredShortcut& s : kShortcuts) stored = stored || s.path == path;
    if (stored) continue;
    fake::FakeShortcut shortcut;
    fake::ReadStoredShortcut(path, &shortcut);
    if (path.compare(0, kBindings.size() + 1, kBindings + "\\") != 0)
      Broken("a shortcut written outside the bindings' folder: " + path);
    char keys[64];
    utf8::Builder b = utf8::Start(keys, sizeof keys);
    app::WriteKeys(b, shortcut.hotkey);
    if (shortcut.hotkey == 0 || app::ReadKeys(keys) != shortcut.hotkey)
      Broken("a shortcut written with keys that do not read back: " + std::string(keys));
    char program[plat::kReadTextSize];
    plat::ProgramPath(program, sizeof program);
    if (shortcut.target != program)
      Broken("a shortcut written to " + shortcut.target + ", not " + program);
  }
}

void Check(int status, bool exited) {
  bool documented = false;
  for (int s : g_documentedStatuses) documented = documented || s == status;
  if (!documented) Broken("exit status " + std::to_string(status) + " is not in the help file");
  if (!exited && fake::LiveAllocations() != 0)
    Broken(std::to_string(fake::LiveAllocations()) + " inventory nodes not released");
  for (const fake::Box& box : fake::Boxes()) {
    const bool list = box.caption == kWindowListCaption || box.caption == kHotkeysCaption;
    if ((list && box.text.size() >= kWindowListBoxSize) ||
        (!list && utf8::Characters(box.text.c_str()) > utf8::kTextCharacters))
      Broken("a box text of " + std::to_string(box.text.size()) + " bytes");
  }
  // Lines end in CR LF; each fits a listing line with its terminator.
  const std::string& output = fake::StandardOutput();
  for (size_t start = 0; start < output.size();) {
    size_t end = output.find("\r\n", start);
    if (end == std::string::npos) end = output.size();
    if (end - start >= app::kListingLineSize)
      Broken("a line of " + std::to_string(end - start) + " bytes on standard output");
    start = end + 2;
  }
  const fake::Output out = fake::CurrentStandardOutput();
  const std::string word = CommandWord();
  const bool listsOrBinds = utf8::EqualsIgnoreCase(word.c_str(), "/windows") ||
                            utf8::EqualsIgnoreCase(word.c_str(), "/bind") ||
                            utf8::EqualsIgnoreCase(word.c_str(), "/unbind");
  if ((out == fake::Output::File || out == fake::Output::Pipe) && listsOrBinds &&
      !fake::Boxes().empty())
    Broken(word + " into a file or a pipe showed a box");
  if (!exited && fake::ComDepth() != 0) Broken("COM not released");
  if (fake::CallsWithoutCom() != 0) Broken("a shortcut call without COM");
  CheckShortcuts();
  for (const fake::Started& started : fake::StartedPrograms())
    if (utf8::Characters(started.file.c_str()) > utf8::kTextCharacters ||
        utf8::Characters(started.parameters.c_str()) > utf8::kTextCharacters)
      Broken("a started program name of " + std::to_string(started.file.size()) + " bytes");
  CheckThreads();
}

// The exit statuses listed under the help file's "Exit status" heading.
void ReadDocumentedStatuses() {
  FILE* f = fopen(DOWTRANE_HELP_FILE, "r");
  if (f == nullptr) {
    fprintf(stderr, "dowtrane_fuzz: cannot read the help file %s\n", DOWTRANE_HELP_FILE);
    exit(2);
  }
  char line[512];
  bool inSection = false;
  while (fgets(line, sizeof line, f) != nullptr) {
    if (strncmp(line, "Exit status", 11) == 0) inSection = true;
    int status = 0;
    char rest[2];
    if (inSection && sscanf(line, " %d %1s", &status, rest) == 2 && line[0] == ' ')
      g_documentedStatuses.push_back(status);
  }
  fclose(f);
  if (g_documentedStatuses.empty()) {
    fprintf(stderr, "dowtrane_fuzz: no exit status found in %s\n", DOWTRANE_HELP_FILE);
    exit(2);
  }
}

// With DOWTRANE_FUZZ_PROGRESS=N, a line "progress: runs R seconds S" on
// stderr at least N seconds apart, S counted from the start; for the
// campaign script.
struct Progress {
  double interval;
  double start;
  double last;
  uint64_t runs;
};
Progress g_progress;

double Seconds() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void CountRun() {
  ++g_progress.runs;
  if (g_progress.interval <= 0 || g_progress.runs % 256 != 0) return;
  const double now = Seconds();
  if (now - g_progress.last < g_progress.interval) return;
  g_progress.last = now;
  fprintf(stderr, "progress: runs %llu seconds %.0f\n",
          static_cast<unsigned long long>(g_progress.runs), now - g_progress.start);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ReadDocumentedStatuses();
  const char* progress = getenv("DOWTRANE_FUZZ_PROGRESS");
  g_progress.interval = progress != nullptr ? atof(progress) : 0;
  g_progress.start = g_progress.last = Seconds();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fake::Reset();
  g_run = Run{};
  Decode(data, size);
  fake::SetCallHook(OnCall);
  bool exited = false;
  const int status = fake::RunProcess(Process, nullptr, &exited);
  fake::SetCallHook(nullptr);
  Check(status, exited);
  // Everything the run allocated is released before it ends, so that
  // libFuzzer's leak detection does not run every input twice.
  fake::Reset();
  g_run = Run{};
  CountRun();
  return 0;
}
