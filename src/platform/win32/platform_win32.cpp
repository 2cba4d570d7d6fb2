// The Windows implementation of the platform layer: the only file that sees
// <windows.h>.
#include "platform/platform.h"
#include "platform/bounded_calls.h"
#include "platform/plain_calls.h"
#include "platform/registry_text.h"

#include <windows.h>
#include <shellapi.h>

namespace plat {
namespace {

HWND Native(Window window) { return reinterpret_cast<HWND>(window); }
Window Own(HWND window) { return reinterpret_cast<Window>(window); }

struct EnumTrampoline {
  EnumProc proc;
  intptr_t context;
};

BOOL CALLBACK EnumThunk(HWND window, LPARAM trampoline) {
  const EnumTrampoline* t = reinterpret_cast<const EnumTrampoline*>(trampoline);
  return t->proc(Own(window), t->context) != 0 ? TRUE : FALSE;
}

// The helper thread of the bounded calls: it makes one plain call at a
// time, handed over through request and the two events. The record is
// static, not on a caller's stack: a call the run stopped waiting for may
// still return and write its result while the run ends.
struct Helper {
  HANDLE thread;
  HANDLE go;    // auto-reset: a request is waiting
  HANDLE done;  // auto-reset: the request has been carried out
  helper::Request request;
  intptr_t result;
};

Helper g_helper;  // zero-initialised; the thread starts with the first call

DWORD WINAPI HelperThread(LPVOID) {
  for (;;) {
    if (::WaitForSingleObject(g_helper.go, INFINITE) != WAIT_OBJECT_0) return 1;
    const helper::Request& r = g_helper.request;
    intptr_t result = 0;
    switch (r.kind) {
      case helper::Kind::Send:
        result = SendMessageA(r.window, r.message, r.wParam, r.lParam);
        break;
      case helper::Kind::Show:
        result = ShowWindow(r.window, r.command) ? 1 : 0;
        break;
      case helper::Kind::SetExtendedStyle:
        SetExtendedStyle(r.window, r.exStyle);
        break;
    }
    g_helper.result = result;
    ::SetEvent(g_helper.done);
  }
}

}  // namespace

namespace helper {

bool Begin(const Request& request) {
  if (g_helper.thread == nullptr) {
    if (g_helper.go == nullptr) g_helper.go = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (g_helper.done == nullptr) g_helper.done = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (g_helper.go == nullptr || g_helper.done == nullptr) return false;
    g_helper.thread = ::CreateThread(nullptr, 0, HelperThread, nullptr, 0, nullptr);
    if (g_helper.thread == nullptr) return false;
  }
  g_helper.request = request;
  ::SetEvent(g_helper.go);
  return true;
}

bool Await(uint32_t milliseconds, intptr_t* result) {
  if (::WaitForSingleObject(g_helper.done, milliseconds) != WAIT_OBJECT_0) return false;
  *result = g_helper.result;
  return true;
}

bool Probe(Window window, uint32_t milliseconds) {
  DWORD_PTR ignored = 0;
  if (::SendMessageTimeoutA(Native(window), WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                            milliseconds, &ignored) != 0)
    return true;
  return ::IsWindow(Native(window)) == FALSE;
}

bool IsHung(Window window) { return ::IsHungAppWindow(Native(window)) != FALSE; }

uint32_t Ticks() { return ::GetTickCount(); }

}  // namespace helper

Window FindWindowA(const char* className, const char* title) {
  return Own(::FindWindowA(className, title));
}

Window FindWindowExA(Window parent, Window after, const char* className, const char* title) {
  return Own(::FindWindowExA(Native(parent), Native(after), className, title));
}

void EnumThreadWindows(ThreadId thread, EnumProc proc, intptr_t context) {
  EnumTrampoline t = {proc, context};
  ::EnumThreadWindows(thread, EnumThunk, reinterpret_cast<LPARAM>(&t));
}

void EnumChildWindows(Window parent, EnumProc proc, intptr_t context) {
  EnumTrampoline t = {proc, context};
  ::EnumChildWindows(Native(parent), EnumThunk, reinterpret_cast<LPARAM>(&t));
}

ThreadId GetWindowThreadId(Window window) {
  if (window == nullptr) return 0;
  return ::GetWindowThreadProcessId(Native(window), nullptr);
}

int GetWindowTextA(Window window, char* buffer, int size) {
  if (size <= 0) return 0;
  buffer[0] = '\0';
  int n = ::GetWindowTextA(Native(window), buffer, size);
  if (n < 0 || n >= size) n = 0;
  buffer[n] = '\0';
  return n;
}

int GetClassNameA(Window window, char* buffer, int size) {
  if (size <= 0) return 0;
  buffer[0] = '\0';
  int n = ::GetClassNameA(Native(window), buffer, size);
  if (n < 0 || n >= size) n = 0;
  buffer[n] = '\0';
  return n;
}

uint32_t GetExtendedStyle(Window window) {
  return static_cast<uint32_t>(::GetWindowLongA(Native(window), GWL_EXSTYLE));
}

void SetExtendedStyle(Window window, uint32_t exStyle) {
  ::SetWindowLongA(Native(window), GWL_EXSTYLE, static_cast<LONG>(exStyle));
}

intptr_t SendMessageA(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return ::SendMessageA(Native(window), message, wParam, lParam);
}

bool ShowWindow(Window window, int command) { return ::ShowWindow(Native(window), command) != 0; }

bool IsWindowVisible(Window window) { return ::IsWindowVisible(Native(window)) != 0; }

void SetForegroundWindow(Window window) { ::SetForegroundWindow(Native(window)); }

Window GetWindowBelow(Window window) { return Own(::GetWindow(Native(window), GW_HWNDNEXT)); }

int MessageBoxA(const char* text, const char* caption, unsigned type) {
  return ::MessageBoxA(nullptr, text, caption, type);
}

void ShellExecuteA(const char* file, const char* parameters, int showCommand) {
  ::ShellExecuteA(nullptr, nullptr, file, parameters, nullptr, showCommand);
}

WideChar** CommandLineArgs(int* count) {
  int n = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  if (args == nullptr) n = 0;
  *count = n;
  return reinterpret_cast<WideChar**>(args);
}

size_t WideToAnsi(const WideChar* text, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  buffer[0] = '\0';
  if (text == nullptr) return 0;
  const wchar_t* wide = reinterpret_cast<const wchar_t*>(text);
  int room = capacity > 0x7fffffff ? 0x7fffffff : static_cast<int>(capacity - 1);
  // WideCharToMultiByte fails outright when the text does not fit, so convert
  // character by character until the buffer is full; a character that would
  // only partly fit is left out.
  size_t used = 0;
  for (const wchar_t* p = wide; *p != L'\0'; ++p) {
    int units = (p[0] >= 0xD800 && p[0] <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) ? 2 : 1;
    char bytes[8];
    int n = ::WideCharToMultiByte(CP_ACP, 0, p, units, bytes, sizeof bytes, nullptr, nullptr);
    if (n <= 0) break;
    if (used + static_cast<size_t>(n) > static_cast<size_t>(room)) break;
    for (int i = 0; i < n; ++i) buffer[used++] = bytes[i];
    p += units - 1;
  }
  buffer[used] = '\0';
  return used;
}

RegistryRead ReadMachineText(const char* keyPath, const char* valueName, char* buffer,
                             size_t capacity, size_t* length) {
  *length = 0;
  if (capacity == 0) return RegistryRead::TooLarge;
  buffer[0] = '\0';
  HKEY key = nullptr;
  // Installers of 32-bit programs write into the 32-bit view; the 64-bit
  // build must read that view too.
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) !=
      ERROR_SUCCESS)
    return RegistryRead::Missing;
  DWORD type = 0;
  DWORD size = capacity > 0xffffffffu ? 0xffffffffu : static_cast<DWORD>(capacity);
  LONG status = ::RegQueryValueExA(key, valueName, nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer), &size);
  ::RegCloseKey(key);
  if (status == ERROR_MORE_DATA) {
    buffer[0] = '\0';
    return RegistryRead::TooLarge;
  }
  if (status != ERROR_SUCCESS) {
    buffer[0] = '\0';
    return RegistryRead::Missing;
  }
  return TextFromRegistryValue(type, buffer, capacity, size, length);
}

void* AllocateZeroed(size_t size) { return ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

void Release(void* block) {
  if (block != nullptr) ::HeapFree(::GetProcessHeap(), 0, block);
}

void ExitProcess(int status) { ::ExitProcess(static_cast<UINT>(status)); }

const char* ProcessCommandLineA() { return ::GetCommandLineA(); }

int64_t CalendarSeconds() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t;
  t.LowPart = now.dwLowDateTime;
  t.HighPart = now.dwHighDateTime;
  return static_cast<int64_t>(t.QuadPart / 10000000ull);
}

void Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace plat
