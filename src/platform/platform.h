// The thin layer over the Windows calls that Dowtrane makes. The Windows
// build implements it over user32, shell32, advapi32, kernel32 and ole32; the native
// test build links an in-memory window system in its place.
//
// Every text crosses this layer in UTF-8 (platform/utf8.h says why): the
// Windows layer makes the wide (W) calls and converts each text on the way,
// and never goes through the system's ANSI code page. A call named after a
// Windows function with "Utf8" in place of its A or W is that function with
// its texts in UTF-8. A text handed to Windows is cut after kBoxTextUnits - 1
// UTF-16 units (only the box of /windows comes near that).
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace plat {

struct WindowTag;
using Window = WindowTag*;  // a window handle; null is no window
using ThreadId = uint32_t;
using WideChar = char16_t;  // UTF-16 code unit, as the platform's wide texts

// Texts read from Windows (titles, class names) are read as at most 399
// UTF-16 units, as with a buffer of 400; in UTF-8 they need up to this many
// bytes with the terminator (three bytes a unit at the most).
inline constexpr size_t kReadUnits = 399;
inline constexpr size_t kReadTextSize = kReadUnits * 3 + 1;
// The longest text a message box shows, in UTF-16 units with the terminator.
inline constexpr size_t kBoxTextUnits = 16384;

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
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// user32. Where a call bears the Windows function's name it does what that
// function does; what a wrapper adds or leaves out is said beside it.
// The first top-level window of the class (and title, unless null); null if none.
Window FindWindowUtf8(const char* className, const char* title);
// The first direct child of parent after after; null if none.
Window FindWindowExUtf8(Window parent, Window after, const char* className, const char* title);
// The enumerations' own results are not returned: nobody reads them.
void EnumThreadWindows(ThreadId thread, EnumProc proc, intptr_t context);
void EnumChildWindows(Window parent, EnumProc proc, intptr_t context);
// GetWindowThreadProcessId without the process id; 0 for a null window.
ThreadId GetWindowThreadId(Window window);
// GetWindowTextW and GetClassNameW into kReadUnits units, in UTF-8: at
// most capacity - 1 bytes (kReadTextSize always holds the whole text), cut
// at a character's start, and a zero. Return the bytes copied, and on any
// failure (a window that is gone, a capacity of 0) 0 with buffer[0] zero.
size_t ReadWindowTitle(Window window, char* buffer, size_t capacity);
size_t ReadClassName(Window window, char* buffer, size_t capacity);
// GetWindowLongW(GWL_EXSTYLE); 0 for a window that is gone.
uint32_t GetExtendedStyle(Window window);
bool IsWindowVisible(Window window);
bool IsIconic(Window window);  // minimized
// GetWindow(GW_HWNDNEXT): the window below in Z order; null at the bottom.
Window GetWindowBelow(Window window);
// MessageBoxW without an owner window: returns the button pressed (IDOK...).
// The box shows at most kBoxTextUnits - 1 units of the text.
int MessageBoxUtf8(const char* text, const char* caption, unsigned type);

// Calls that hand work to the thread of another program's window. The plain
// Windows calls (plain_calls.h) wait for that thread without any bound; these
// make the plain call on a helper thread while the run's own thread waits
// for it in slices: 250 ms for the call to return, then, if it has not,
// 250 ms for a probe (WM_NULL through SendMessageTimeoutW, SMTO_ABORTIFHUNG)
// to be answered. A thread that answers the probe still reads its message
// queue with the call in hand (it shows a dialog of its own while it handles
// the call, say); one that does not has stopped reading it. Two allowances,
// each counted over the whole run, bound the waits:
//   patience, 5 s: the slices whose probe was not answered (no slice starts
//     that could take them past 5 s);
//   busy time, 30 s: the slices whose probe was answered.
// A thread that returns within 250 ms gets the same calls, in the same
// order, as from the plain calls, and no probe.
enum class Reply : int {
  Answered = 0,  // every call so far returned (a window that is gone counts, as for
                 // the plain call)
  NotAnswering,  // a thread left probes unanswered until the patience ran out; or, with
                 // nothing sent, it was hung (IsHungAppWindow: it has not read its queue
                 // for 5 s)
  Busy,          // a thread read its queue, but its call had not returned when the
                 // busy time ran out
  Refused,       // Windows refused a call: the window belongs to a process with higher
                 // rights (User Interface Privilege Isolation); nothing of it was sent
  NoHelper,      // the run's own helper thread could not be started; nothing was sent
};
// CallsReply() after a call tells how it went. Once it is not Answered,
// every later call returns at once with nothing sent (and SendMessageBounded
// 0, ShowWindowBounded false): the thread may still hold a call of the run,
// and what followed it would be handled out of turn, or never. A call to a
// null window sends nothing and returns 0 or false.
Reply CallsReply();
intptr_t SendMessageBounded(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam);
bool ShowWindowBounded(Window window, int command);  // true when the window was visible before
void SetExtendedStyleBounded(Window window, uint32_t exStyle);  // SetWindowLongW(GWL_EXSTYLE)
// Sends nothing. When the window's thread is hung (IsHungAppWindow), stops
// every later call (NotAnswering), as a call that found it hung would.
// Returns CallsReply(). For the client's windows only.
Reply StopCallsIfHung(Window window);
// AllowSetForegroundWindow with the process id of the window: lets that
// process bring a window of its own forward, which Windows allows a process
// only in some cases (the run, started from a hotkey, may; the client, asked
// by the run, may not by itself). Nothing for a null window.
void AllowForegroundFor(Window window);
// SetForegroundWindow does not wait. For a window of the client: not made
// once the calls have stopped, and when its thread is hung the calls stop
// (StopCallsIfHung) instead.
void SetForegroundIfAnswering(Window window);
// The calls to a window of another program (the window below the contact
// list, the player's): made while the calls go on, and whatever that
// program's thread does they never change CallsReply(). SetForegroundWindow
// as it is; the message through SendMessageTimeoutW (SMTO_ABORTIFHUNG) on
// the run's own thread, which waits at most 5 s for it, and not at all for
// a thread that is hung; its result is not returned.
void SetOtherProgramForeground(Window window);
void SendToOtherProgram(Window window, uint32_t message, uintptr_t wParam, intptr_t lParam);
// Closes the handle of the bounded calls' helper thread; the thread, idle
// or still in a call (the calls have stopped), is ended by the end of the
// process, which follows. The run's last call of this layer.
void EndCalls();

// shell32
// ShellExecuteW with no owner window, no verb and no directory (the current
// one applies). Returns its result as a number: above 32 when the shell
// started the file, otherwise one of the error values it documents.
intptr_t ShellExecuteUtf8(const char* file, const char* parameters, int showCommand);
// The system error code of a failed ShellExecuteW, for SystemErrorText: the
// one ShellExecuteExW reports (GetLastError) for the same failure. Its
// results 2, 3, 5, 8 and 11 are system error codes already; 0 (out of
// memory or resources) and the SE_ERR_ values of 26 to 32 become the codes
// of the same meaning; any other result of 32 or below is passed on as it
// is. 0 for a result above 32, which is no failure.
uint32_t ShellExecuteError(intptr_t result);
// The process's wide command line split by the platform's rules; the vector
// lives until the process ends. Returns null (count 0) when it cannot be split.
WideChar** CommandLineArgs(int* count);
// WideToUtf8 (platform/utf8.h) converts an element for the program.

// ole32 and shell32: the shell's shortcuts (.lnk files), for /bind and
// /unbind only (shortcuts_win32.cpp). Their paths and texts are read as at
// most kReadUnits UTF-16 units, as the other texts; a longer one is not had.
//
// A shortcut's hotkey as IShellLinkW keeps it: the virtual key in the low
// byte, these flags in the high byte; 0 is none.
inline constexpr uint8_t HOTKEYF_SHIFT = 0x01;
inline constexpr uint8_t HOTKEYF_CONTROL = 0x02;
inline constexpr uint8_t HOTKEYF_ALT = 0x04;
inline constexpr uint8_t HOTKEYF_EXT = 0x08;  // an extended key (the gray Home, the arrows...)
// Loads ole32 (LoadLibraryW: imported, it would be loaded at every start
// of the program) and calls CoInitializeEx for an apartment of the run's
// thread, which the shell's shortcut object needs; false when COM cannot
// start, and then EndShortcuts is not called. The shortcut calls below need
// it.
bool BeginShortcuts();
void EndShortcuts();  // CoUninitialize, and ole32 freed
// The folders Windows reads shortcut hotkeys from (the shell's known
// folders, through SHGetFolderPathW), and the user's Start-menu programs,
// where the bindings go.
enum class KnownFolder : uint8_t { Programs, StartMenu, CommonStartMenu, Desktop, PublicDesktop };
// The folder's path in UTF-8, without a trailing backslash, into capacity
// (at least kReadTextSize) bytes; 0 (with buffer[0] zero) when Windows has
// none.
size_t KnownFolderPath(KnownFolder folder, char* buffer, size_t capacity);
// CreateDirectoryW; true also when the folder was there already.
bool MakeFolder(const char* path);
bool DeleteFileUtf8(const char* path);  // DeleteFileW
// What Dowtrane reads of a shortcut, through IShellLinkW and IPersistFile:
// its target (as written, not resolved), its arguments and its hotkey.
struct Shortcut {
  char target[kReadTextSize];
  char arguments[kReadTextSize];
  uint16_t hotkey;
};
// Writes a new shortcut file (or over one of that name) to the program's
// own file (GetModuleFileNameW), with that file's folder as the working
// folder, the arguments and the hotkey; false on failure, also when the
// program's path cannot be had (as ProgramPath says) or the arguments take
// kReadUnits units or more (they would not read back whole).
bool WriteShortcut(const char* path, const char* arguments, uint16_t hotkey);
// The folder walk (FindFirstFileW): loads each file of the folder and of its
// subfolders whose name ends in ".lnk" (in any case) as a shortcut into
// *shortcut and calls proc with its path (UTF-8), in no set order;
// a file that does not load is passed over. Passed over too: the subfolder
// skip (compared as lstrcmpiW compares, in any case),
// subfolders that are reparse points (a junction may lead back up), and
// entries whose name begins with '.' ("." and ".." among them) or whose
// path would take more than kReadUnits units (which bounds the depth).
// proc returns false to stop the walk; true when it was stopped so.
using ShortcutProc = bool (*)(const char* path, intptr_t context);
bool ForEachShortcut(const char* folder, const char* skip, Shortcut* shortcut, ShortcutProc proc,
                     intptr_t context);

// user32, for /bind: the keys of a shortcut hotkey word.
// True when RegisterHotKey for the keys fails (a running program holds
// them); a registration that succeeds is released at once.
bool HotkeyIsHeld(uint16_t hotkey);
// The character (UTF-8) that the user's current keyboard layout (the
// thread's, GetKeyboardLayout(0)) types for the key with the hotkey's
// modifiers (ToUnicode), cut to capacity - 1 bytes; 0 (buffer empty) when it types
// none, or only a control character.
size_t CharacterOfKeys(uint16_t hotkey, char* buffer, size_t capacity);

// advapi32 and kernel32: a text value of an installer's key, read through
// RegQueryValueExW from the first place that holds it, in this order, the
// same for both builds (registry_text.h):
//   HKEY_CURRENT_USER (a per-user install),
//   HKEY_LOCAL_MACHINE in its 32-bit view (a 32-bit installer),
//   HKEY_LOCAL_MACHINE in its 64-bit view (a 64-bit installer).
// A place decides once it holds the value, whatever its type and size: a
// value there that is no text or too long is WrongType or TooLarge, and the
// places after it are not read. An unusable value is the record of that
// install all the same (left by an installer that failed, say); the record
// of another install, read in its stead, would start another copy of the
// program than the one installed last, or one that is gone.
enum class RegistryRead { Ok, Missing, WrongType, TooLarge };
// The value is read into kRegistryUnits UTF-16 units, so that a text of 399
// characters of any kind fits with its terminator; its UTF-8 takes up to
// kRegistryTextSize bytes, the least capacity that a caller may give (a
// smaller one is TooLarge).
inline constexpr size_t kRegistryUnits = 2 * 399 + 1;
inline constexpr size_t kRegistryTextSize = (kRegistryUnits - 1) * 3 + 1;
// A REG_SZ value is the text as stored; a REG_EXPAND_SZ value is the text
// with its variables expanded (ExpandEnvironmentStringsW), and TooLarge when
// the expansion does not fit in kRegistryUnits units with its terminator.
// On Ok, buffer holds the text in UTF-8, zero-terminated, *length bytes
// (what the value holds up to its first zero, or its expansion). Otherwise
// buffer holds an empty text. The buffer's unread bytes are never part of
// the text.
RegistryRead ReadUserOrMachineText(const char* keyPath, const char* valueName, char* buffer,
                                   size_t capacity, size_t* length);

// kernel32
// FormatMessageW of a system error code, as the system words it for the
// user (FORMAT_MESSAGE_FROM_SYSTEM, no inserts, language 0), read into
// kSystemTextUnits units, in UTF-8 without the line end (or blanks) that
// closes it: at most capacity - 1 bytes, cut at a character's start
// (kSystemTextSize always holds it whole). Returns the bytes copied; 0,
// with buffer[0] zero, when the system has no text for the code, or one
// longer than kSystemTextUnits - 1 units, or capacity is 0.
inline constexpr size_t kSystemTextUnits = 256;
inline constexpr size_t kSystemTextSize = (kSystemTextUnits - 1) * 3 + 1;
size_t SystemErrorText(uint32_t error, char* buffer, size_t capacity);
// True when the process's standard output is a file or a pipe (it was
// redirected); false for a console, or when there is none.
bool StandardOutputIsFileOrPipe();
// Write the bytes to standard output, or standard error, as they are; false
// when not all of them could be written.
bool WriteStandardOutput(const char* bytes, size_t count);
bool WriteStandardError(const char* bytes, size_t count);
// The full path of the program's own file (GetModuleFileNameW), in UTF-8.
// Returns its length in bytes, or 0 (with buffer[0] zero) when it cannot be
// read, is longer than kReadUnits units, or capacity is below kReadTextSize.
size_t ProgramPath(char* buffer, size_t capacity);
// The system's shared Windows folder (GetSystemWindowsDirectoryW), in UTF-8,
// with no backslash at its end unless it is a drive's root. Not
// GetWindowsDirectoryW: under Terminal Services that gives a program not
// marked as aware of them, as this one, a private folder of the user's.
// Returns its length in bytes, or 0 (with buffer[0] zero) when it cannot be
// read, is longer than kReadUnits units, or capacity is below kReadTextSize.
size_t WindowsFolder(char* buffer, size_t capacity);
// True when path (relative to the current directory, or full) names a file
// that exists; false for a folder or nothing.
bool FileExists(const char* path);
void* AllocateZeroed(size_t size);  // null when memory runs out
void Release(void* block);          // null is allowed
[[noreturn]] void ExitProcess(int status);
// GetCommandLineW in UTF-8, cut to capacity - 1 bytes at a character's start;
// returns the bytes written. A command line holds at most kCommandLineUnits
// units, so kCommandLineSize bytes always hold it whole.
inline constexpr size_t kCommandLineUnits = 32767;
inline constexpr size_t kCommandLineSize = kCommandLineUnits * 3 + 1;
size_t ReadProcessCommandLine(char* buffer, size_t capacity);
// Milliseconds since the system started: setting the system's time, by
// hand or by synchronisation, does not move it.
uint64_t GetTickCount64();
void Sleep(uint32_t milliseconds);

}  // namespace plat
