// The Windows side of /bind and /unbind: the shell's shortcut object
// through COM, the known folders, the folder walk, and the two keyboard
// questions. Kept apart from platform_win32.cpp because nothing else of the
// program uses COM; like it, it makes the wide calls only, with the
// conversions the two share (wide_text.h).
#include "platform/platform.h"
#include "platform/utf8.h"
#include "platform/win32/wide_text.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace plat {
namespace {

// A path or text read from or handed to the shortcut object: kReadUnits
// units and the terminator.
using WidePath = WCHAR[kReadUnits + 1];

// COM's calls, from ole32.dll loaded by BeginShortcuts: imported, the DLL
// and those it needs would be loaded at every start of the program, for
// every command.
struct Com {
  HMODULE module;
  decltype(&::CoInitializeEx) initialize;
  decltype(&::CoUninitialize) uninitialize;
  decltype(&::CoCreateInstance) createInstance;
};
Com g_com;

// GetProcAddress, its result counted on to be of the call named.
void* Find(const char* name) { return reinterpret_cast<void*>(::GetProcAddress(g_com.module, name)); }

// Loads the shortcut file into the shell's shortcut object and reads it
// into *shortcut; or, with no shortcut, fills the object in (the program's
// own file, its folder, the arguments and the hotkey) and saves it there.
bool UseShortcut(const WCHAR* path, Shortcut* shortcut, const char* arguments, uint16_t hotkey) {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(g_com.createInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
    return false;
  bool done = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
  WidePath wide;
  if (done && shortcut == nullptr) {
    // n == the size: the path was cut to fit.
    DWORD n = ::GetModuleFileNameW(nullptr, wide, kReadUnits + 1);
    done = n != 0 && n <= kReadUnits && SUCCEEDED(link->SetPath(wide));
    while (n > 0 && wide[--n] != L'\\') {
    }
    wide[n] = 0;
    done = done && SUCCEEDED(link->SetWorkingDirectory(wide)) &&
           Utf8ToWide(arguments, reinterpret_cast<WideChar*>(wide), kReadUnits + 1) < kReadUnits &&
           SUCCEEDED(link->SetArguments(wide)) &&
           SUCCEEDED(link->SetHotkey(hotkey)) && SUCCEEDED(file->Save(path, TRUE));
  } else if (done && SUCCEEDED(file->Load(path, STGM_READ))) {
    // Each text is zero-terminated within the units given, even when cut.
    wide[0] = 0;
    link->GetPath(wide, kReadUnits + 1, nullptr, SLGP_RAWPATH);
    Narrow(wide, shortcut->target, sizeof shortcut->target);
    wide[0] = 0;
    link->GetArguments(wide, kReadUnits + 1);
    Narrow(wide, shortcut->arguments, sizeof shortcut->arguments);
    shortcut->hotkey = 0;
    link->GetHotkey(&shortcut->hotkey);
  } else {
    done = false;
  }
  if (file != nullptr) file->Release();
  link->Release();
  return done;
}

// The walk under way: the path it is at, the folder it passes over.
struct Walk {
  WCHAR path[kReadUnits + 1];
  WCHAR skip[kReadUnits + 1];
  Shortcut* shortcut;
  ShortcutProc proc;
  intptr_t context;
  bool stopped;
};
Walk g_walk;

// The folder in g_walk.path[0, units).
void WalkFolder(size_t units) {
  WCHAR* path = g_walk.path;
  if (units + 2 > kReadUnits) return;
  path[units] = L'\\';
  path[units + 1] = L'*';
  path[units + 2] = 0;
  WIN32_FIND_DATAW entry;
  HANDLE find = ::FindFirstFileW(path, &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const WCHAR* name = entry.cFileName;
    if (name[0] == L'.') continue;
    size_t end = units + 1;
    for (; *name != 0 && end < kReadUnits; ++name) path[end++] = *name;
    if (*name != 0) continue;  // too long
    path[end] = 0;
    const DWORD attributes = entry.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && ::lstrcmpiW(path, g_walk.skip) != 0)
        WalkFolder(end);
      continue;
    }
    // ".lnk", the letters in either case.
    if (end < units + 6 || ::lstrcmpiW(path + end - 4, L".lnk") != 0 ||
        !UseShortcut(path, g_walk.shortcut, nullptr, 0))
      continue;
    char narrow[kReadTextSize];
    Narrow(path, narrow, sizeof narrow);
    g_walk.stopped = !g_walk.proc(narrow, g_walk.context);
  } while (!g_walk.stopped && ::FindNextFileW(find, &entry));
  ::FindClose(find);
}

}  // namespace

bool BeginShortcuts() {
  // A DLL of the system's KnownDLLs: it is taken from the system's folder.
  g_com.module = ::LoadLibraryW(L"ole32.dll");
  if (g_com.module == nullptr) return false;
  g_com.initialize = reinterpret_cast<decltype(g_com.initialize)>(Find("CoInitializeEx"));
  g_com.uninitialize = reinterpret_cast<decltype(g_com.uninitialize)>(Find("CoUninitialize"));
  g_com.createInstance =
      reinterpret_cast<decltype(g_com.createInstance)>(Find("CoCreateInstance"));
  // Every ole32 has the three; a missing one is a broken system.
  if (g_com.createInstance != nullptr &&
      SUCCEEDED(g_com.initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
    return true;
  ::FreeLibrary(g_com.module);
  return false;
}

void EndShortcuts() {
  g_com.uninitialize();
  ::FreeLibrary(g_com.module);
}

size_t KnownFolderPath(KnownFolder folder, char* buffer, size_t capacity) {
  buffer[0] = '\0';
  // SHGetFolderPathW: the same folders as SHGetKnownFolderPath (which it
  // calls), into a buffer of the run's own: no block to free, and no ids of
  // 16 bytes each in the program.
  static const unsigned char kFolderIds[] = {CSIDL_PROGRAMS, CSIDL_STARTMENU,
                                             CSIDL_COMMON_STARTMENU, CSIDL_DESKTOPDIRECTORY,
                                             CSIDL_COMMON_DESKTOPDIRECTORY};
  WCHAR path[MAX_PATH];
  if (FAILED(::SHGetFolderPathW(nullptr, kFolderIds[static_cast<int>(folder)], nullptr,
                                SHGFP_TYPE_CURRENT, path)))
    return 0;
  return Narrow(path, buffer, capacity);
}

bool ForEachShortcut(const char* folder, const char* skip, Shortcut* shortcut, ShortcutProc proc,
                     intptr_t context) {
  Utf8ToWide(skip, reinterpret_cast<WideChar*>(g_walk.skip), kReadUnits + 1);
  g_walk.shortcut = shortcut;
  g_walk.proc = proc;
  g_walk.context = context;
  g_walk.stopped = false;
  WalkFolder(Utf8ToWide(folder, reinterpret_cast<WideChar*>(g_walk.path), kReadUnits + 1));
  return g_walk.stopped;
}

bool MakeFolder(const char* path) {
  return ::CreateDirectoryW(Wide(0, path), nullptr) ||
         ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool DeleteFileUtf8(const char* path) {
  return ::DeleteFileW(Wide(0, path)) != 0;
}

bool WriteShortcut(const char* path, const char* arguments, uint16_t hotkey) {
  return UseShortcut(Wide(0, path), nullptr, arguments, hotkey);
}

namespace {

// The hotkey's modifiers as RegisterHotKey takes them (MOD_*).
// HOTKEYF_SHIFT and HOTKEYF_ALT trade places; HOTKEYF_CONTROL is MOD_CONTROL.
static_assert(HOTKEYF_SHIFT == MOD_ALT && HOTKEYF_CONTROL == MOD_CONTROL &&
                  HOTKEYF_ALT == MOD_SHIFT,
              "the flags of the two kinds");
UINT Modifiers(uint16_t hotkey) {
  const unsigned flags = hotkey >> 8;
  return (flags & MOD_CONTROL) | (flags >> 2 & 1) | (flags << 2 & 4);
}

// Any number: the registration is the thread's own and lives a moment.
constexpr int kTrialHotkeyId = 1;

}  // namespace

bool HotkeyIsHeld(uint16_t hotkey) {
  if (!::RegisterHotKey(nullptr, kTrialHotkeyId, Modifiers(hotkey), hotkey & 0xFFu)) return true;
  ::UnregisterHotKey(nullptr, kTrialHotkeyId);
  return false;
}

size_t CharacterOfKeys(uint16_t hotkey, char* buffer, size_t capacity) {
  // The modifiers down (the high bit), and the key; the rest up.
  static BYTE keys[256];
  const unsigned flags = hotkey >> 8;
  keys[VK_SHIFT] = (flags & HOTKEYF_SHIFT) != 0 ? 0x80 : 0;
  keys[VK_CONTROL] = (flags & HOTKEYF_CONTROL) != 0 ? 0x80 : 0;
  keys[VK_MENU] = (flags & HOTKEYF_ALT) != 0 ? 0x80 : 0;
  const UINT key = hotkey & 0xFFu;
  keys[key] = 0x80;
  WCHAR typed[8] = {};
  // ToUnicode reads the thread's layout, which is the user's current one
  // (GetKeyboardLayout(0)). No scan code: the layout translates the virtual
  // key. Flag 4: the call leaves the keyboard state (a dead key) as it was.
  const int n = ::ToUnicode(key, 0, keys, typed, 7, 4);
  keys[key] = 0;
  if (n <= 0 || typed[0] < 0x20 || typed[0] == 0x7F) typed[0] = 0;
  return Narrow(typed, buffer, capacity);
}

}  // namespace plat
