// Stands in for a program that Dowtrane starts (the client, the player, the
// shell that opens the help file): appends "<own path>|<command line>" to
// the file named by DOWTRANE_TEST_STARTED and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char log[MAX_PATH];
  if (GetEnvironmentVariableA("DOWTRANE_TEST_STARTED", log, sizeof log) == 0) return 2;
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  HANDLE f = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 2;
  DWORD written = 0;
  const char* line = GetCommandLineA();
  WriteFile(f, self, n, &written, nullptr);
  WriteFile(f, "|", 1, &written, nullptr);
  WriteFile(f, line, lstrlenA(line), &written, nullptr);
  WriteFile(f, "\n", 1, &written, nullptr);
  CloseHandle(f);
  return 0;
}
