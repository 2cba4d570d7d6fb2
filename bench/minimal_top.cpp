// The least a program can do to carry out "dowtrane top": the same Windows
// calls in the same order (the command lines, the main window and its
// thread, the foreground right handed to the client, the menu command sent
// with a bound), then ExitProcess with the
// same status. bench/size_and_start.sh times it beside dowtrane.exe.
#include <windows.h>
#include <shellapi.h>

#include "client/contract.h"

extern "C" [[noreturn]] void MinimalTop() {
  GetCommandLineW();
  int count = 0;
  CommandLineToArgvW(GetCommandLineW(), &count);
  // The class in UTF-16, as the program converts it (it is ASCII).
  WCHAR mainClass[sizeof client::kMainClass];
  for (size_t i = 0; i < sizeof client::kMainClass; ++i) mainClass[i] = client::kMainClass[i];
  HWND main = FindWindowW(mainClass, nullptr);
  GetWindowThreadProcessId(main, nullptr);
  // The client may bring itself forward: Windows lets it only with the
  // run's right to the foreground handed on.
  DWORD process = 0;
  GetWindowThreadProcessId(main, &process);
  AllowSetForegroundWindow(process);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(main, WM_COMMAND, client::kTop, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 20000,
                      &result);
  ExitProcess(1);
}
