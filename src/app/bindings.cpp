// /bind and /unbind. Written for size: the texts and paths of the run live
// in buffers of their own in .bss, and what is said is built in one.
#include "app/bindings.h"

#include "app/dispatcher.h"
#include "app/keys.h"
#include "app/messages.h"
#include "platform/platform.h"
#include "text/utf8_text.h"

namespace app {
namespace {

constexpr size_t kPathSize = plat::kReadTextSize;
// Subfolders deeper than this under a folder of shortcuts are passed over.
constexpr int kFolderDepth = 16;
// The folders whose shortcuts' hotkeys Windows runs, subfolders included.
constexpr plat::KnownFolder kHotkeyFolders[] = {
    plat::KnownFolder::StartMenu, plat::KnownFolder::CommonStartMenu,
    plat::KnownFolder::Desktop, plat::KnownFolder::PublicDesktop};
// Characters that a file name cannot hold become this one.
constexpr char kNameStandIn = '_';
constexpr char kNotInNames[] = "\\/:*?\"<>|";

// The longest keys written ("Ctrl+Alt+Shift+Delete") with room to spare.
constexpr size_t kKeysSize = 24;
static_assert(kKeysSize + sizeof hotkeys::kBetween + kListedTitle * 4 + sizeof listing::kCut +
                      sizeof hotkeys::kProgramGone <=
                  kListingLineSize,
              "a line of the list fits");

// What the run says, built piece by piece.
char g_text[utf8::kBufferSize];
utf8::Builder g_say;
// The bindings' folder, the path a walk is at, the shortcut read last, and
// the shortcut a walk looked for: its path and arguments.
char g_ownFolder[kPathSize];
char g_walkPath[kPathSize];
plat::Shortcut g_shortcut;
char g_foundPath[kPathSize];
char g_foundCommand[kPathSize];
// /bind's own: the binding replaced (its path and command, kept from the
// walks that follow), and the new shortcut's name and path.
char g_oldPath[kPathSize];
char g_oldCommand[kPathSize];
char g_name[kPathSize];
char g_path[kPathSize];

void Put(const char* text) { utf8::Append(g_say, text); }
void PutKeys(uint16_t hotkey) { WriteKeys(g_say, hotkey); }

// The text, cut after kListedTitle characters and then followed by "...".
void PutCut(utf8::Builder& b, const char* text) {
  const size_t bytes = utf8::CharacterPrefix(text, kListedTitle);
  for (size_t i = 0; i < bytes; ++i) utf8::AppendChar(b, text[i]);
  if (text[bytes] != '\0') utf8::Append(b, listing::kCut);
}

void StartText(uint16_t hotkey, const char* text) {
  g_say = utf8::Start(g_text, sizeof g_text, utf8::kTextCharacters);
  if (hotkey != 0) PutKeys(hotkey);
  Put(text);
}

int Refused() { return TellError(g_text, kStatusNotBound); }

int Refuse(const char* text) {
  StartText(0, text);
  return Refused();
}

// "<text><what>", refused.
int RefuseWith(const char* text, const char* what) {
  StartText(0, text);
  Put(what);
  return Refused();
}

// Says what was done: in a box, or, when the standard output is a file or
// a pipe, there (what was done is done: a failed write loses the text
// alone).
int Said(unsigned icon) {
  if (plat::StandardOutputIsFileOrPipe())
    WriteText(g_text, false);
  else
    plat::MessageBoxUtf8(g_text, hotkeys::kCaption, icon);
  return kStatusDone;
}

// Appends '\\' and the name to the path; false (the path as it was) when
// the whole would be too long.
bool AppendName(char* path, const char* name) {
  const size_t length = utf8::Length(path);
  utf8::Builder b = {path, kPathSize, length, utf8::Characters(path), utf8::kTextCharacters, false};
  utf8::AppendChar(b, '\\');
  utf8::Append(b, name);
  if (b.cut) path[length] = '\0';
  return !b.cut;
}

void Copy(char* out, const char* text) {
  utf8::Builder b = utf8::Start(out, kPathSize);
  utf8::Append(b, text);
}

// ------------------------------------------------------------ walking folders

struct Binding {
  Binding* next;
  uint16_t order;  // the hotkey word's key, then its modifiers
  char line[kListingLineSize];
};

// A walk either looks for a shortcut with the keys (into g_foundPath and
// g_foundCommand; it stops there) or collects every binding, in order.
struct Walk {
  uint16_t hotkey;  // 0: collect
  bool deep;        // into subfolders, but never into the bindings' own
  bool stopped;     // found, or out of memory
  int depth;
  Binding* first;
};

// A line of the list: "<keys>  <command>[  (its dowtrane.exe is gone)]".
bool Collect(Walk* walk) {
  if (g_shortcut.hotkey == 0) return false;
  Binding* binding = static_cast<Binding*>(plat::AllocateZeroed(sizeof(Binding)));
  if (binding == nullptr) return true;
  const uint16_t hotkey = g_shortcut.hotkey;
  binding->order = static_cast<uint16_t>(hotkey << 8 | hotkey >> 8);
  utf8::Builder b = utf8::Start(binding->line, sizeof binding->line);
  WriteKeys(b, hotkey);
  utf8::Append(b, hotkeys::kBetween);
  PutCut(b, g_shortcut.arguments);
  if (!plat::FileExists(g_shortcut.target)) utf8::Append(b, hotkeys::kProgramGone);
  Binding** at = &walk->first;
  while (*at != nullptr && (*at)->order <= binding->order) at = &(*at)->next;
  binding->next = *at;
  *at = binding;
  return false;
}

int WalkEntry(const char* name, bool isFolder, intptr_t context) {
  Walk* walk = reinterpret_cast<Walk*>(context);
  const size_t length = utf8::Length(g_walkPath);
  if (!AppendName(g_walkPath, name)) return 1;  // too long to be had: passed over
  const size_t nameLength = utf8::Length(name);
  constexpr size_t kEnding = sizeof hotkeys::kShortcutEnding - 1;
  if (isFolder) {
    if (walk->deep && walk->depth < kFolderDepth &&
        !utf8::EqualsIgnoreCase(g_walkPath, g_ownFolder)) {
      ++walk->depth;
      plat::ListFolder(g_walkPath, WalkEntry, context);
      --walk->depth;
    }
  } else if (nameLength > kEnding &&
             utf8::EqualsIgnoreCase(name + nameLength - kEnding, hotkeys::kShortcutEnding) &&
             plat::ReadShortcut(g_walkPath, &g_shortcut)) {
    if (walk->hotkey == 0) {
      walk->stopped = Collect(walk);
    } else if (g_shortcut.hotkey != 0 && SameKeys(g_shortcut.hotkey, walk->hotkey)) {
      Copy(g_foundPath, g_walkPath);
      Copy(g_foundCommand, g_shortcut.arguments);
      walk->stopped = true;
    }
  }
  g_walkPath[length] = '\0';
  return walk->stopped ? 0 : 1;
}

// True when the walk stopped: the shortcut was found, or memory ran out.
bool WalkFolder(const char* folder, Walk& walk) {
  Copy(g_walkPath, folder);
  plat::ListFolder(g_walkPath, WalkEntry, reinterpret_cast<intptr_t>(&walk));
  return walk.stopped;
}

// The program's own binding of the keys, in g_foundPath and g_foundCommand.
bool FindOwnBinding(uint16_t hotkey) {
  Walk walk = {hotkey, false, false, 0, nullptr};
  return WalkFolder(g_ownFolder, walk);
}

// ------------------------------------------------------------ /bind KEYS COMMAND

// With COM started and the bindings' folder found.
int MakeBinding(uint16_t hotkey, const char* command) {
  plat::Shortcut& s = g_shortcut;
  const bool replacing = FindOwnBinding(hotkey);
  Copy(g_oldPath, g_foundPath);
  Copy(g_oldCommand, g_foundCommand);
  for (plat::KnownFolder folder : kHotkeyFolders) {
    char path[kPathSize];
    Walk walk = {hotkey, true, false, 0, nullptr};
    if (plat::KnownFolderPath(folder, path, sizeof path) != 0 && WalkFolder(path, walk)) {
      StartText(hotkey, hotkeys::kTaken);
      utf8::AppendReserving(g_say, g_foundPath, hotkeys::kNothingWritten);
      Put(hotkeys::kNothingWritten);
      return Refused();
    }
  }
  // The shell itself may hold the keys of the binding replaced.
  if (!replacing && plat::HotkeyIsHeld(hotkey)) {
    StartText(hotkey, hotkeys::kHeld);
    Put(hotkeys::kNothingWritten);
    return Refused();
  }

  // The program's path, and its folder as the working folder.
  s = plat::Shortcut{};
  const size_t length = plat::ProgramPath(s.target, sizeof s.target);
  size_t folderEnd = 0;  // at the last backslash
  for (size_t i = 0; i < length; ++i)
    if (s.target[i] == '\\') folderEnd = i;
  if (folderEnd == 0) return Refuse(hotkeys::kUnavailable);
  Copy(s.workingFolder, s.target);
  s.workingFolder[folderEnd] = '\0';
  Copy(s.arguments, command);
  s.hotkey = hotkey;
  // "<keys> <command>.lnk", the command cut and every character a file
  // name cannot hold replaced.
  char* name = g_name;
  utf8::Builder n = utf8::Start(name, kPathSize);
  WriteKeys(n, hotkey);
  utf8::AppendChar(n, ' ');
  const size_t start = n.length;
  PutCut(n, command);
  utf8::Append(n, hotkeys::kShortcutEnding);
  for (char* p = name + start; *p != '\0'; ++p)
    for (const char* q = kNotInNames; *q != '\0'; ++q)
      if (*p == *q || static_cast<unsigned char>(*p) < 0x20) *p = kNameStandIn;
  char* path = g_path;
  Copy(path, g_ownFolder);
  if (!plat::MakeFolder(g_ownFolder) || !AppendName(path, name) || !plat::WriteShortcut(path, s))
    return RefuseWith(hotkeys::kCannotWrite, path);
  // Written first, so that a failure leaves the old binding in place; one
  // of the same name was written over.
  if (replacing && !utf8::EqualsIgnoreCase(g_oldPath, path) && !plat::DeleteFileUtf8(g_oldPath))
    return RefuseWith(hotkeys::kCannotRemove, g_oldPath);

  StartText(hotkey, hotkeys::kNowRuns);
  PutCut(g_say, command);
  if (replacing) {
    Put(hotkeys::kRanBefore);
    PutCut(g_say, g_oldCommand);
  }
  // Ctrl+Alt is AltGr on many layouts: the hotkey takes its character away.
  char typed[16];
  constexpr unsigned kAltGr = plat::HOTKEYF_CONTROL | plat::HOTKEYF_ALT;
  const bool altGr = ((hotkey >> 8) & kAltGr) == kAltGr &&
                     plat::CharacterOfKeys(hotkey, typed, sizeof typed) != 0;
  if (altGr) {
    Put(hotkeys::kAlsoTypesStart);
    PutKeys(hotkey);
    Put(hotkeys::kAlsoTypes);
    Put(typed);
    Put(hotkeys::kAlsoTypesEnd);
  }
  return Said(altGr ? plat::MB_ICONWARNING : plat::MB_ICONINFORMATION);
}

// ------------------------------------------------------------ /bind alone

int ShowList(const Binding* first) {
  if (plat::StandardOutputIsFileOrPipe()) {
    for (const Binding* binding = first; binding != nullptr; binding = binding->next) {
      if (!plat::WriteStandardOutput(binding->line, utf8::Length(binding->line)) ||
          !plat::WriteStandardOutput(kLineEnd, sizeof kLineEnd - 1))
        return TellError(hotkeys::kWriteFailed, kStatusListCut);
    }
    return kStatusDone;
  }
  static char box[kBindingBoxSize];
  utf8::Builder b = utf8::Start(box, sizeof box);
  utf8::Append(b, first == nullptr ? hotkeys::kNoBindings : "");
  uint32_t lines = 0;
  for (const Binding* binding = first; binding != nullptr; binding = binding->next, ++lines) {
    if (lines >= kBindingBoxLines) continue;
    if (lines > 0) utf8::AppendChar(b, '\n');
    utf8::Append(b, binding->line);
  }
  if (lines > kBindingBoxLines) {
    utf8::AppendChar(b, '\n');
    utf8::Append(b, kMoreStart);
    utf8::AppendDecimal(b, lines - static_cast<uint32_t>(kBindingBoxLines));
    utf8::Append(b, hotkeys::kMoreEnd);
  }
  plat::MessageBoxUtf8(box, hotkeys::kCaption, plat::MB_ICONINFORMATION);
  return kStatusDone;
}

// With COM started and the bindings' folder found.
int ListBindings() {
  Walk walk = {0, false, false, 0, nullptr};
  const int status = WalkFolder(g_ownFolder, walk) ? TellError(kOutOfMemory, kStatusRefused)
                                                   : ShowList(walk.first);
  while (walk.first != nullptr) {
    Binding* next = walk.first->next;
    plat::Release(walk.first);
    walk.first = next;
  }
  return status;
}

// ------------------------------------------------------------ /unbind KEYS

// With COM started and the bindings' folder found.
int RemoveBinding(uint16_t hotkey) {
  if (!FindOwnBinding(hotkey)) {
    StartText(0, hotkeys::kNoBinding);
    PutKeys(hotkey);
    return Refused();
  }
  if (!plat::DeleteFileUtf8(g_foundPath)) return RefuseWith(hotkeys::kCannotRemove, g_foundPath);
  StartText(hotkey, hotkeys::kNoLongerRuns);
  PutCut(g_say, g_foundCommand);
  return Said(plat::MB_ICONINFORMATION);
}

// COM for the command alone, released on every path; command null lists,
// hotkey 0 with a command removes.
int WithShortcuts(uint16_t hotkey, const char* command) {
  if (!plat::BeginShortcuts()) return Refuse(hotkeys::kUnavailable);
  int status;
  if (plat::KnownFolderPath(plat::KnownFolder::Programs, g_ownFolder, sizeof g_ownFolder) == 0 ||
      !AppendName(g_ownFolder, hotkeys::kFolder))
    status = Refuse(hotkeys::kUnavailable);
  else if (hotkey == 0)
    status = ListBindings();
  else if (command == nullptr)
    status = RemoveBinding(hotkey);
  else
    status = MakeBinding(hotkey, command);
  plat::EndShortcuts();
  return status;
}

int RefuseKeys(const char* keysWord) {
  StartText(0, hotkeys::kUnknownKeys);
  PutCut(g_say, keysWord != nullptr ? keysWord : "");
  Put(hotkeys::kKeysRules);
  return Refused();
}

}  // namespace

int RunBind(const CommandRecord& record) {
  if (record.keysWord == nullptr) return WithShortcuts(0, nullptr);
  const uint16_t hotkey = ReadKeys(record.keysWord);
  if (hotkey == 0) return RefuseKeys(record.keysWord);
  const char* command = record.boundCommand;
  if (command == nullptr) return Refuse(hotkeys::kNoCommand);
  // Its first word must name a command of the table.
  char word[kPathSize];
  utf8::Builder b = utf8::Start(word, sizeof word, utf8::kTextCharacters);
  for (const char* p = command; *p != '\0' && *p != ' '; ++p) utf8::AppendChar(b, *p);
  CommandRecord bound;
  if (!ReadCommand(word, bound) || bound.command == Command::Nothing)
    return RefuseWith(hotkeys::kUnknownCommand, word);
  if (utf8::Characters(command) > plat::kReadUnits) return Refuse(hotkeys::kCommandTooLong);
  return WithShortcuts(hotkey, command);
}

int RunUnbind(const CommandRecord& record) {
  const uint16_t hotkey = ReadKeys(record.keysWord != nullptr ? record.keysWord : "");
  if (hotkey == 0) return RefuseKeys(record.keysWord);
  return WithShortcuts(hotkey, nullptr);
}

}  // namespace app
