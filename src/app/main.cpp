// The process entry: finds the command-line tail and runs it.
#include "app/command.h"
#include "platform/platform.h"

namespace {

// A Windows command line holds at most 32767 characters.
char g_tail[32768];

}  // namespace

int main() {
  const char* tail = app::FindTail(plat::ProcessCommandLineA());
  size_t n = 0;
  while (tail[n] != '\0' && n + 1 < sizeof g_tail) {
    g_tail[n] = tail[n];
    ++n;
  }
  g_tail[n] = '\0';
  return app::WinMain(g_tail);
}
