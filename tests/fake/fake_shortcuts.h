// The shell's shortcuts in memory, behind the shortcut calls of the
// platform layer (platform.h: ole32 and shell32), and the keyboard's two
// answers. It follows what the program depends on: CreateDirectoryW makes
// one folder whose parent must exist; a shortcut is saved only into a
// folder that exists, and loaded only from a file that holds one; a folder
// is walked as the Windows layer walks it (plain files are never loaded as
// shortcuts, so they are passed over whatever their names); the known
// folders exist
// (each under a path of its own) until a test takes one away; every call
// but BeginShortcuts fails while COM is not started.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace fake {

// Part of Reset: the known folders at their usual paths (below), no
// shortcuts, files or held keys, a US keyboard (no character for any
// Ctrl+Alt), COM not started and starting.
void ResetShortcuts();

// The paths of the known folders; "" makes Windows give none.
void SetKnownFolder(plat::KnownFolder folder, const std::string& path);
std::string KnownFolder(plat::KnownFolder folder);
inline constexpr char kUserPrograms[] =
    "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
inline constexpr char kUserStartMenu[] =
    "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";
inline constexpr char kCommonStartMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
inline constexpr char kUserDesktop[] = "C:\\Users\\u\\Desktop";
inline constexpr char kPublicDesktop[] = "C:\\Users\\Public\\Desktop";

// A folder (and the folders above it) that exists.
void AddFolder(const std::string& path);
bool FolderExists(const std::string& path);
// A shortcut file as the fake keeps it (in UTF-8), its folders made as
// needed; written over when it exists.
struct FakeShortcut {
  std::string target, arguments, workingFolder;
  uint16_t hotkey;
};
void AddShortcut(const std::string& path, const FakeShortcut& shortcut);
FakeShortcut MakeShortcut(const std::string& target, const std::string& arguments,
                          const std::string& workingFolder, uint16_t hotkey);
// A file that holds no shortcut (a desktop.ini, a text), its folders made.
void AddPlainFile(const std::string& path);
// The shortcuts, by path, in the order of their paths.
std::vector<std::string> ShortcutPaths();
bool ReadStoredShortcut(const std::string& path, FakeShortcut* shortcut);

// Failures: COM does not start; saving or deleting a shortcut fails.
void FailCom();
void FailShortcutWrites();
void FailDeletes();
// COM started and not yet ended (0 after a run that released it).
int ComDepth();
// Calls of the shortcut layer made while COM was not started.
int CallsWithoutCom();

// A running program holds the keys (HOTKEYF_EXT aside): RegisterHotKey
// fails for them.
void HoldKeys(uint16_t hotkey);
// The current layout types this character (UTF-8) for the keys.
void TypeCharacter(uint16_t hotkey, const std::string& character);

}  // namespace fake
