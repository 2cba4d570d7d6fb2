#include "app/window_commands.h"
#include "app/messages.h"

#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"
#include "inventory/inventory.h"
#include "inventory/scanner.h"
#include "inventory/walk.h"
#include "platform/utf8.h"

namespace app {
namespace {

using inventory::WindowNode;
using utf8::PrefixMatch;



// The message "start + argument + end" in the command's text buffer; an
// argument too long for it is cut so that the ending still shows.
const char* Message(CommandState& state, const char* start, const char* argument,
                    const char* end) {
  utf8::Builder b = utf8::Start(state.text, sizeof state.text, utf8::kTextCharacters);
  utf8::Append(b, start);
  utf8::AppendReserving(b, argument != nullptr ? argument : "", end);
  utf8::Append(b, end);
  return state.text;
}

// Shows the contact list when it is hidden; hides it and gives the
// foreground to the window below it when it is shown.
void ToggleContactList(CommandState& state) {
  plat::Window list = inventory::g_clientWindows.contactListWindow;
  if (list == nullptr) {
    state.foregroundMain = true;
    return;
  }
  // Once the list does not answer, the main window is not brought forward
  // either: nothing more goes to the client.
  if (plat::ShowWindowBounded(list, plat::SW_RESTORE)) {
    plat::SetForegroundIfAnswering(list);
    plat::ShowWindowBounded(list, plat::SW_HIDE);
    plat::SetForegroundIfAnswering(plat::GetWindowBelow(list));
  } else {
    state.foregroundMain = true;
  }
}

// The menu command that opens the send dialog for the medium, or 0.
uint32_t MediumCommand(const char* medium) {
  switch (medium[0]) {
    case 'A': case 'a': case 'I': case 'i':
      return PrefixMatch(medium, "irc", 3) ? client::kSendIrc : client::kSendAimIcq;
    case 'M': case 'm':
      return client::kSendMsn;
    case 'Y': case 'y':
      return client::kSendYahoo;
    default:
      return 0;
  }
}

int SendInstantMessage(CommandState& state, WindowNode* first) {
  const char* medium = state.firstArg != nullptr ? state.firstArg : "";
  uint32_t menuId = MediumCommand(medium);
  if (menuId == 0) {
    plat::MessageBoxUtf8(Message(state, kUnknownMediumStart, medium, kUnknownMediumEnd),
                      kSendCaption, plat::MB_ICONWARNING);
    return kStatusRefused;
  }
  state.number = static_cast<int32_t>(menuId);
  // The medium as typed and the contact as the platform split the wide
  // command line, so a quoted contact keeps its blanks.
  char* out = state.text;
  const size_t capacity = sizeof state.text;
  if (state.wideArgCount >= 3) {
    size_t used = plat::WideToUtf8(state.wideArgs[2], out, capacity);
    if (state.wideArgCount >= 4 && used + 2 < capacity) {
      out[used++] = ' ';
      out[used] = '\0';
      plat::WideToUtf8(state.wideArgs[3], out + used, capacity - used);
    }
    utf8::KeepCharacters(out, utf8::kTextCharacters);
  } else {
    utf8::Builder b = utf8::Start(out, capacity);  // no wide element: the word as read
    utf8::Append(b, medium);
  }
  state.action[0] = inventory::ActionCode::SendMessage;
  inventory::WalkInventory(first, inventory::Console, state.action, state.number, state.text);
  return kStatusDone;
}

// Sets action and number for the walk's action words; false for any other word.
bool ChooseAction(CommandState& state) {
  const char* word = state.word;
  if (PrefixMatch(word, "clickthrough", 4)) {
    state.action[0] = inventory::ActionCode::ClickThrough;
  } else if (PrefixMatch(word, "minimize", 3)) {
    state.action[0] = inventory::ActionCode::Minimize;
  } else if (PrefixMatch(word, "show", 4) || PrefixMatch(word, "restore", 4)) {
    state.action[0] = inventory::ActionCode::Restore;
  } else if (PrefixMatch(word, "hide", 4)) {
    state.action[0] = inventory::ActionCode::Hide;
  } else if (PrefixMatch(word, "timestamp", 4)) {
    state.action[0] = inventory::ActionCode::Timestamp;
    // Without a mode the timestamps are switched the other way.
    const char* mode = state.secondArg != nullptr ? state.secondArg : "";
    state.number = PrefixMatch(mode, "on", 2) ? 0 : PrefixMatch(mode, "off", 2) ? 1 : 2;
  } else if (PrefixMatch(word, "trans", 5)) {
    state.action[0] = inventory::ActionCode::Transparency;
    const char* level = state.secondArg != nullptr ? state.secondArg : "0";
    state.number = level[0] - '0';  // not a digit: outside the table, nothing is sent
  } else if (PrefixMatch(word, "attach", 4)) {
    state.action[0] = inventory::ActionCode::Attach;
    if (state.secondArg == nullptr) state.secondArg = "0";
    // Wraps around at 32 bits as the client's own 32-bit arithmetic would.
    uint32_t value = 0;
    for (const char* p = state.secondArg; *p != '\0'; ++p)
      value = value * 10u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(*p)) - '0');
    state.number = static_cast<int32_t>(value);
    if (state.number < 1) state.number = 1;
  } else {
    return false;
  }
  return true;
}

// Picks the target and start node for the action; returns a status other
// than kStatusDone when the command ends with an error.
int SelectTarget(CommandState& state, WindowNode* first, int32_t* target, WindowNode** start) {
  const char* option = state.firstArg;
  *start = first;
  if (option == nullptr || PrefixMatch(option, "contact", 7) || PrefixMatch(option, "buddy", 5)) {
    *target = inventory::ContactList;
  } else if (PrefixMatch(option, "container", 7)) {
    *target = inventory::Container;
    const bool nameIsThird = state.action[0] == inventory::ActionCode::Timestamp ||
                             state.action[0] == inventory::ActionCode::Transparency;
    const char* name = nameIsThird ? state.thirdArg : state.secondArg;
    if (name != nullptr) {
      *target = inventory::TargetCurrent;
      *start = inventory::FindContainer(first, name);
      if (*start == nullptr) {
        plat::MessageBoxUtf8(Message(state, kUnknownContainer, name, ""), kErrorCaption,
                          plat::MB_ICONERROR);
        return kStatusUnknownContainer;
      }
    }
  } else if (PrefixMatch(option, "channel", 4)) {
    *target = inventory::Channel;
  } else if (PrefixMatch(option, "private", 4)) {
    *target = inventory::Private;
  } else if (PrefixMatch(option, "console", 4)) {
    *target = inventory::Console;
  } else if (PrefixMatch(option, "all", 3)) {
    *target = inventory::TargetAll;
  } else if (PrefixMatch(option, "current", 4)) {
    *target = inventory::TargetCurrent;
  } else {
    plat::MessageBoxUtf8(Message(state, kUnknownOption, option, ""), kErrorCaption,
                      plat::MB_ICONERROR);
    return kStatusRefused;
  }
  return kStatusDone;
}

void RunWordWithoutAction(CommandState& state, WindowNode* first) {
  const char* word = state.word;
  plat::Window list = inventory::g_clientWindows.contactListWindow;
  if (PrefixMatch(word, "log", 3)) {
    inventory::WalkInventory(first, inventory::TargetCurrent, "l", 0, nullptr);
  } else if (PrefixMatch(word, "info", 4)) {
    inventory::WalkInventory(first, inventory::TargetCurrent, "i", 0, nullptr);
  } else if (PrefixMatch(word, "offline contacts", 3) && list != nullptr) {
    plat::EnumChildWindows(list, inventory::ScanChildWindow,
                           reinterpret_cast<intptr_t>(client::kOfflineContactsCommand.text));
  } else if (PrefixMatch(word, "dock", 4) && list != nullptr) {
    utf8::Builder b = utf8::Start(state.text, sizeof state.text);
    utf8::AppendChar(b, 'd');
    utf8::AppendChar(b, state.firstArg != nullptr ? state.firstArg[0] : 'o');
    utf8::Append(b, client::kDockCommandEnd.text);
    plat::EnumChildWindows(list, inventory::ScanChildWindow, reinterpret_cast<intptr_t>(state.text));
  }
}

int RunOnInventory(CommandState& state, WindowNode* first) {
  if (PrefixMatch(state.word, "togglebuddy", 11)) ToggleContactList(state);
  if (PrefixMatch(state.word, "sendmessage", 4)) return SendInstantMessage(state, first);

  if (PrefixMatch(state.word, "multiim", 4)) {
    // No question that a hung client could not act on.
    if (plat::CheckNotHung(inventory::g_clientWindows.mainWindow) != plat::Reply::Answered)
      return kStatusDone;
    const char* option = state.firstArg != nullptr ? state.firstArg : kMultiImDefaultTarget;
    int answer = plat::MessageBoxUtf8(Message(state, kMultiImStart, option, kMultiImEnd),
                                   kMultiImCaption, plat::MB_ICONWARNING | plat::MB_OKCANCEL);
    if (answer != plat::IDOK) return kStatusCancelled;
    state.action[0] = inventory::ActionCode::MultiImTarget;
    inventory::WalkInventory(first, inventory::TargetCurrent, "v", 0, nullptr);
    // Not responding is the one thing said then.
    if (plat::CallsReply() == plat::Reply::NotAnswering) return kStatusDone;
  } else if (!ChooseAction(state)) {
    state.actionSet = false;
  }

  if (state.actionSet) {
    int32_t target = inventory::ContactList;
    WindowNode* start = nullptr;
    int status = SelectTarget(state, first, &target, &start);
    if (status != kStatusDone) return status;
    inventory::WalkInventory(start, target, state.action, state.number, nullptr);
  } else {
    RunWordWithoutAction(state, first);
  }
  if (state.foregroundMain) plat::SetForegroundIfAnswering(inventory::g_clientWindows.mainWindow);
  return kStatusDone;
}

}  // namespace

int RunWindowCommand(CommandState& state) {
  WindowNode* root = inventory::BuildInventory();
  int status = RunOnInventory(state, root->next);
  inventory::FreeWindowTree(root);
  return status;
}

}  // namespace app

namespace inventory {

void OutOfMemory() {
  plat::MessageBoxUtf8(app::kOutOfMemory, app::kErrorCaption, plat::MB_ICONERROR);
  plat::ExitProcess(app::kStatusRefused);
}

}  // namespace inventory
