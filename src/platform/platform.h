// The thin layer over the Windows calls that Dowtrane makes. The Windows
// build implements it over user32, shell32, advapi32 and kernel32; the native
// test build links an in-memory window system in its place.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace plat {

struct WindowTag;
using Window = WindowTag*;  // a window handle; null is no window
using ThreadId = uint32_t;
using WideChar = char16_t;  // UTF-16 code unit, as the platform's wide texts

// Window-enumeration callback: non-zero goes on, 0 stops the enumeration.
using EnumProc = int (*)(Window window, intptr_t context);

// Message numbers and flags, under their platform names.
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_RESTORE = 9;
inline constexpr int GWL_EXSTYLE = -20;
inline constexpr uint32_t WS_EX_ACCEPTFILES = 0x10;
inline constexpr uint32_t WS_EX_TRANSPARENT = 0x20;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// user32
Window FindWindowA(const char* className, const char* title);
Window FindWindowExA(Window parent, Window after, const char* className, const char* title);
void EnumThreadWindows(ThreadId thread, EnumProc proc, intptr_t context);
void EnumChildWindows(Window parent, EnumProc proc, intptr_t context);
ThreadId GetWindowThreadId(Window window);  // 0 for a null window
// Both copy at most size - 1 characters and a terminating zero; return the
// number of characters copied (0 on failure, with buffer[0] zero).
int GetWindowTextA(Window window, char* buffer, int size);
int GetClassNameA(Window window, char* buffer, int size);
uint32_t GetExtendedStyle(Window window);  // GetWindowLongA(GWL_EXSTYLE)
bool IsWindowVisible(Window window);
Window GetWindowBelow(Window window);  // GetWindow(GW_HWNDNEXT): the window below in Z order
int MessageBoxA(const char* text, const char* caption, unsigned type);  // no owner window

// Calls that hand work to the thread of another program's window. The plain
// Windows calls (plain_calls.h) wait for that thread without any bound; these
// make the plain call on a helper thread while the run's own thread waits
// for it. A call that has not returned after 200 ms is followed by probes,
// WM_NULL through SendMessageTimeoutA(SMTO_ABORTIFHUNG), each 200 ms: a
// thread that answers them still reads its message queue with the call in
// hand (it shows a dialog of its own while it handles the call, say); one
// that does not answer has stopped reading it. The waits are bounded by two
// allowances, each counted over the whole run:
//   patience, 5 s: from a call to the first answered probe, and each probe's
//     own wait (none for a call that returns before any probe);
//   busy time, 30 s: the rest of the wait on calls that were being probed.
// A prompt thread gets the same calls, in the same order, as from the plain
// calls, and no probe.
enum class Reply : int {
  Answered = 0,  // the call returned (a window that is gone counts, as for the plain call)
  NotAnswering,  // the thread did not answer a probe before the patience ran out; or,
                 // with nothing sent, it is hung (IsHungAppWindow: it has not read its
                 // queue for 5 s), the patience is spent, or no helper thread starts
  Busy,          // the thread read its queue, but the call had not returned when the
                 // busy time ran out
};
// Once a call has ended NotAnswering or Busy, every later call (and
// CheckNotHung) returns the same at once and sends nothing: the thread may
// still hold a call of the run, and what followed it would be handled out of
// turn, or never. A call to a null window is Answered with nothing sent.

// SendMessageA; *answer is its result when Answered, otherwise 0.
Reply SendMessageBounded(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                         intptr_t* answer);
// ShowWindow; *wasVisible is its result (the window was visible before) when
// Answered, otherwise false.
Reply ShowWindowBounded(Window window, int command, bool* wasVisible);
// SetWindowLongA(GWL_EXSTYLE), which sends WM_STYLECHANGING and WM_STYLECHANGED.
Reply SetExtendedStyleBounded(Window window, uint32_t exStyle);
// SetForegroundWindow, which does not wait; but not to a hung thread (NotAnswering).
Reply SetForegroundIfAnswering(Window window);
// Sends nothing: NotAnswering, as for a call, when the window's thread is hung.
Reply CheckNotHung(Window window);
// Answered while calls go out; otherwise the reply that stopped them.
Reply CallsReply();

// shell32
void ShellExecuteA(const char* file, const char* parameters, int showCommand);
// The process's wide command line split by the platform's rules; the vector
// lives until the process ends. Returns null (count 0) when it cannot be split.
WideChar** CommandLineArgs(int* count);
// The wide text in the system code page, as wsprintfA's "%ls" gives it, cut
// to capacity - 1 bytes (never inside a double-byte character). Returns the
// length written.
size_t WideToAnsi(const WideChar* text, char* buffer, size_t capacity);

// advapi32: a text value under HKEY_LOCAL_MACHINE, in the registry view that
// 32-bit programs see, whichever build reads it.
enum class RegistryRead { Ok, Missing, WrongType, TooLarge };
// On Ok, buffer holds a zero-terminated text of *length characters (what the
// value holds up to its first zero), and *length < capacity. Otherwise buffer
// holds an empty text. The buffer's unread bytes are never part of the text.
RegistryRead ReadMachineText(const char* keyPath, const char* valueName, char* buffer,
                             size_t capacity, size_t* length);

// kernel32
void* AllocateZeroed(size_t size);  // null when memory runs out
void Release(void* block);          // null is allowed
[[noreturn]] void ExitProcess(int status);
const char* ProcessCommandLineA();  // the process's 8-bit command line
int64_t CalendarSeconds();          // calendar time in whole seconds
void Sleep(uint32_t milliseconds);

}  // namespace plat
