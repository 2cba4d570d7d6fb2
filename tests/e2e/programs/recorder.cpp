// Stands in for a program that Dowtrane starts (the client, the player, the
// shell that opens the help file): appends "<own path>|<command line>" to
// the file named by DOWTRANE_TEST_STARTED and ends. When started with an
// argument (the shell, with the file to open), the line goes on with
// "|<that file's full path>", resolved from the recorder's own current
// directory as the shell would resolve it.
#include <windows.h>

namespace {

// The command line after the program's name and the blanks behind it, and
// without the double quotes around it; empty when there is none.
void Argument(const char* line, char* out, DWORD size) {
  const char* p = line;
  if (*p == '"') {
    for (++p; *p != '\0' && *p != '"'; ++p) {
    }
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  int n = lstrlenA(p);
  while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\t')) --n;
  if (n >= 2 && p[0] == '"' && p[n - 1] == '"') {
    ++p;
    n -= 2;
  }
  if (static_cast<DWORD>(n) >= size) n = 0;
  lstrcpynA(out, p, n + 1);
}

}  // namespace

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
  char argument[1024], full[1024];
  Argument(line, argument, sizeof argument);
  DWORD fullLength = argument[0] != '\0' ? GetFullPathNameA(argument, sizeof full, full, nullptr) : 0;
  if (fullLength > 0 && fullLength < sizeof full) {
    WriteFile(f, "|", 1, &written, nullptr);
    WriteFile(f, full, fullLength, &written, nullptr);
  }
  WriteFile(f, "\n", 1, &written, nullptr);
  CloseHandle(f);
  return 0;
}
