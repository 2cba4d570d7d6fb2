// The least a program can do to carry out "dowtrane top": the same Windows
// calls in the same order (the command lines, the main window and its
// thread, the menu command sent with a bound), then ExitProcess with the
// same status. bench/size_and_start.sh times it beside dowtrane.exe.
#include <windows.h>
#include <shellapi.h>

#include "client/contract.h"

extern "C" [[noreturn]] void MinimalTop() {
  GetCommandLineA();
  int count = 0;
  CommandLineToArgvW(GetCommandLineW(), &count);
  HWND main = FindWindowA(client::kMainClass, nullptr);
  GetWindowThreadProcessId(main, nullptr);
  DWORD_PTR result = 0;
  SendMessageTimeoutA(main, WM_COMMAND, client::kTop, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 20000,
                      &result);
  ExitProcess(1);
}
