// The process entry: finds the command-line tail, runs it and ends the
// process with its status. Nothing starts a C runtime before it: the program
// has no global constructors and calls no C library function, so the entry
// is the first code of the process and ExitProcess its last.
#include "app/entry.h"
#include "platform/platform.h"

extern "C" [[noreturn]] void DowtraneEntry() {
  const int status = app::RunProcessCommandLine();
  plat::EndCalls();
  plat::ExitProcess(status);
}
