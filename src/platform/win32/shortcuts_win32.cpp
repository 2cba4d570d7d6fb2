// The Windows side of /bind and /unbind: the shell's shortcut object
// through COM, the known folders, the folder walk, and the two keyboard
// questions. Kept apart from platform_win32.cpp because nothing else of the
// program uses COM; like it, it makes the wide calls only and converts
// every text here.
#include "platform/platform.h"
#include "platform/utf8.h"

#include <windows.h>
#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

namespace plat {
namespace {

// A path or text handed to a wide call: kReadUnits units and the terminator.
using WidePath = WCHAR[kReadUnits + 1];

const WCHAR* Widen(const char* text, WidePath& wide) {
  Utf8ToWide(text, reinterpret_cast<WideChar*>(wide), kReadUnits + 1);
  return wide;
}

size_t Narrow(const WCHAR* wide, char* buffer, size_t capacity) {
  return WideToUtf8(reinterpret_cast<const WideChar*>(wide), buffer, capacity);
}

// By KnownFolder.
const KNOWNFOLDERID* const kFolderIds[] = {&FOLDERID_Programs, &FOLDERID_StartMenu,
                                           &FOLDERID_CommonStartMenu, &FOLDERID_Desktop,
                                           &FOLDERID_PublicDesktop};

// Loads the shortcut file into the shell's shortcut object and reads it,
// or fills the object in and saves it there.
bool UseShortcut(const char* path, Shortcut* shortcut, bool write) {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
    return false;
  bool done = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
  WidePath wide;
  if (done && write) {
    done = SUCCEEDED(link->SetPath(Widen(shortcut->target, wide))) &&
           SUCCEEDED(link->SetArguments(Widen(shortcut->arguments, wide))) &&
           SUCCEEDED(link->SetWorkingDirectory(Widen(shortcut->workingFolder, wide))) &&
           SUCCEEDED(link->SetHotkey(shortcut->hotkey)) &&
           SUCCEEDED(file->Save(Widen(path, wide), TRUE));
  } else if (done) {
    done = SUCCEEDED(file->Load(Widen(path, wide), STGM_READ));
    // Each text is zero-terminated within the units given, even when cut;
    // a call that fails leaves the text empty.
    wide[0] = 0;
    if (done) link->GetPath(wide, kReadUnits + 1, nullptr, SLGP_RAWPATH);
    Narrow(wide, shortcut->target, sizeof shortcut->target);
    wide[0] = 0;
    if (done) link->GetArguments(wide, kReadUnits + 1);
    Narrow(wide, shortcut->arguments, sizeof shortcut->arguments);
    WORD hotkey = 0;
    if (done) link->GetHotkey(&hotkey);
    shortcut->hotkey = hotkey;
  }
  if (file != nullptr) file->Release();
  link->Release();
  return done;
}

}  // namespace

bool BeginShortcuts() {
  return SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
}

void EndShortcuts() { ::CoUninitialize(); }

size_t KnownFolderPath(KnownFolder folder, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  buffer[0] = '\0';
  if (capacity < kReadTextSize) return 0;
  PWSTR path = nullptr;
  size_t length = 0;
  // The path is allocated even when the call fails; CoTaskMemFree takes null.
  if (SUCCEEDED(::SHGetKnownFolderPath(*kFolderIds[static_cast<int>(folder)], 0, nullptr, &path))) {
    size_t units = 0;
    while (path[units] != 0) ++units;
    if (units <= kReadUnits) length = Narrow(path, buffer, capacity);
  }
  ::CoTaskMemFree(path);
  return length;
}

void ListFolder(const char* folder, FolderEntryProc proc, intptr_t context) {
  // The pattern folder\*, then each entry's path in its place.
  WidePath path;
  const size_t units = Utf8ToWide(folder, reinterpret_cast<WideChar*>(path), kReadUnits + 1);
  if (units + 2 > kReadUnits) return;
  path[units] = L'\\';
  path[units + 1] = L'*';
  path[units + 2] = 0;
  WIN32_FIND_DATAW entry;
  HANDLE find = ::FindFirstFileW(path, &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const WCHAR* name = entry.cFileName;
    if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
    const DWORD attributes = entry.dwFileAttributes;
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) continue;
    size_t end = units + 1;
    for (; *name != 0 && end < kReadUnits; ++name) path[end++] = *name;
    if (*name != 0) continue;  // too long
    path[end] = 0;
    char narrow[kReadTextSize];
    Narrow(path, narrow, sizeof narrow);
    if (proc(narrow, isFolder, context) == 0) break;
  } while (::FindNextFileW(find, &entry));
  ::FindClose(find);
}

bool MakeFolder(const char* path) {
  WidePath wide;
  return ::CreateDirectoryW(Widen(path, wide), nullptr) ||
         ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool DeleteFileUtf8(const char* path) {
  WidePath wide;
  return ::DeleteFileW(Widen(path, wide)) != 0;
}

bool ReadShortcut(const char* path, Shortcut* shortcut) {
  *shortcut = Shortcut{};
  return UseShortcut(path, shortcut, false);
}

bool WriteShortcut(const char* path, const Shortcut& shortcut) {
  // Read from alone when written.
  return UseShortcut(path, const_cast<Shortcut*>(&shortcut), true);
}

namespace {

// The hotkey's modifiers as RegisterHotKey takes them (MOD_*).
UINT Modifiers(uint16_t hotkey) {
  const unsigned flags = hotkey >> 8;
  return ((flags & HOTKEYF_SHIFT) != 0 ? MOD_SHIFT : 0) |
         ((flags & HOTKEYF_CONTROL) != 0 ? MOD_CONTROL : 0) |
         ((flags & HOTKEYF_ALT) != 0 ? MOD_ALT : 0);
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
  if (capacity == 0) return 0;
  buffer[0] = '\0';
  BYTE keys[256] = {};
  const unsigned flags = hotkey >> 8;
  // The high bit marks a key as down.
  if ((flags & HOTKEYF_SHIFT) != 0) keys[VK_SHIFT] = 0x80;
  if ((flags & HOTKEYF_CONTROL) != 0) keys[VK_CONTROL] = 0x80;
  if ((flags & HOTKEYF_ALT) != 0) keys[VK_MENU] = 0x80;
  const UINT key = hotkey & 0xFFu;
  keys[key] = 0x80;
  WCHAR typed[8] = {};
  // ToUnicode reads the thread's layout, which is the user's current one
  // (GetKeyboardLayout(0)). No scan code: the layout translates the virtual
  // key. Flag 4: the call leaves the keyboard state (a dead key) as it was.
  const int n = ::ToUnicode(key, 0, keys, typed, 7, 4);
  if (n <= 0 || typed[0] < 0x20 || typed[0] == 0x7F) return 0;
  typed[n] = 0;
  return Narrow(typed, buffer, capacity);
}

}  // namespace plat
