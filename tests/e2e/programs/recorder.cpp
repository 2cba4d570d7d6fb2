// Stands in for a program that Dowtrane starts (the client, the player, the
// shell that opens the help file): appends "<own path>|<command line>" to
// the file named by DOWTRANE_TEST_STARTED and ends. When started with an
// argument (the shell, with the file to open), the line goes on with
// "|<that file's full path>", resolved from the recorder's own current
// directory as the shell would resolve it. Everything is read through the
// Unicode calls and written in UTF-8, so that a path or a command line
// outside the ANSI code page is recorded whole.
#include <windows.h>

namespace {

// The command line after the program's name and the blanks behind it, and
// without the double quotes around it; empty when there is none.
void Argument(const wchar_t* line, wchar_t* out, DWORD size) {
  const wchar_t* p = line;
  if (*p == L'"') {
    for (++p; *p != L'\0' && *p != L'"'; ++p) {
    }
    if (*p == L'"') ++p;
  } else {
    while (*p != L'\0' && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  int n = lstrlenW(p);
  while (n > 0 && (p[n - 1] == L' ' || p[n - 1] == L'\t')) --n;
  if (n >= 2 && p[0] == L'"' && p[n - 1] == L'"') {
    ++p;
    n -= 2;
  }
  if (static_cast<DWORD>(n) >= size) n = 0;
  lstrcpynW(out, p, n + 1);
}

// Appends the first length units of text, in UTF-8.
void Write(HANDLE f, const wchar_t* text, int length) {
  char utf8[8192];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8, nullptr, nullptr);
  DWORD written = 0;
  if (n > 0) WriteFile(f, utf8, static_cast<DWORD>(n), &written, nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t log[MAX_PATH];
  if (GetEnvironmentVariableW(L"DOWTRANE_TEST_STARTED", log, MAX_PATH) == 0) return 2;
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  HANDLE f = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return 2;
  const wchar_t* line = GetCommandLineW();
  Write(f, self, static_cast<int>(n));
  Write(f, L"|", 1);
  Write(f, line, lstrlenW(line));
  wchar_t argument[1024], full[1024];
  Argument(line, argument, 1024);
  DWORD fullLength = argument[0] != L'\0' ? GetFullPathNameW(argument, 1024, full, nullptr) : 0;
  if (fullLength > 0 && fullLength < 1024) {
    Write(f, L"|", 1);
    Write(f, full, static_cast<int>(fullLength));
  }
  Write(f, L"\n", 1);
  CloseHandle(f);
  return 0;
}
