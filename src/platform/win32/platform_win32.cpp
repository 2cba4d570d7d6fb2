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

// The helper of the bounded calls: one thread for the run, started with the
// first call, which it makes at once; each later call is handed to it
// through callReady, and callDone tells that the call in hand has returned.
// Both events reset themselves when a wait takes them.
struct Helper {
  HANDLE thread;
  HANDLE callReady;
  HANDLE callDone;
  bool idle;  // its last call has returned: it waits for the next one
};
Helper g_helper;

DWORD WINAPI HelperThread(LPVOID) {
  for (;;) {
    helper::Run();
    ::SetEvent(g_helper.callDone);
    ::WaitForSingleObject(g_helper.callReady, INFINITE);
    if (helper::g_request.message == helper::kEnd) return 0;
  }
}

// SendMessageTimeoutA with SMTO_ABORTIFHUNG; true when the thread handled
// the message in time.
bool SendWithin(Window window, UINT message, WPARAM wParam, LPARAM lParam, uint32_t milliseconds) {
  DWORD_PTR ignored;
  return ::SendMessageTimeoutA(Native(window), message, wParam, lParam,
                               SMTO_NORMAL | SMTO_ABORTIFHUNG, milliseconds, &ignored) != 0;
}

}  // namespace

namespace helper {

bool Begin() {
  g_helper.idle = false;
  if (g_helper.thread != nullptr) return ::SetEvent(g_helper.callReady) != 0;
  g_helper.callReady = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  g_helper.callDone = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (g_helper.callReady == nullptr || g_helper.callDone == nullptr) return false;
  g_helper.thread = ::CreateThread(nullptr, 0, HelperThread, nullptr, 0, nullptr);
  return g_helper.thread != nullptr;
}

bool Await(uint32_t milliseconds) {
  g_helper.idle = ::WaitForSingleObject(g_helper.callDone, milliseconds) == WAIT_OBJECT_0;
  return g_helper.idle;
}

// A helper that still holds a call may yet use its events: they stay open
// until the process ends, as the thread does.
void End() {
  if (g_helper.thread != nullptr) {
    if (!g_helper.idle) return;
    g_request.message = kEnd;
    ::SetEvent(g_helper.callReady);
    // An idle thread ends at once; should it not, the process's end ends it.
    if (::WaitForSingleObject(g_helper.thread, 1000) != WAIT_OBJECT_0) return;
    ::CloseHandle(g_helper.thread);
  }
  // Events made for a thread that could not be started are closed too.
  if (g_helper.callReady != nullptr) ::CloseHandle(g_helper.callReady);
  if (g_helper.callDone != nullptr) ::CloseHandle(g_helper.callDone);
  g_helper = Helper{};
}

bool Probe(Window window, uint32_t milliseconds) { return SendWithin(window, WM_NULL, 0, 0, milliseconds); }

bool IsHung(Window window) { return ::IsHungAppWindow(Native(window)) != FALSE; }

}  // namespace helper

// FindWindowA as FindWindowExA gives it (the same search of the top-level
// windows), with one import fewer.
Window FindWindowA(const char* className, const char* title) {
  return Own(::FindWindowExA(nullptr, nullptr, className, title));
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

int ReadWindowTitle(Window window, char* buffer, int size) {
  if (size <= 0) return 0;
  buffer[0] = '\0';
  int n = ::GetWindowTextA(Native(window), buffer, size);
  if (n < 0 || n >= size) n = 0;
  buffer[n] = '\0';
  return n;
}

int ReadClassName(Window window, char* buffer, int size) {
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
  // SendMessageA itself, through a call the program imports already: no
  // time limit, and the same result.
  DWORD_PTR result = 0;
  ::SendMessageTimeoutA(Native(window), message, wParam, lParam, SMTO_NORMAL, INFINITE, &result);
  return static_cast<intptr_t>(result);
}

bool ShowWindow(Window window, int command) { return ::ShowWindow(Native(window), command) != 0; }

bool IsWindowVisible(Window window) { return ::IsWindowVisible(Native(window)) != 0; }

// IsIconic reads the same style bit; one import fewer.
bool IsIconic(Window window) { return (::GetWindowLongA(Native(window), GWL_STYLE) & WS_MINIMIZE) != 0; }

void SetForegroundWindow(Window window) { ::SetForegroundWindow(Native(window)); }

void SendMessageWithin(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                       uint32_t milliseconds) {
  SendWithin(window, message, wParam, lParam, milliseconds);
}

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

// LocalAlloc takes fixed blocks from the process heap, as HeapAlloc on
// GetProcessHeap() would, with one import fewer.
void* AllocateZeroed(size_t size) { return ::LocalAlloc(LPTR, size); }

void Release(void* block) {
  if (block != nullptr) ::LocalFree(block);
}

void ExitProcess(int status) { ::ExitProcess(static_cast<UINT>(status)); }

const char* ProcessCommandLineA() { return ::GetCommandLineA(); }

bool StandardOutputIsFileOrPipe() {
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
  const DWORD type = ::GetFileType(out);
  return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE;
}

namespace {

bool WriteAll(DWORD which, const char* bytes, size_t count) {
  HANDLE out = ::GetStdHandle(which);
  // WriteFile may write less than asked to a pipe; go on until all is out.
  while (count > 0) {
    const DWORD chunk = count > 0x10000 ? 0x10000 : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!::WriteFile(out, bytes, chunk, &written, nullptr) || written == 0) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

}  // namespace

bool WriteStandardOutput(const char* bytes, size_t count) {
  return WriteAll(STD_OUTPUT_HANDLE, bytes, count);
}

bool WriteStandardError(const char* bytes, size_t count) {
  return WriteAll(STD_ERROR_HANDLE, bytes, count);
}

size_t ProgramPath(char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  buffer[0] = '\0';
  const DWORD size = capacity > 0x7fffffff ? 0x7fffffff : static_cast<DWORD>(capacity);
  const DWORD n = ::GetModuleFileNameA(nullptr, buffer, size);
  // n == size: the path was cut to fit (and, on older systems, not terminated).
  if (n == 0 || n >= size) {
    buffer[0] = '\0';
    return 0;
  }
  buffer[n] = '\0';
  return n;
}

bool FileExists(const char* path) {
  const DWORD attributes = ::GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

size_t FittingPrefix(const char* text, size_t limit) {
  size_t length = 0;
  while (text[length] != '\0') {
    const size_t step =
        ::IsDBCSLeadByte(static_cast<BYTE>(text[length])) && text[length + 1] != '\0' ? 2 : 1;
    if (length + step > limit) break;
    length += step;
  }
  return length;
}

uint64_t GetTickCount64() { return ::GetTickCount64(); }

// A wait on the process itself (the pseudo handle of GetCurrentProcess),
// which ends only when its time is up: Sleep through an import the helper
// threads need anyway.
void Sleep(uint32_t milliseconds) {
  ::WaitForSingleObject(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)), milliseconds);
}

}  // namespace plat
