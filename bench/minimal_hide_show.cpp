// The least a program can do to carry out "dowtrane hide private" and
// "dowtrane show private" on a client whose windows are all private ones:
// the same Windows calls (the command lines, the main window and its
// thread, each window's title and class and the searches for its children
// that tell a private window, then ShowWindow on each private window),
// made plainly: no bound, no helper thread. bench/hide_show.sh times it
// beside dowtrane.exe. A first argument that starts with "h" hides, "s"
// shows; "e" only starts and enumerates (the part of a run that is not the
// hiding or showing); "f" gives the main window the foreground and ends.
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
  const wchar_t mode = args != nullptr && count > 1 ? args[1][0] : L's';
  HWND main = FindWindowA(client::kMainClass, nullptr);
  if (mode == L'f') ExitProcess(SetForegroundWindow(main) ? 0 : 1);
  EnumThreadWindows(GetWindowThreadProcessId(main, nullptr), Classify, 0);
  if (mode != L'e')
    for (int i = 0; i < g_count; ++i) ShowWindow(g_private[i], mode == L'h' ? SW_HIDE : SW_RESTORE);
  ExitProcess(0);
}
