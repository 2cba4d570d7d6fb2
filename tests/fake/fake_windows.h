// An in-memory window system behind the platform layer, for the native
// tests. It follows documented Win32 behaviour where the program depends on
// it: Z order, direct-child searches, depth-first child enumeration,
// truncating text reads, ShowWindow's previous-visibility result.
//
// Every call the program makes on a window is written to a journal, one line
// each, naming the window by its label:
//   "<label> command <id>"            WM_COMMAND with lParam 0
//   "<label> char <code> <lParam>"    WM_CHAR
//   "<label> lbuttondown <w> <l>"     and "lbuttonup"
//   "<label> showwindow <restore|hide|minimize|cmd N>"
//   "<label> exstyle <old> <new>"     in hexadecimal
//   "<label> foreground"
#pragma once

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

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

// Answers a message sent to a window; returns what SendMessageA returns.
using Handler = std::function<intptr_t(plat::Window, uint32_t, uintptr_t, intptr_t)>;

void Reset();

// Adds a window at the bottom of its siblings' Z order, so windows listed
// first are on top and are enumerated first.
plat::Window Add(const WindowShape& shape);
plat::Window Top(const std::string& label, const std::string& className, const std::string& title,
                 plat::ThreadId thread = 1);
plat::Window Child(plat::Window parent, const std::string& label, const std::string& className,
                   const std::string& title = "");
void Destroy(plat::Window window);  // with its descendants; later calls on it fail
void SetHandler(plat::Window window, Handler handler);
void SetReply(plat::Window window, uint32_t commandId, intptr_t reply);
void SetVisible(plat::Window window, bool visible);
void SetMinimized(plat::Window window, bool minimized);
bool IsMinimized(plat::Window window);
uint32_t ExStyle(plat::Window window);
std::string Label(plat::Window window);
plat::Window Foreground();

std::vector<std::string>& Journal();
std::vector<int64_t>& JournalTimes();  // fake clock in ms, one per journal line
std::vector<Box>& Boxes();
void AnswerBoxes(std::vector<int> answers);  // in order; IDOK once they run out
std::vector<Started>& StartedPrograms();

// The registry: raw bytes and type under a key of HKEY_LOCAL_MACHINE.
void SetRegistry(const std::string& key, const std::string& value, uint32_t type,
                 const std::string& bytes);

void SetCommandLine(const std::string& narrow, const std::vector<std::u16string>& wide);
void FailCommandLineSplit();

// The clock, in milliseconds; Sleep moves it on.
void SetClockMilliseconds(int64_t ms);
int64_t ClockMilliseconds();
int ClockReadings();

// Standard output: none (the default), a console, a file or a pipe; what
// the program wrote to it; writes fail once this many bytes are written.
enum class Output { None, Console, File, Pipe };
void SetStandardOutput(Output kind);
std::string& StandardOutput();
void FailOutputAfter(size_t bytes);

// The program's own path ("" when it cannot be read) and the files that
// exist, by the path the program asks with.
void SetProgramPath(const std::string& path);
void AddFile(const std::string& path);

// The code page: single-byte (Latin-1, the default) or one in which the
// bytes 0x81 to 0xFE lead a double-byte character.
void SetDoubleByteCodePage(bool doubleByte);

// Allocations after the next n succeed no more.
void FailAllocationsAfter(int n);
int LiveAllocations();

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
// 40024", "showwindow hide", "exstyle", "char"): the call is handled and
// journaled at once and returns that much later. While it stalls the thread
// reads its queue when reading is true (a dialog of its own: probes are
// answered at once); otherwise it does not (a probe is answered when the
// stall ends, and after 5 s of stalling the thread counts as hung).
void Stall(plat::Window window, const std::string& what, int64_t milliseconds,
           bool reading = false);
int Probes();         // probes the program made since Reset
void ResetThreads();  // part of Reset

}  // namespace fake
