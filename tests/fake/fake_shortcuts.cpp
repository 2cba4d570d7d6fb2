#include "fake_shortcuts.h"

#include <stdlib.h>

#include <map>
#include <set>

#include "fake_windows.h"
#include "platform/utf8.h"
#include "text/utf8_text.h"

namespace fake {
namespace {

struct ShortcutState {
  std::map<plat::KnownFolder, std::string> known;
  std::set<std::string> folders;
  std::map<std::string, FakeShortcut> shortcuts;
  std::set<std::string> plainFiles;
  bool comFails = false;
  bool writesFail = false;
  bool deletesFail = false;
  int comDepth = 0;
  int callsWithoutCom = 0;
  std::set<uint16_t> held;
  std::map<uint16_t, std::string> typed;
};

ShortcutState& T() {
  static ShortcutState* state = new ShortcutState;  // never destroyed: death tests exit mid-run
  return *state;
}

constexpr uint16_t kExtended = plat::HOTKEYF_EXT << 8;

std::string Parent(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

// The platform's calls need COM; one made without it is counted, and fails.
bool NoCom() {
  if (T().comDepth > 0) return false;
  ++T().callsWithoutCom;
  return true;
}

void Copy(const std::string& text, char* buffer, size_t capacity) {
  utf8::Builder b = utf8::Start(buffer, capacity);
  utf8::Append(b, text.c_str());
}

// A text that a wide call reads into kReadUnits + 1 units, in UTF-8.
void CopyRead(const std::string& text, char* buffer, size_t capacity) {
  std::u16string wide = Wide(text);
  if (wide.size() > plat::kReadUnits) wide.resize(plat::kReadUnits);
  plat::WideToUtf8(wide.c_str(), buffer, capacity);
}

}  // namespace

void ResetShortcuts() {
  T() = ShortcutState{};
  SetKnownFolder(plat::KnownFolder::Programs, kUserPrograms);
  SetKnownFolder(plat::KnownFolder::StartMenu, kUserStartMenu);
  SetKnownFolder(plat::KnownFolder::CommonStartMenu, kCommonStartMenu);
  SetKnownFolder(plat::KnownFolder::Desktop, kUserDesktop);
  SetKnownFolder(plat::KnownFolder::PublicDesktop, kPublicDesktop);
}

void SetKnownFolder(plat::KnownFolder folder, const std::string& path) {
  T().known[folder] = path;
  if (!path.empty()) AddFolder(path);
}

std::string KnownFolder(plat::KnownFolder folder) { return T().known[folder]; }

void AddFolder(const std::string& path) {
  for (std::string p = path; !p.empty() && p.find('\\') != std::string::npos; p = Parent(p))
    T().folders.insert(p);
}

bool FolderExists(const std::string& path) { return T().folders.count(path) != 0; }

void AddShortcut(const std::string& path, const FakeShortcut& shortcut) {
  AddFolder(Parent(path));
  T().shortcuts[path] = shortcut;
}

FakeShortcut MakeShortcut(const std::string& target, const std::string& arguments,
                          const std::string& workingFolder, uint16_t hotkey) {
  return FakeShortcut{target, arguments, workingFolder, hotkey};
}

void AddPlainFile(const std::string& path) {
  AddFolder(Parent(path));
  T().plainFiles.insert(path);
}

std::vector<std::string> ShortcutPaths() {
  std::vector<std::string> paths;
  for (const auto& entry : T().shortcuts) paths.push_back(entry.first);
  return paths;
}

bool ReadStoredShortcut(const std::string& path, FakeShortcut* shortcut) {
  auto found = T().shortcuts.find(path);
  if (found == T().shortcuts.end()) return false;
  *shortcut = found->second;
  return true;
}

void FailCom() { T().comFails = true; }
void FailShortcutWrites() { T().writesFail = true; }
void FailDeletes() { T().deletesFail = true; }
int ComDepth() { return T().comDepth; }
int CallsWithoutCom() { return T().callsWithoutCom; }
void HoldKeys(uint16_t hotkey) { T().held.insert(hotkey & ~kExtended); }
void TypeCharacter(uint16_t hotkey, const std::string& character) { T().typed[hotkey] = character; }

}  // namespace fake

namespace plat {

bool BeginShortcuts() {
  if (fake::T().comFails) return false;
  ++fake::T().comDepth;
  return true;
}

void EndShortcuts() { --fake::T().comDepth; }

size_t KnownFolderPath(KnownFolder folder, char* buffer, size_t capacity) {
  buffer[0] = '\0';
  if (capacity < kReadTextSize) abort();  // the caller broke the call's terms
  if (fake::NoCom()) return 0;
  const std::string path = fake::T().known[folder];
  if (fake::Wide(path).size() > kReadUnits) return 0;
  fake::Copy(path, buffer, capacity);
  return path.size();
}

bool ForEachShortcut(const char* folder, const char* skip, Shortcut* shortcut, ShortcutProc proc,
                     intptr_t context) {
  if (fake::NoCom()) return false;
  // The shortcuts as they are now (proc may change them), by their paths'
  // order, which is no order the program may rely on.
  const std::string root = folder;
  std::vector<std::pair<std::string, fake::FakeShortcut>> met;
  for (const auto& entry : fake::T().shortcuts) {
    const std::string& path = entry.first;
    if (path.compare(0, root.size() + 1, root + "\\") != 0) continue;
    if (fake::Wide(path).size() > kReadUnits) continue;
    const size_t nameStart = path.rfind('\\') + 1;
    const std::string name = path.substr(nameStart);
    if (name[0] == '.' || name.size() < 5 ||
        !utf8::EqualsIgnoreCase(name.c_str() + name.size() - 4, ".lnk"))
      continue;
    // Its folders below the root: none passed over.
    bool passed = false;
    for (size_t at = root.size(); (at = path.find('\\', at + 1)) != std::string::npos;) {
      const std::string sub = path.substr(0, at);
      passed = passed || utf8::EqualsIgnoreCase(sub.c_str(), skip) ||
               sub[sub.rfind('\\') + 1] == '.';
    }
    if (!passed) met.emplace_back(path, entry.second);
  }
  for (const auto& entry : met) {
    // As the Windows layer reads them: at most kReadUnits units of each text.
    *shortcut = Shortcut{};
    fake::CopyRead(entry.second.target, shortcut->target, sizeof shortcut->target);
    fake::CopyRead(entry.second.arguments, shortcut->arguments, sizeof shortcut->arguments);
    shortcut->hotkey = entry.second.hotkey;
    if (!proc(entry.first.c_str(), context)) return true;
  }
  return false;
}

bool MakeFolder(const char* path) {
  if (fake::NoCom()) return false;
  if (fake::FolderExists(path)) return true;
  if (!fake::FolderExists(fake::Parent(path))) return false;
  fake::T().folders.insert(path);
  return true;
}

bool DeleteFileUtf8(const char* path) {
  if (fake::NoCom() || fake::T().deletesFail) return false;
  return fake::T().shortcuts.erase(path) + fake::T().plainFiles.erase(path) != 0;
}

bool WriteShortcut(const char* path, const char* arguments, uint16_t hotkey) {
  if (fake::NoCom() || fake::T().writesFail || !fake::FolderExists(fake::Parent(path))) return false;
  // The program's own file, as GetModuleFileNameW gives it, and its folder.
  char program[kReadTextSize];
  if (ProgramPath(program, sizeof program) == 0 || fake::Wide(arguments).size() >= kReadUnits)
    return false;
  fake::T().shortcuts[path] =
      fake::FakeShortcut{program, arguments, fake::Parent(program), hotkey};
  return true;
}

bool HotkeyIsHeld(uint16_t hotkey) { return fake::T().held.count(hotkey & ~fake::kExtended) != 0; }

size_t CharacterOfKeys(uint16_t hotkey, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  buffer[0] = '\0';
  auto found = fake::T().typed.find(hotkey);
  if (found == fake::T().typed.end()) return 0;
  fake::Copy(found->second, buffer, capacity);
  return utf8::Length(buffer);
}

}  // namespace plat
