// An in-memory window system behind the platform layer, for the native
// tests and the fuzz target. It follows documented Win32 behaviour where the
// program depends on it: Z order, direct-child searches, depth-first child
// enumeration over the windows that exist when it starts, text reads cut
// after 399 UTF-16 units, ShowWindow's previous-visibility result.
//
// Its windows are Unicode windows, and its texts (titles, class names, box
// texts, paths, registry texts) are written in UTF-8 by the tests, as the
// platform layer hands texts up: a byte that starts no well-formed sequence
// stands for the character of its value (platform/utf8.h).
//
// Every call the program makes on a window is written to a journal, one line
// each, naming the window by its label:
//   "<label> command <id>"            WM_COMMAND with lParam 0
//   "<label> char <code> <lParam>"    WM_CHAR: the UTF-16 unit a Unicode
//                                     window receives, in decimal
//   "<label> lbuttondown <w> <l>"     and "lbuttonup"
//   "<label> shown" | "hidden" | "minimized" | "restored"
//                                     what a show request changed, in that
//                                     order, as the test client journals it
//   "<label> exstyle <old> <new>"     in hexadecimal
//   "<label> foreground"
#pragma once

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/registry_text.h"

namespace fake {

struct WindowShape {
  std::string label;
  std::string className;
  std::string title;
  plat::Window parent = nullptr;  // null: a top-level window
  plat::ThreadId thread = 1;
  bool visible = true;
  uint32_t exStyle = 0;
};

struct Box {
  std::string text;
  std::string caption;
  unsigned type;
};

struct Started {
  std::string file;
  std::string parameters;  // "(null)" when none
  int show;
};

// Answers a message sent to a window; returns what SendMessageW returns.
using Handler = std::function<intptr_t(plat::Window, uint32_t, uintptr_t, intptr_t)>;

// Back to an empty window system for a new run: no windows, registry,
// environment, system messages, boxes, answers, hook or failures, the clock at 0, and
// a new process: the client's windows of the last run (inventory::g_clientWindows)
// forgotten and every block it left allocated released.
void Reset();

// Runs body(context) as the program's process: returns what it returns or,
// when the program calls ExitProcess meanwhile, the status it passed, with
// *exited (may be null) telling which. The exit abandons the program's frames
// between here and ExitProcess without unwinding them (the fake keeps its
// own enumeration state outside them), so body and what it calls must hold
// no object with a destructor. Without a run in progress ExitProcess ends the
// test process, which death tests rely on.
int RunProcess(int (*body)(void* context), void* context, bool* exited);

// Adds a window at the bottom of its siblings' Z order, so windows listed
// first are on top and are enumerated first.
plat::Window Add(const WindowShape& shape);
plat::Window Top(const std::string& label, const std::string& className, const std::string& title,
                 plat::ThreadId thread = 1);
plat::Window Child(plat::Window parent, const std::string& label, const std::string& className,
                   const std::string& title = "");
void Destroy(plat::Window window);  // with its descendants; later calls on it fail
// On a window that is closed (or null) these change nothing and the queries
// answer false and 0, as the calls of the platform do.
void SetHandler(plat::Window window, Handler handler);
void SetReply(plat::Window window, uint32_t commandId, intptr_t reply);
void SetVisible(plat::Window window, bool visible);
void SetMinimized(plat::Window window, bool minimized);
void SetTitle(plat::Window window, const std::string& title);
bool IsAlive(plat::Window window);
bool IsMinimized(plat::Window window);
uint32_t ExStyle(plat::Window window);
std::string Label(plat::Window window);
plat::Window Foreground();

// Runs before the fake answers each platform call of the program, with the
// call's name ("ReadWindowTitle", "SendMessageW", "MessageBoxUtf8", ...): the
// place to change the window system as the client or the user would in the
// meantime, e.g. to close a window or change its title between the inventory
// and the walk. Calls the hook makes do not run it again. Null: no hook.
using CallHook = std::function<void(const char* call)>;
void SetCallHook(CallHook hook);

std::vector<std::string>& Journal();
std::vector<int64_t>& JournalTimes();  // fake clock in ms, one per journal line
std::vector<Box>& Boxes();
void AnswerBoxes(std::vector<int> answers);  // in order; IDOK once they run out
std::vector<Started>& StartedPrograms();

// The registry: the bytes and type of a value under a key at a place: the
// current user's, or the machine's in its 32-bit or its 64-bit view, three
// registries of their own (registry_text.h). The bytes of a text type
// (REG_SZ, REG_EXPAND_SZ) are its text in UTF-8, zeros and all, which the
// registry keeps in UTF-16 (two bytes a unit); any other type's are kept as
// they are. A query gets them whole when they fit in kRegistryUnits units,
// and TooLarge (ERROR_MORE_DATA) otherwise.
void SetRegistry(const std::string& key, const std::string& value, uint32_t type,
                 const std::string& bytes,
                 plat::RegistryPlace place = plat::RegistryPlace::Machine32);
// The process's environment variables, which ExpandEnvironmentStringsW
// reads: %name% (the name in any case, ASCII letters folded) becomes the
// value of a variable that is set; every other character, a % that opens no
// set name too, stays as it is. None is set after Reset.
void SetEnvironment(const std::string& name, const std::string& value);

// The shell: ShellExecuteUtf8 records each program it starts (StartedPrograms)
// and returns 42. After FailStarts it starts nothing more and returns
// result instead (one of ShellExecuteW's error values, 32 or below).
void FailStarts(intptr_t result);
// The system's message for an error code, as FormatMessageW gives it
// (the tests write the line end it closes with); a code without one has no
// text, and a text longer than the caller's buffer is none either.
void SetSystemMessage(uint32_t error, const std::string& text);

// The process's wide command line and its elements as the platform splits it.
void SetCommandLine(const std::u16string& line, const std::vector<std::u16string>& elements);
void FailCommandLineSplit();
// The elements of a wide command line as the platform splits it
// (CommandLineToArgvW): the program's name up to the next double quote when
// it starts with one, else up to a blank or tab; then arguments separated by
// blanks and tabs outside double quotes, where backslashes count only before
// a double quote (2n give n and the quote delimits, 2n+1 give n and a literal
// quote) and, of a run of quotes, every third gives a literal quote. An empty
// line gives the program's own path alone.
std::vector<std::u16string> SplitCommandLine(const std::u16string& line);

// Texts between UTF-8 and UTF-16 by the platform layer's own conversion.
std::u16string Wide(const std::string& text);
std::string Narrow(const std::u16string& text);

// The tick count (GetTickCount64), in milliseconds; Sleep and the waits of
// the bounded calls move it on, and nothing moves it back.
void SetClockMilliseconds(int64_t ms);
int64_t ClockMilliseconds();
int ClockReadings();  // of the tick count
// The calendar clock: the tick count plus an offset that starts at 0 and
// that setting the system's time (by hand, or by synchronisation) moves, by
// ms forward or, negative, back. No call of the platform layer reads it.
void JumpCalendarClock(int64_t ms);
int64_t CalendarMilliseconds();

// Standard output: none (the default), a console, a file or a pipe; what
// the program wrote to it; writes fail once this many bytes are written.
enum class Output { None, Console, File, Pipe };
void SetStandardOutput(Output kind);
Output CurrentStandardOutput();
std::string& StandardOutput();
void FailOutputAfter(size_t bytes);
std::string& StandardError();  // every write to it succeeds

// The program's own path ("" when it cannot be read), the Windows folder
// (the same; kDefaultWindowsFolder after Reset) and the files that exist, by
// the path the program asks with.
inline constexpr char kDefaultWindowsFolder[] = "C:\\Windows";
void SetProgramPath(const std::string& path);
void SetWindowsFolder(const std::string& path);
void AddFile(const std::string& path);

// Allocations after the next n succeed no more.
void FailAllocationsAfter(int n);
int LiveAllocations();  // blocks allocated and not yet released in this run

// Threads that do not answer at once (fake_threads.cpp). The program's calls
// reach a window's thread through the helper of the bounded calls
// (platform/bounded_calls.h); these make the thread behave, on the fake
// clock, as a Windows thread that stops reading its queue does. Reset makes
// every thread prompt again.
//
// The thread has not read its queue for more than 5 s already:
// IsHungAppWindow says so, probes give up at once, and a call handed to it
// is never handled (nothing is journaled) and never returns.
void HangThread(plat::ThreadId thread);
// The window's thread stalls for milliseconds inside its handling of each
// call whose journal line, after the label, begins with what ("command
// 40024", "exstyle", "char"; a show request is "show hide", "show minimize"
// or "show restore", so "show" takes them all): the call is handled and
// journaled at once and returns that much later. While it stalls the thread
// reads its queue when reading is true (a dialog of its own: probes are
// answered at once); otherwise it does not (a probe is answered when the
// stall ends, and after 5 s of stalling the thread counts as hung).
void Stall(plat::Window window, const std::string& what, int64_t milliseconds,
           bool reading = false);
int Probes();         // probes the program made since Reset
void FailHelperThread();  // the run's helper thread cannot be made
int ShowRequests();   // plain ShowWindow calls since Reset
// The thread's windows belong to a process with higher rights than the
// run's: Windows refuses the run's messages to them, as SendMessage's and
// SetWindowLongPtr's documentation says (ERROR_ACCESS_DENIED), and the fake
// refuses their show requests too. A refused call is not journalled.
void RunWithHigherRights(plat::ThreadId thread);
int Refusals();  // refused calls since Reset
// What a client does when it is asked to come forward: its window takes the
// foreground when its process may (AllowForegroundFor), and otherwise only
// flashes its taskbar button (SetForegroundWindow's documentation).
void ClientBringsForward(plat::Window window);
void ResetThreads();  // part of Reset

}  // namespace fake
