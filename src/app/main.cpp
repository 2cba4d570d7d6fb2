// The process entry: finds the command-line tail, runs it and ends the
// process with its status. Nothing starts a C runtime before it: the program
// has no global constructors and calls no C library function, so the entry
// is the first code of the process and ExitProcess its last.
#include "app/command.h"
#include "platform/platform.h"

namespace {

// A Windows command line holds at most 32767 characters.
char g_tail[32768];

}  // namespace

extern "C" [[noreturn]] void DowtraneEntry() {
  const char* tail = app::FindTail(plat::ProcessCommandLineA());
  size_t n = 0;
  while (tail[n] != '\0' && n + 1 < sizeof g_tail) {
    g_tail[n] = tail[n];
    ++n;
  }
  g_tail[n] = '\0';
  plat::ExitProcess(app::WinMain(g_tail));
}
