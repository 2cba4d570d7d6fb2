// Every word the program understands, and the one reading of the command
// line into a CommandRecord. Nothing else in app compares a word.
#include "app/command.h"
#include "app/messages.h"

#include "client/contract.h"
#include "platform/platform.h"
#include "platform/utf8.h"

namespace app {

using inventory::KindBit;
using inventory::Sends;
using inventory::Target;

namespace {

// The command words as written, each with its literal.
struct CommandWordRow {
  const char* literal;
  uint16_t menuId;
  uint8_t count;
  Command command;
};
constexpr CommandWordRow kCommandWordRows[] = {
    {"/?", 0, sizeof "/?", Command::OpenHelp},
    // Without the client as well.
    {"launch", 0, 6, Command::LaunchClient},
    {"winamp", 0, 6, Command::LaunchWinamp},
    // The client's windows as the commands see them; sends nothing.
    {"/windows", 0, sizeof "/windows", Command::ListWindows},
    // Hotkeys: shortcuts that run the program; without the client as well.
    {"/bind", 0, sizeof "/bind", Command::Bind},
    {"/unbind", 0, sizeof "/unbind", Command::Unbind},
    // The main window: "away+" before "awayedit".
    {"away+", client::kAwayPlus, 5, Command::MenuCommand},
    {"awayedit", client::kAwayEdit, 4, Command::MenuCommand},
    {"preferences", client::kPreferences, 4, Command::MenuCommand},
    {"connection manager", client::kConnectionManager, 4, Command::MenuCommand},
    {"reconnect", client::kReconnect, 5, Command::MenuCommand},
    {"disconnect", client::kDisconnect, 6, Command::MenuCommand},
    {"exit", client::kExit, 4, Command::Exit},
    {"sound", client::kSound, 5, Command::MenuCommand},
    // Before "show" of the window actions.
    {"showbuddy", client::kShowBuddy, 9, Command::ForwardMenuCommand},
    {"top", client::kTop, 3, Command::ForwardMenuCommand},
    // The client's windows.
    {"togglebuddy", 0, 11, Command::ToggleContactList},
    // A word never holds a blank: "off" and every longer word is this one.
    {"offline contacts", 0, 3, Command::OfflineContacts},
    {"dock", 0, 4, Command::Dock},
};

constexpr size_t LiteralBytes() {
  size_t bytes = 0;
  for (const CommandWordRow& row : kCommandWordRows)
    for (const char* p = row.literal;; ++p) {
      ++bytes;
      if (*p == '\0') break;
    }
  return bytes;
}
static_assert(sizeof kCommandWordRows / sizeof kCommandWordRows[0] == kCommandWordCount,
              "kCommandWordCount is the number of rows");
static_assert(LiteralBytes() == kCommandLiteralBytes,
              "kCommandLiteralBytes is the bytes of the literals with their zeros");

constexpr CommandWords LayOut() {
  CommandWords table{};
  uint16_t at = 0;
  for (size_t i = 0; i < kCommandWordCount; ++i) {
    const CommandWordRow& row = kCommandWordRows[i];
    table.words[i] = {at, row.menuId, row.count, row.command};
    for (const char* p = row.literal;; ++p) {
      table.literals[at++] = *p;
      if (*p == '\0') break;
    }
  }
  return table;
}

}  // namespace

alignas(CommandWords) constexpr CommandWords kCommandWords = LayOut();

namespace {

template <typename T, size_t N>
constexpr uint8_t Entries(const T (&)[N]) {
  return static_cast<uint8_t>(N);
}

// MultiIM and timestamps reach the windows inside a container, and pass
// over the contact list, the consoles and the send dialog.
constexpr uint8_t kNotForMultiIm = KindBit(inventory::ContactList) | KindBit(inventory::Console) |
                                   KindBit(inventory::PlainQuiet);

}  // namespace

alignas(WindowActionWord) const WindowActionWord kWindowActionWords[] = {
    {"sendmessage", 4, Command::SendMessage, Arguments::Medium, {.sends = Sends::SendDialog}},
    {"multiim", 4, Command::MultiIm, Arguments::Target,
     {.sends = Sends::MenuCommands,
      .passesInside = true,
      .passedOverKinds = kNotForMultiIm,
      .menuId = client::kMultiImTarget,
      .childCommand = inventory::ChildCommand::EnterDisplays}},
    {"clickthrough", 4, Command::WalkAction, Arguments::Target,
     {.sends = Sends::ToggleClickThrough}},
    {"minimize", 3, Command::WalkAction, Arguments::Target,
     {.sends = Sends::Show, .showCommand = plat::SW_MINIMIZE}},
    {"show", 4, Command::WalkAction, Arguments::Target,
     {.sends = Sends::Show, .showCommand = plat::SW_RESTORE}},
    {"restore", 4, Command::WalkAction, Arguments::Target,
     {.sends = Sends::Show, .showCommand = plat::SW_RESTORE}},
    {"hide", 4, Command::WalkAction, Arguments::Target,
     {.sends = Sends::Show, .showCommand = plat::SW_HIDE}},
    {"timestamp", 4, Command::WalkAction, Arguments::TargetMode,
     {.sends = Sends::MenuByMode,
      .passesInside = true,
      .choices = Entries(client::kTimestampCommands),
      .passedOverKinds = kNotForMultiIm,
      .menuChoices = inventory::MenuChoices::Timestamps}},
    {"trans", 5, Command::WalkAction, Arguments::TargetLevel,
     {.sends = Sends::MenuByLevel,
      .choices = Entries(client::kTransparencyCommands),
      .menuChoices = inventory::MenuChoices::Transparencies}},
    // A container is not attached to another; a hidden window neither.
    {"attach", 4, Command::WalkAction, Arguments::TargetNumber,
     {.sends = Sends::MenuPlusNumber,
      .visibleOnly = true,
      .spareKinds = KindBit(inventory::Container),
      .menuId = client::kAttachBase}},
    {"log", 3, Command::CurrentWindowAction, Arguments::None,
     {.sends = Sends::MenuCommands, .menuId = client::kLog}},
    {"info", 4, Command::CurrentWindowAction, Arguments::None,
     {.sends = Sends::MenuCommands, .menuId = client::kInfo}},
};
const size_t kWindowActionWordCount = sizeof kWindowActionWords / sizeof kWindowActionWords[0];

const inventory::WindowAction kMultiImFirstStep = {
    .sends = Sends::MenuCommands,
    .passesInside = true,
    .endsWalk = true,
    .passedOverKinds = kNotForMultiIm,
    .menuId = client::kMultiImCurrentFirst,
    .secondMenuId = client::kMultiImCurrentSecond,
};

alignas(TargetWord) const TargetWord kTargetWords[] = {
    {"contact", 7, Target::ContactList},  {"buddy", 5, Target::ContactList},
    {"container", 7, Target::Container},  {"channel", 4, Target::Channel},
    {"private", 4, Target::Private},      {"console", 4, Target::Console},
    {"all", 3, Target::All},              {"current", 4, Target::Current},
};
const size_t kTargetWordCount = sizeof kTargetWords / sizeof kTargetWords[0];
// Typed whole, in any case.
const char kFirstContainerName[] = "current";

namespace {

// The row of the first command word that matches, or Nothing.
Command FindCommand(const char* word, CommandRecord& record) {
  for (const CommandWord& row : kCommandWords.words) {
    if (!utf8::PrefixMatch(word, Literal(row), row.count)) continue;
    record.menuId = row.menuId;
    return row.command;
  }
  for (size_t i = 0; i < kWindowActionWordCount; ++i) {
    const WindowActionWord& row = kWindowActionWords[i];
    if (!utf8::PrefixMatch(word, row.literal, row.count)) continue;
    record.actionWord = &row;
    return row.command;
  }
  return Command::Nothing;
}

// The medium names its send command by its first letter; "irc" is told
// from the other media that begin like it by its first three.
Medium FindMedium(const char* word) {
  switch (word[0] | 0x20) {  // the letter in either case
    case 'a': case 'i':
      return utf8::PrefixMatch(word, "irc", 3) ? Medium::Irc : Medium::AimIcq;
    case 'm':
      return Medium::Msn;
    case 'y':
      return Medium::Yahoo;
    default:
      return Medium::Unknown;
  }
}

// The medium as typed and the contact as the platform split the wide
// command line, so a quoted contact keeps its blanks, at most as many
// characters as a text holds; without the wide elements, the medium word as
// read.
void ReadMessageText(CommandRecord& record) {
  int count = 0;
  plat::WideChar** wide = plat::CommandLineArgs(&count);
  if (wide == nullptr) count = 0;
  char* out = record.messageText;
  const size_t capacity = sizeof record.messageText;
  if (count >= 3) {
    size_t used = plat::WideToUtf8(wide[2], out, capacity);
    if (count >= 4 && used + 2 < capacity) {
      out[used++] = ' ';
      out[used] = '\0';
      plat::WideToUtf8(wide[3], out + used, capacity - used);
    }
    utf8::KeepCharacters(out, utf8::kTextCharacters);
  } else {
    utf8::Builder b = utf8::Start(out, capacity);
    utf8::Append(b, record.mediumWord);
  }
}

// Argument 1 of the walk's actions and of MultiIM: absent means the contact
// list.
void ReadTarget(const char* word, CommandRecord& record) {
  record.target = Target::ContactList;
  if (word == nullptr) return;
  for (size_t i = 0; i < kTargetWordCount; ++i) {
    if (utf8::PrefixMatch(word, kTargetWords[i].literal, kTargetWords[i].count)) {
      record.target = kTargetWords[i].target;
      return;
    }
  }
  record.unknownTarget = word;
}

// Argument 2 of "timestamp": without a mode the timestamps go the other way.
inventory::TimestampMode ReadTimestampMode(const char* word) {
  if (word == nullptr) word = "";
  if (utf8::PrefixMatch(word, "on", 2)) return inventory::TimestampMode::On;
  if (utf8::PrefixMatch(word, "off", 2)) return inventory::TimestampMode::Off;
  return inventory::TimestampMode::Toggle;
}

// Every character counts, digit or not, and the value wraps around at
// 32 bits as the client's own 32-bit arithmetic would; below 1 is 1.
int32_t ReadContainerNumber(const char* word) {
  uint32_t value = 0;
  for (const char* p = word; *p != '\0'; ++p)
    value = value * 10u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(*p)) - '0');
  const int32_t number = static_cast<int32_t>(value);
  return number < 1 ? 1 : number;
}

// The first letter of argument 1, in either case; any other is no position.
inventory::DockPosition ReadDockPosition(const char* word) {
  using inventory::DockPosition;
  const char letter = word != nullptr ? static_cast<char>(word[0] | 0x20) : '\0';
  static constexpr DockPosition kPositions[] = {DockPosition::Top, DockPosition::Bottom,
                                                DockPosition::Left, DockPosition::Right};
  for (DockPosition position : kPositions)
    if (letter == static_cast<char>(position)) return position;
  return DockPosition::None;
}

// The arguments of a window action, as its row's form says.
void ReadActionArguments(const char* first, const char* second, const char* third,
                         CommandRecord& record) {
  switch (record.actionWord->arguments) {
    case Arguments::Medium:
      record.mediumWord = first != nullptr ? first : "";
      record.medium = FindMedium(record.mediumWord);
      ReadMessageText(record);
      return;
    case Arguments::None:
      record.target = Target::Current;
      return;
    default:
      break;
  }
  record.multiImTarget = first != nullptr ? first : kMultiImDefaultTarget;
  const char* name = second;
  switch (record.actionWord->arguments) {
    case Arguments::TargetMode:
      record.walk.timestampMode = ReadTimestampMode(second);
      name = third;
      break;
    case Arguments::TargetLevel:
      record.walk.level = (second != nullptr ? second[0] : '0') - '0';
      name = third;
      break;
    case Arguments::TargetNumber:
      if (second == nullptr) name = "0";  // also as the name
      record.walk.containerNumber = ReadContainerNumber(name);
      break;
    default:
      break;
  }
  ReadTarget(first, record);
  if (record.target == Target::Container && name != nullptr) {
    record.containerName = name;
    record.firstContainer = utf8::PrefixMatch(name, kFirstContainerName, sizeof kFirstContainerName);
  }
}

}  // namespace

bool NamesCommand(const char* text) {
  // The word alone: the rows of whole words want its end where their
  // literal ends, and a blank is no end. A longer word is cut past the
  // length of every literal, and stays a word of no row that it was not.
  char word[20];
  size_t length = 0;
  while (text[length] != '\0' && text[length] != ' ' && length + 1 < sizeof word) {
    word[length] = text[length];
    ++length;
  }
  word[length] = '\0';
  CommandRecord record;
  return FindCommand(word, record) != Command::Nothing;
}

char* NextToken(char** cursor) {
  char* p = *cursor;
  while (*p == ' ') ++p;
  if (*p == '\0') {
    *cursor = p;
    return nullptr;
  }
  char* token = p;
  while (*p != '\0' && *p != ' ') ++p;
  if (*p == ' ') *p++ = '\0';
  *cursor = p;
  return token;
}

bool ReadCommand(char* tail, CommandRecord& record) {
  record = CommandRecord{};
  char* cursor = tail;
  // Where the tail ends before the tokens are cut out of it.
  const char* const end = tail + utf8::Length(tail);
  const char* word = NextToken(&cursor);
  const char* first = word != nullptr ? NextToken(&cursor) : nullptr;
  char* second = first != nullptr ? NextToken(&cursor) : nullptr;
  const char* third = second != nullptr ? NextToken(&cursor) : nullptr;
  if (word == nullptr) return false;
  record.command = FindCommand(word, record);
  if (record.actionWord != nullptr) {
    ReadActionArguments(first, second, third, record);
  } else if (record.command == Command::Exit) {
    record.delayed = first != nullptr;
    if (record.delayed) record.delaySeconds = utf8::ParseDecimal(first);
  } else if (record.command == Command::Dock) {
    record.dockPosition = ReadDockPosition(first);
  } else if (record.command == Command::Bind || record.command == Command::Unbind) {
    record.keysWord = first;
    // The bound command as typed, quotes and all: the blanks that ended its
    // words were cut into zeros, and go back.
    record.boundCommand = second;
    if (second != nullptr) {
      char* last = second;  // its last character that is no blank
      for (char* p = second; p < end; ++p) {
        if (*p == '\0') *p = ' ';
        if (*p != ' ') last = p;
      }
      last[1] = '\0';
    }
  }
  return true;
}

}  // namespace app
