// The record of the programs a run starts, one line each, in UTF-8:
//   <image path>|<command line>[|<full path of the argument>]
// The recorder writes its own line when a copy of it runs; the driver
// writes the line of any other program the run starts, which it ends before
// that program runs. The argument is what follows the program's name,
// without the double quotes around it, and its full path is resolved from
// the started program's current directory, as the shell resolves the file
// it is to open. Everything is read through the Unicode calls, so that a
// path or a command line outside the ANSI code page is recorded whole.
#pragma once

#include <windows.h>

namespace started {

// The command line after the program's name and the blanks behind it, and
// without the double quotes around it; empty when there is none.
inline void Argument(const wchar_t* line, wchar_t* out, DWORD size) {
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
inline void Write(HANDLE f, const wchar_t* text, int length) {
  char utf8[8192];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, sizeof utf8, nullptr, nullptr);
  DWORD written = 0;
  if (n > 0) WriteFile(f, utf8, static_cast<DWORD>(n), &written, nullptr);
}

// Appends a program's line to the record named log; full is empty when the
// program has no argument (or its full path could not be had). False when
// the record cannot be opened.
inline bool AppendLine(const wchar_t* log, const wchar_t* image, const wchar_t* line,
                       const wchar_t* full) {
  HANDLE f = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  Write(f, image, lstrlenW(image));
  Write(f, L"|", 1);
  Write(f, line, lstrlenW(line));
  if (full[0] != L'\0') {
    Write(f, L"|", 1);
    Write(f, full, lstrlenW(full));
  }
  Write(f, L"\n", 1);
  CloseHandle(f);
  return true;
}

}  // namespace started
