// Every word the program understands, and the one reading of the command
// line into a CommandRecord. Nothing else in app compares a word.
#include "app/command.h"
#include "app/messages.h"

#include "client/contract.h"
#include "platform/platform.h"
#include "platform/utf8.h"

namespace app {

using inventory::Action;
using inventory::Target;

// The action of a row that is not one of the walk's is never read.
const CommandWord kCommandWords[] = {
    {"/?", 0, sizeof "/?", Command::OpenHelp, Action::Restore},
    // Without the client as well.
    {"launch", 0, 6, Command::LaunchClient, Action::Restore},
    {"winamp", 0, 6, Command::LaunchWinamp, Action::Restore},
    // The client's windows as the commands see them; sends nothing.
    {"/windows", 0, sizeof "/windows", Command::ListWindows, Action::Restore},
    // The main window: "away+" before "awayedit".
    {"away+", client::kAwayPlus, 5, Command::MenuCommand, Action::Restore},
    {"awayedit", client::kAwayEdit, 4, Command::MenuCommand, Action::Restore},
    {"preferences", client::kPreferences, 4, Command::MenuCommand, Action::Restore},
    {"connection manager", client::kConnectionManager, 4, Command::MenuCommand, Action::Restore},
    {"reconnect", client::kReconnect, 5, Command::MenuCommand, Action::Restore},
    {"disconnect", client::kDisconnect, 6, Command::MenuCommand, Action::Restore},
    {"exit", client::kExit, 4, Command::Exit, Action::Restore},
    {"sound", client::kSound, 5, Command::MenuCommand, Action::Restore},
    {"showbuddy", client::kShowBuddy, 9, Command::MenuCommand, Action::Restore},
    {"top", client::kTop, 3, Command::MenuCommand, Action::Restore},
    // The client's windows.
    {"togglebuddy", 0, 11, Command::ToggleContactList, Action::Restore},
    {"sendmessage", 0, 4, Command::SendMessage, Action::SendMessage},
    {"multiim", 0, 4, Command::MultiIm, Action::MultiImTarget},
    {"clickthrough", 0, 4, Command::WalkAction, Action::ClickThrough},
    {"minimize", 0, 3, Command::WalkAction, Action::Minimize},
    {"show", 0, 4, Command::WalkAction, Action::Restore},
    {"restore", 0, 4, Command::WalkAction, Action::Restore},
    {"hide", 0, 4, Command::WalkAction, Action::Hide},
    {"timestamp", 0, 4, Command::WalkAction, Action::Timestamp},
    {"trans", 0, 5, Command::WalkAction, Action::Transparency},
    {"attach", 0, 4, Command::WalkAction, Action::Attach},
    {"log", 0, 3, Command::CurrentWindowAction, Action::Log},
    {"info", 0, 4, Command::CurrentWindowAction, Action::Info},
    // A word never holds a blank: "off" and every longer word is this one.
    {"offline contacts", 0, 3, Command::OfflineContacts, Action::Restore},
    {"dock", 0, 4, Command::Dock, Action::Restore},
};
const size_t kCommandWordCount = sizeof kCommandWords / sizeof kCommandWords[0];

const TargetWord kTargetWords[] = {
    {"contact", 7, Target::ContactList},  {"buddy", 5, Target::ContactList},
    {"container", 7, Target::Container},  {"channel", 4, Target::Channel},
    {"private", 4, Target::Private},      {"console", 4, Target::Console},
    {"all", 3, Target::All},              {"current", 4, Target::Current},
};
const size_t kTargetWordCount = sizeof kTargetWords / sizeof kTargetWords[0];

namespace {

Command FindCommand(const char* word, CommandRecord& record) {
  for (size_t i = 0; i < kCommandWordCount; ++i) {
    const CommandWord& row = kCommandWords[i];
    if (!utf8::PrefixMatch(word, row.literal, row.count)) continue;
    record.menuId = row.menuId;
    record.action = row.action;
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

}  // namespace

bool ReadCommand(char* tail, CommandRecord& record) {
  record = CommandRecord{};
  char* cursor = tail;
  const char* word = NextToken(&cursor);
  const char* first = word != nullptr ? NextToken(&cursor) : nullptr;
  const char* second = first != nullptr ? NextToken(&cursor) : nullptr;
  const char* third = second != nullptr ? NextToken(&cursor) : nullptr;
  if (word == nullptr) return false;
  record.command = FindCommand(word, record);
  switch (record.command) {
    case Command::Exit:
      record.delayed = first != nullptr;
      if (record.delayed) record.delaySeconds = utf8::ParseDecimal(first);
      break;
    case Command::SendMessage:
      record.mediumWord = first != nullptr ? first : "";
      record.medium = FindMedium(record.mediumWord);
      ReadMessageText(record);
      break;
    case Command::MultiIm:
    case Command::WalkAction: {
      record.multiImTarget = first != nullptr ? first : kMultiImDefaultTarget;
      // The container's name follows the mode or the level where the action
      // has one; a missing container number is "0", also as the name.
      const char* name = second;
      if (record.action == Action::Timestamp) {
        record.timestampMode = ReadTimestampMode(second);
        name = third;
      } else if (record.action == Action::Transparency) {
        record.number = (second != nullptr ? second[0] : '0') - '0';
        name = third;
      } else if (record.action == Action::Attach) {
        if (second == nullptr) name = "0";
        record.number = ReadContainerNumber(name);
      }
      ReadTarget(first, record);
      if (record.target == Target::Container) record.containerName = name;
      break;
    }
    case Command::CurrentWindowAction:
      record.target = Target::Current;
      break;
    case Command::Dock:
      record.dockPosition = ReadDockPosition(first);
      break;
    default:
      break;
  }
  return true;
}

}  // namespace app
