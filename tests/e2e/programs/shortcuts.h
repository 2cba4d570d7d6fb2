// The driver's side of the hotkeys: the folders of shortcuts as Windows
// names them, shortcuts made for a case, and shortcuts read back with the
// shell's own object (IShellLinkW and IPersistFile), as dowtrane.exe writes
// them. Texts in and out are wide; driver.cpp converts.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdio.h>

#include <string>

namespace shortcuts {

// The folders that the suites name: $PROGRAMS (the user's Start-menu
// programs), $DESKTOP, $COMMONPROGRAMS, $PUBLICDESKTOP.
struct Folder {
  const char* name;
  int csidl;
};
inline constexpr Folder kFolders[] = {
    {"$PROGRAMS", CSIDL_PROGRAMS},
    {"$DESKTOP", CSIDL_DESKTOPDIRECTORY},
    {"$COMMONPROGRAMS", CSIDL_COMMON_PROGRAMS},
    {"$PUBLICDESKTOP", CSIDL_COMMON_DESKTOPDIRECTORY},
};

inline std::wstring FolderPath(int csidl) {
  WCHAR path[MAX_PATH] = L"";
  if (FAILED(SHGetFolderPathW(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                              path)))
    return L"(no folder)";
  return path;
}

// The shell's shortcut object, loaded from the file when path is given.
struct Link {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  ~Link() {
    if (file != nullptr) file->Release();
    if (link != nullptr) link->Release();
  }
  bool Make() {
    return SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, reinterpret_cast<void**>(&link))) &&
           SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
  }
};

// A shortcut to target with the hotkey word, as another program would make it.
inline bool Make(const std::wstring& path, const std::wstring& target, WORD hotkey) {
  Link l;
  return l.Make() && SUCCEEDED(l.link->SetPath(target.c_str())) &&
         SUCCEEDED(l.link->SetHotkey(hotkey)) && SUCCEEDED(l.file->Save(path.c_str(), TRUE));
}

// "<target>|<arguments>|<working folder>|<hotkey word in 4 hex digits>", or
// "none" when there is no such file, or what went wrong.
inline std::wstring Describe(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return L"none";
  Link l;
  if (!l.Make()) return L"(no shortcut object)";
  if (FAILED(l.file->Load(path.c_str(), STGM_READ))) return L"(not a shortcut)";
  WCHAR target[MAX_PATH] = L"", arguments[1024] = L"", folder[MAX_PATH] = L"";
  WORD hotkey = 0;
  l.link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
  l.link->GetArguments(arguments, 1024);
  l.link->GetWorkingDirectory(folder, MAX_PATH);
  l.link->GetHotkey(&hotkey);
  wchar_t word[8];
  swprintf(word, 8, L"%04x", hotkey);
  return std::wstring(target) + L"|" + arguments + L"|" + folder + L"|" + word;
}

// Registers the keys of the hotkey word for the driver's thread, as a
// running program that holds them.
inline bool Hold(int id, WORD hotkey) {
  const UINT flags = hotkey >> 8;
  const UINT modifiers = ((flags & HOTKEYF_SHIFT) != 0 ? MOD_SHIFT : 0) |
                         ((flags & HOTKEYF_CONTROL) != 0 ? MOD_CONTROL : 0) |
                         ((flags & HOTKEYF_ALT) != 0 ? MOD_ALT : 0);
  return RegisterHotKey(nullptr, id, modifiers, hotkey & 0xFF) != 0;
}

// Removes the files of the folder (the bindings a case left).
inline void EmptyFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      DeleteFileW((folder + L"\\" + entry.cFileName).c_str());
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

}  // namespace shortcuts
