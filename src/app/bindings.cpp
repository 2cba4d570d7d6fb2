// /bind and /unbind. Written for size, within the program's limit: the
// run's state, texts and paths live in .bss, and each thing said is one
// text of messages.h filled in by Format.
#include "app/bindings.h"

#include "app/dispatcher.h"
#include "app/keys.h"
#include "app/listing.h"
#include "app/messages.h"
#include "app/window_list.h"
#include "platform/platform.h"
#include "text/utf8_text.h"

namespace app {
namespace {

constexpr size_t kPathSize = plat::kReadTextSize;
// The folders whose shortcuts' hotkeys Windows runs, subfolders included.
constexpr plat::KnownFolder kHotkeyFolders[] = {
    plat::KnownFolder::StartMenu, plat::KnownFolder::CommonStartMenu,
    plat::KnownFolder::Desktop, plat::KnownFolder::PublicDesktop};
// Characters that a file name cannot hold become this one.
constexpr char kNameStandIn = '_';
constexpr char kNotInNames[] = "\\/:*?\"<>|";

// The longest keys written ("Ctrl+Alt+Shift+Delete") with room to spare.
constexpr size_t kKeysSize = 24;
static_assert(kKeysSize + sizeof hotkeys::kLine + kListedTitle * 4 + sizeof listing::kCut +
                      sizeof hotkeys::kProgramGone <=
                  kListingLineSize,
              "a line of the list fits");

struct Binding {
  Binding* next;
  uint16_t order;  // the hotkey word's key, then its modifiers
  char line[kListingLineSize];
};

// What the run says, built in one text.
char g_text[utf8::kBufferSize];
utf8::Builder g_say;
// The keys of the command; 0 for the list.
uint16_t g_hotkey;
// The bindings' folder, the shortcut read last, the shortcut with the keys
// that a walk found (its path and arguments), the new shortcut's path.
char g_ownFolder[kPathSize];
plat::Shortcut g_shortcut;
char g_foundPath[kPathSize];
char g_foundCommand[kPathSize];
char g_path[kPathSize];
// A walk looks for a shortcut with g_hotkey, or, without keys, collects
// every binding into g_first, in order.
Binding* g_first;

// Appends the text of messages.h with its stand-ins filled in: the keys
// (hotkey) and what (cut or whole).
void Format(utf8::Builder& b, const char* text, const char* what, uint16_t hotkey) {
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == hotkeys::kKeys) {
      WriteKeys(b, hotkey);
    } else if (*p == hotkeys::kWhole) {
      utf8::Append(b, what);
    } else if (*p == hotkeys::kCut) {
      const size_t bytes = utf8::CharacterPrefix(what, kListedTitle);
      for (size_t i = 0; i < bytes; ++i) utf8::AppendChar(b, what[i]);
      if (what[bytes] != '\0') utf8::Append(b, listing::kCut);
    } else {
      utf8::AppendChar(b, *p);
    }
  }
}

void Say(const char* text, const char* what) { Format(g_say, text, what, g_hotkey); }

void StartSaying(const char* text, const char* what) {
  g_say = utf8::Start(g_text, sizeof g_text, utf8::kTextCharacters);
  Say(text, what);
}

int Refuse(const char* text, const char* what = "") {
  StartSaying(text, what);
  return TellError(g_text, kStatusNotBound);
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

void Copy(char* out, const char* text) {
  utf8::Builder b = utf8::Start(out, kPathSize);
  utf8::Append(b, text);
}

// ------------------------------------------------------------ walking folders

// The shortcut read into its line of the list; false when memory ran out.
bool Collect() {
  const uint16_t hotkey = g_shortcut.hotkey;
  if (hotkey == 0) return true;
  Binding* binding = static_cast<Binding*>(plat::AllocateZeroed(sizeof(Binding)));
  if (binding == nullptr) return false;
  binding->order = static_cast<uint16_t>(hotkey << 8 | hotkey >> 8);
  utf8::Builder b = utf8::Start(binding->line, sizeof binding->line);
  Format(b, hotkeys::kLine, g_shortcut.arguments, hotkey);
  if (!plat::FileExists(g_shortcut.target)) utf8::Append(b, hotkeys::kProgramGone);
  Binding** at = &g_first;
  while (*at != nullptr && (*at)->order <= binding->order) at = &(*at)->next;
  binding->next = *at;
  *at = binding;
  return true;
}

// Each shortcut a walk meets, which g_shortcut holds.
bool Visit(const char* path, intptr_t) {
  if (g_hotkey == 0) return Collect();
  if (g_shortcut.hotkey == 0 || !SameKeys(g_shortcut.hotkey, g_hotkey)) return true;
  Copy(g_foundPath, path);
  Copy(g_foundCommand, g_shortcut.arguments);
  return false;
}

// True when the walk stopped: the shortcut was found, or memory ran out.
// The bindings' folder is walked alone, or passed over.
bool WalkFolder(const char* folder) {
  return plat::ForEachShortcut(folder, g_ownFolder, &g_shortcut, Visit, 0);
}

// ------------------------------------------------------------ the three commands

// /bind KEYS COMMAND, with COM started and the bindings' folder found.
int MakeBinding(const char* command) {
  for (plat::KnownFolder folder : kHotkeyFolders) {
    char path[kPathSize];
    if (plat::KnownFolderPath(folder, path, sizeof path) != 0 && WalkFolder(path))
      return Refuse(hotkeys::kTaken, g_foundPath);
  }
  const bool replacing = WalkFolder(g_ownFolder);
  // The shell itself may hold the keys of the binding replaced.
  if (!replacing && plat::HotkeyIsHeld(g_hotkey)) return Refuse(hotkeys::kHeld);

  // "<keys> <command>.lnk" in the bindings' folder, the command cut and
  // every character a file name cannot hold replaced.
  utf8::Builder n = utf8::Start(g_path, sizeof g_path, utf8::kTextCharacters);
  utf8::Append(n, g_ownFolder);
  utf8::AppendChar(n, '\\');
  const size_t name = n.length;
  Format(n, hotkeys::kName, command, g_hotkey);
  utf8::Append(n, hotkeys::kShortcutEnding);
  for (char* p = g_path + name; *p != '\0'; ++p)
    for (const char* q = kNotInNames; *q != '\0'; ++q)
      if (*p == *q || static_cast<unsigned char>(*p) < 0x20) *p = kNameStandIn;
  if (n.cut || !plat::MakeFolder(g_ownFolder) || !plat::WriteShortcut(g_path, command, g_hotkey))
    return Refuse(hotkeys::kCannotWrite, g_path);
  // Written first, so that a failure leaves the old binding in place; one
  // of the same name was written over.
  if (replacing && !utf8::EqualsIgnoreCase(g_foundPath, g_path) && !plat::DeleteFileUtf8(g_foundPath))
    return Refuse(hotkeys::kCannotRemove, g_foundPath);

  StartSaying(hotkeys::kNowRuns, command);
  if (replacing) Say(hotkeys::kRanBefore, g_foundCommand);
  // Ctrl+Alt is AltGr on many layouts: the hotkey takes its character away.
  char typed[16];
  constexpr unsigned kAltGr = plat::HOTKEYF_CONTROL | plat::HOTKEYF_ALT;
  const bool altGr = ((g_hotkey >> 8) & kAltGr) == kAltGr &&
                     plat::CharacterOfKeys(g_hotkey, typed, sizeof typed) != 0;
  if (altGr) Say(hotkeys::kAlsoTypes, typed);
  return Said(altGr ? plat::MB_ICONWARNING : plat::MB_ICONINFORMATION);
}

// /bind alone, with COM started and the bindings' folder found.
int ListBindings() {
  g_first = nullptr;
  const bool outOfMemory = WalkFolder(g_ownFolder);
  Lines lines;
  StartLines(lines);
  const intptr_t sink = reinterpret_cast<intptr_t>(&lines);
  if (g_first == nullptr && !lines.toOutput) AddLine(hotkeys::kNoBindings, sink);
  for (Binding* binding = g_first; binding != nullptr; binding = binding->next)
    if (AddLine(binding->line, sink) == 0) break;
  while (g_first != nullptr) {
    Binding* next = g_first->next;
    plat::Release(g_first);
    g_first = next;
  }
  if (outOfMemory) return TellError(kOutOfMemory, kStatusRefused);
  return EndLines(lines, hotkeys::kCaption, hotkeys::kMoreEnd, hotkeys::kWriteFailed);
}

// /unbind KEYS, with COM started and the bindings' folder found.
int RemoveBinding() {
  if (!WalkFolder(g_ownFolder)) return Refuse(hotkeys::kNoBinding);
  if (!plat::DeleteFileUtf8(g_foundPath)) return Refuse(hotkeys::kCannotRemove, g_foundPath);
  StartSaying(hotkeys::kNoLongerRuns, g_foundCommand);
  return Said(plat::MB_ICONINFORMATION);
}

}  // namespace

int RunHotkeyCommand(const CommandRecord& record) {
  const bool bind = record.command == Command::Bind;
  const char* command = bind ? record.boundCommand : nullptr;
  g_hotkey = 0;
  if (!bind || record.keysWord != nullptr) {
    const char* keys = record.keysWord != nullptr ? record.keysWord : "";
    g_hotkey = ReadKeys(keys);
    if (g_hotkey == 0) return Refuse(hotkeys::kUnknownKeys, keys);
    if (bind && command == nullptr) return Refuse(hotkeys::kNoCommand);
    if (bind && !NamesCommand(command)) return Refuse(hotkeys::kUnknownCommand, command);
  }
  // COM for the command alone, released on every path.
  if (!plat::BeginShortcuts()) return Refuse(hotkeys::kUnavailable);
  int status;
  char programs[kPathSize];
  utf8::Builder b = utf8::Start(g_ownFolder, sizeof g_ownFolder, utf8::kTextCharacters);
  if (plat::KnownFolderPath(plat::KnownFolder::Programs, programs, sizeof programs) != 0) {
    utf8::Append(b, programs);
    utf8::AppendChar(b, '\\');
    utf8::Append(b, hotkeys::kFolder);
  }
  if (b.length == 0 || b.cut)
    status = Refuse(hotkeys::kUnavailable);
  else if (g_hotkey == 0)
    status = ListBindings();
  else if (command == nullptr)
    status = RemoveBinding();
  else
    status = MakeBinding(command);
  plat::EndShortcuts();
  return status;
}

}  // namespace app
