// The Windows implementation of the platform layer: the only file that sees
// <windows.h>. It makes the wide (W) calls only, and converts every text
// between their UTF-16 and the program's UTF-8 here, on the way in and out
// (platform/utf8.h says why); no text passes through the ANSI code page.
#include "platform/platform.h"
#include "platform/bounded_calls.h"
#include "platform/registry_text.h"
#include "platform/system_errors.h"
#include "platform/utf8.h"
#include "platform/win32/wide_text.h"

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
// first call. The run's thread hands it each call by setting holding and
// waking it; the helper makes the call, clears holding and wakes the run's
// thread. A slim lock and a condition variable, zero-initialised as their
// documentation allows, rather than two events: they need no handles, and
// under Wine a wake through them is no round trip to the wine server, of
// which the events took four a call. One condition variable serves both
// threads: the helper waits on it only while holding is clear, the run's
// thread only while it is set, so the one that a change wakes is the one
// waiting for it.
struct Helper {
  HANDLE thread;
  SRWLOCK lock;               // guards holding
  CONDITION_VARIABLE change;  // holding changed
  bool holding;               // the helper holds a call that has not returned
};
Helper g_helper;

// Under the lock, so that the thread waking up cannot miss it.
void SetHolding(bool holding) {
  ::AcquireSRWLockExclusive(&g_helper.lock);
  g_helper.holding = holding;
  ::WakeConditionVariable(&g_helper.change);
  ::ReleaseSRWLockExclusive(&g_helper.lock);
}

// The run's thread writes g_request only while the helper holds no call.
// The thread never returns: the process's end ends it (End).
DWORD WINAPI HelperThread(LPVOID) {
  for (;;) {
    ::AcquireSRWLockExclusive(&g_helper.lock);
    while (!g_helper.holding)
      ::SleepConditionVariableSRW(&g_helper.change, &g_helper.lock, INFINITE, 0);
    ::ReleaseSRWLockExclusive(&g_helper.lock);
    helper::Run();
    SetHolding(false);
  }
}

// SendMessageTimeoutW with SMTO_ABORTIFHUNG; true when the thread handled
// the message in time.
bool SendWithin(Window window, UINT message, WPARAM wParam, LPARAM lParam, uint32_t milliseconds) {
  DWORD_PTR ignored;
  return ::SendMessageTimeoutW(Native(window), message, wParam, lParam,
                               SMTO_NORMAL | SMTO_ABORTIFHUNG, milliseconds, &ignored) != 0;
}

// The texts handed to the W calls, converted from UTF-8. Only the run's own
// thread converts (the helper thread sends numbers only), and no call needs
// more than two texts at once. In .bss: they take no room in the file.
WCHAR g_wide[2][kBoxTextUnits];

}  // namespace

const WCHAR* Wide(int slot, const char* text) {
  if (text == nullptr) return nullptr;
  Utf8ToWide(text, reinterpret_cast<WideChar*>(g_wide[slot]), kBoxTextUnits);
  return g_wide[slot];
}

size_t Narrow(const WCHAR* wide, char* buffer, size_t capacity) {
  return WideToUtf8(reinterpret_cast<const WideChar*>(wide), buffer, capacity);
}

namespace helper {

bool Begin() {
  if (g_helper.thread == nullptr) {
    g_helper.thread = ::CreateThread(nullptr, 0, HelperThread, nullptr, 0, nullptr);
    if (g_helper.thread == nullptr) return false;
  }
  SetHolding(true);
  return true;
}

// A wake may come early (the documentation allows it), and the timeout may
// end a tick short: the wait goes on until the call has returned or the
// time is up by the clock (its low 32 bits: a difference of them is exact
// across their wrap, and a wait is far shorter).
bool Await(uint32_t milliseconds) {
  const uint32_t start = static_cast<uint32_t>(::GetTickCount64());
  ::AcquireSRWLockExclusive(&g_helper.lock);
  for (uint32_t waited = 0; g_helper.holding && waited < milliseconds;
       waited = static_cast<uint32_t>(::GetTickCount64()) - start)
    ::SleepConditionVariableSRW(&g_helper.change, &g_helper.lock, milliseconds - waited, 0);
  const bool returned = !g_helper.holding;
  ::ReleaseSRWLockExclusive(&g_helper.lock);
  return returned;
}

// The thread is left to the process's end, which follows: ExitProcess ends
// every other thread first, without calling into it. Its documentation
// warns of a thread that holds a lock which a DLL's detach code takes; an
// idle helper holds none (it sleeps on the condition variable, which lets
// go of g_helper.lock, or holds that lock alone), and one still in a call
// was always left so. Asking an idle helper to end and waiting for it cost
// a run a millisecond under Wine. The handle is closed; the thread goes on
// without it.
void End() {
  if (g_helper.thread == nullptr) return;
  ::CloseHandle(g_helper.thread);
  g_helper.thread = nullptr;
}

bool Probe(Window window, uint32_t milliseconds) { return SendWithin(window, WM_NULL, 0, 0, milliseconds); }

bool IsHung(Window window) { return ::IsHungAppWindow(Native(window)) != FALSE; }

}  // namespace helper

// FindWindowW as FindWindowExW gives it (the same search of the top-level
// windows), with one import fewer.
Window FindWindowUtf8(const char* className, const char* title) {
  return FindWindowExUtf8(nullptr, nullptr, className, title);
}

Window FindWindowExUtf8(Window parent, Window after, const char* className, const char* title) {
  return Own(::FindWindowExW(Native(parent), Native(after), Wide(0, className), Wide(1, title)));
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

// GetWindowTextW or GetClassNameW (read) into kReadUnits units, in UTF-8.
size_t ReadText(int (WINAPI* read)(HWND, LPWSTR, int), Window window, char* buffer,
                size_t capacity) {
  if (capacity == 0) return 0;
  WCHAR wide[kReadUnits + 1];
  int n = read(Native(window), wide, kReadUnits + 1);
  if (n < 0 || n > static_cast<int>(kReadUnits)) n = 0;
  wide[n] = 0;
  return Narrow(wide, buffer, capacity);
}

size_t ReadWindowTitle(Window window, char* buffer, size_t capacity) {
  return ReadText(::GetWindowTextW, window, buffer, capacity);
}

size_t ReadClassName(Window window, char* buffer, size_t capacity) {
  return ReadText(::GetClassNameW, window, buffer, capacity);
}

uint32_t GetExtendedStyle(Window window) {
  return static_cast<uint32_t>(::GetWindowLongW(Native(window), GWL_EXSTYLE));
}

void SetExtendedStyle(Window window, uint32_t exStyle) {
  ::SetLastError(0);
  ::SetWindowLongW(Native(window), GWL_EXSTYLE, static_cast<LONG>(exStyle));
}

intptr_t SendMessageW(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  // SendMessageW itself, through a call the program imports already: no
  // time limit, and the same result. A WM_CHAR is one UTF-16 unit; Windows
  // converts it for a window of the ANSI kind.
  DWORD_PTR result = 0;
  ::SetLastError(0);
  ::SendMessageTimeoutW(Native(window), message, wParam, lParam, SMTO_NORMAL, INFINITE, &result);
  return static_cast<intptr_t>(result);
}

bool ShowWindow(Window window, int command) {
  ::SetLastError(0);
  return ::ShowWindow(Native(window), command) != 0;
}

// SendMessage and SetWindowLongPtr document the refusal: the call fails, and
// the last error is ERROR_ACCESS_DENIED.
bool LastCallRefused() { return ::GetLastError() == ERROR_ACCESS_DENIED; }

void AllowForegroundFor(Window window) {
  if (window == nullptr) return;
  DWORD process = 0;
  ::GetWindowThreadProcessId(Native(window), &process);
  if (process != 0) ::AllowSetForegroundWindow(process);
}

bool IsWindowVisible(Window window) { return ::IsWindowVisible(Native(window)) != 0; }

// IsIconic reads the same style bit; one import fewer.
bool IsIconic(Window window) { return (::GetWindowLongW(Native(window), GWL_STYLE) & WS_MINIMIZE) != 0; }

void SetForegroundWindow(Window window) { ::SetForegroundWindow(Native(window)); }

void SendMessageWithin(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                       uint32_t milliseconds) {
  SendWithin(window, message, wParam, lParam, milliseconds);
}

Window GetWindowBelow(Window window) { return Own(::GetWindow(Native(window), GW_HWNDNEXT)); }

int MessageBoxUtf8(const char* text, const char* caption, unsigned type) {
  return ::MessageBoxW(nullptr, Wide(0, text), Wide(1, caption), type);
}

intptr_t ShellExecuteUtf8(const char* file, const char* parameters, int showCommand) {
  return reinterpret_cast<intptr_t>(
      ::ShellExecuteW(nullptr, nullptr, Wide(0, file), Wide(1, parameters), nullptr, showCommand));
}

WideChar** CommandLineArgs(int* count) {
  int n = 0;
  LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &n);
  if (args == nullptr) n = 0;
  *count = n;
  return reinterpret_cast<WideChar**>(args);
}

RegistryQuery QueryRegistryValue(RegistryPlace place, const char* keyPath, const char* valueName,
                                 uint32_t* type, WideChar* wide, size_t* stored) {
  // The current user's Software key is one for both views: no view is named.
  // 32-bit Windows, which has one view, ignores the flags: its 64-bit place
  // is its only one again, and adds nothing.
  HKEY root = HKEY_LOCAL_MACHINE;
  REGSAM view = KEY_WOW64_32KEY;
  if (place == RegistryPlace::CurrentUser) {
    root = HKEY_CURRENT_USER;
    view = 0;
  } else if (place == RegistryPlace::Machine64) {
    view = KEY_WOW64_64KEY;
  }
  HKEY key = nullptr;
  if (::RegOpenKeyExW(root, Wide(0, keyPath), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
    return RegistryQuery::Absent;
  DWORD valueType = 0;
  DWORD size = kRegistryUnits * sizeof(WideChar);
  const LONG status = ::RegQueryValueExW(key, Wide(0, valueName), nullptr, &valueType,
                                         reinterpret_cast<BYTE*>(wide), &size);
  ::RegCloseKey(key);
  if (status == ERROR_MORE_DATA) return RegistryQuery::TooLarge;
  if (status != ERROR_SUCCESS) return RegistryQuery::Absent;
  *type = valueType;
  *stored = size;
  return RegistryQuery::Read;
}

uint32_t ExpandEnvironmentStringsW(const WideChar* text, WideChar* out, uint32_t capacity) {
  return ::ExpandEnvironmentStringsW(reinterpret_cast<const WCHAR*>(text),
                                     reinterpret_cast<WCHAR*>(out), capacity);
}

uint32_t FormatSystemMessage(uint32_t error, WideChar* buffer, uint32_t capacity) {
  return ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                          error, 0, reinterpret_cast<WCHAR*>(buffer), capacity, nullptr);
}

// LocalAlloc takes fixed blocks from the process heap, as HeapAlloc on
// GetProcessHeap() would, with one import fewer.
void* AllocateZeroed(size_t size) { return ::LocalAlloc(LPTR, size); }

void Release(void* block) {
  if (block != nullptr) ::LocalFree(block);
}

void ExitProcess(int status) { ::ExitProcess(static_cast<UINT>(status)); }

size_t ReadProcessCommandLine(char* buffer, size_t capacity) {
  return Narrow(::GetCommandLineW(), buffer, capacity);
}

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

namespace {

// Where a path comes from.
enum class PathOf { Program, WindowsFolder };

// The path in UTF-8, read into kReadUnits + 1 units by its W call, which
// returns the path's length, or 0 on failure, or more than kReadUnits when
// the path did not fit: GetModuleFileNameW returns the buffer's size when it
// cut the path (and, on older systems, left it unterminated),
// GetSystemWindowsDirectoryW the size the path needs, having written nothing.
size_t ReadPath(PathOf of, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  buffer[0] = '\0';
  if (capacity < kReadTextSize) return 0;
  WCHAR wide[kReadUnits + 1];
  const DWORD n = of == PathOf::Program ? ::GetModuleFileNameW(nullptr, wide, kReadUnits + 1)
                                        : ::GetSystemWindowsDirectoryW(wide, kReadUnits + 1);
  if (n == 0 || n > kReadUnits) return 0;
  wide[n] = 0;
  return Narrow(wide, buffer, capacity);
}

}  // namespace

size_t ProgramPath(char* buffer, size_t capacity) {
  return ReadPath(PathOf::Program, buffer, capacity);
}

size_t WindowsFolder(char* buffer, size_t capacity) {
  return ReadPath(PathOf::WindowsFolder, buffer, capacity);
}

bool FileExists(const char* path) {
  const DWORD attributes = ::GetFileAttributesW(Wide(0, path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

uint64_t GetTickCount64() { return ::GetTickCount64(); }

void Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace plat
