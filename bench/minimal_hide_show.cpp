// The least a program can do to carry out "dowtrane hide private" and
// "dowtrane show private" on a client whose windows are all private ones:
// the same Windows calls (the command lines, the main window and its
// thread, each window's title and class and the searches for its children
// that tell a private window, then ShowWindow on each private window),
// made plainly: no bound, no helper thread. bench/hide_show.sh times it
// beside dowtrane.exe. A first argument that starts with "h" hides, any
// other shows.
#include <windows.h>
#include <shellapi.h>

#include "client/contract.h"

namespace {

HWND g_private[8192];
int g_count;

BOOL CALLBACK Classify(HWND window, LPARAM) {
  char title[400], className[400];
  GetWindowTextA(window, title, sizeof title);
  GetClassNameA(window, className, sizeof className);
  if (title[0] == '\0' || lstrcmpA(className, client::kMainClass) == 0) return TRUE;
  if (FindWindowExA(window, nullptr, client::kIconHolderClass, nullptr) != nullptr ||
      FindWindowExA(window, nullptr, client::kListClass, nullptr) != nullptr)
    return TRUE;
  if (FindWindowExA(window, nullptr, client::kDisplayClass, nullptr) != nullptr &&
      g_count < static_cast<int>(sizeof g_private / sizeof g_private[0]))
    g_private[g_count++] = window;
  return TRUE;
}

}  // namespace

extern "C" [[noreturn]] void MinimalHideShow() {
  GetCommandLineA();
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  const bool hide = args != nullptr && count > 1 && args[1][0] == L'h';
  HWND main = FindWindowA(client::kMainClass, nullptr);
  EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), Classify, 0);
  for (int i = 0; i < g_count; ++i) ShowWindow(g_private[i], hide ? SW_HIDE : SW_RESTORE);
  ExitProcess(0);
}
