// Stands in for a program that Dowtrane starts (the client, the player, or
// an explorer.exe that must not be run in the shell's place): appends its
// line to the record of started programs (started.h) named by
// DOWTRANE_TEST_STARTED and ends. When started with an argument, the line
// goes on with that argument's full path, resolved from the recorder's own
// current directory.
#include <windows.h>

#include "started.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t log[MAX_PATH];
  if (GetEnvironmentVariableW(L"DOWTRANE_TEST_STARTED", log, MAX_PATH) == 0) return 2;
  wchar_t self[MAX_PATH];
  if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return 2;
  const wchar_t* line = GetCommandLineW();
  wchar_t argument[1024], full[1024] = L"";
  started::Argument(line, argument, 1024);
  DWORD fullLength = argument[0] != L'\0' ? GetFullPathNameW(argument, 1024, full, nullptr) : 0;
  if (fullLength == 0 || fullLength >= 1024) full[0] = L'\0';
  return started::AppendLine(log, self, line, full) ? 0 : 2;
}
