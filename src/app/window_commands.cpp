#include "app/window_commands.h"

#include "app/dispatcher.h"
#include "app/messages.h"

#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"
#include "inventory/inventory.h"
#include "inventory/scanner.h"
#include "inventory/walk.h"

namespace app {
namespace {

using inventory::Target;
using inventory::WindowNode;

// The message "start + argument + end" in text; an argument too long for it
// is cut so that the ending still shows.
const char* Message(char (&text)[utf8::kBufferSize], const char* start, const char* argument,
                    const char* end) {
  utf8::Builder b = utf8::Start(text, sizeof text, utf8::kTextCharacters);
  utf8::Append(b, start);
  utf8::AppendReserving(b, argument, end);
  utf8::Append(b, end);
  return text;
}

// The first window below the given one in Z order that is visible and not
// minimized: Windows keeps hidden and minimized windows in the Z order too.
// Null when there is none; the Z order is finite, and the count bounds a
// walk along one that changes meanwhile.
plat::Window ShownWindowBelow(plat::Window window) {
  constexpr int kMostWindows = 100000;
  plat::Window below = plat::GetWindowBelow(window);
  for (int i = 0; below != nullptr && i < kMostWindows; ++i) {
    if (plat::IsWindowVisible(below) && !plat::IsIconic(below)) return below;
    below = plat::GetWindowBelow(below);
  }
  return nullptr;
}

// Shows the contact list when it is hidden or minimized; hides it and gives
// the foreground to the window below it when it is shown. That window may
// be any other program's: whether its thread answers says nothing of the
// client. True when the main window is to come to the foreground: the list
// was hidden or minimized, or there is none.
bool ToggleContactList() {
  plat::Window list = inventory::g_clientWindows.contactListWindow;
  if (list == nullptr) return true;
  // A minimized list is visible to ShowWindow, but the user does not see it.
  const bool minimized = plat::IsIconic(list);
  // Once the list does not answer, the main window is not brought forward
  // either: nothing more goes to the client.
  if (!plat::ShowWindowBounded(list, plat::SW_RESTORE) || minimized) return true;
  plat::SetForegroundIfAnswering(list);
  plat::ShowWindowBounded(list, plat::SW_HIDE);
  plat::SetOtherProgramForeground(ShownWindowBelow(list));
  return false;
}

// The menu command that opens the send dialog for the medium, or 0.
uint32_t SendDialogCommand(Medium medium) {
  switch (medium) {
    case Medium::AimIcq: return client::kSendAimIcq;
    case Medium::Irc: return client::kSendIrc;
    case Medium::Msn: return client::kSendMsn;
    case Medium::Yahoo: return client::kSendYahoo;
    case Medium::Unknown: break;
  }
  return 0;
}

int SendInstantMessage(const CommandRecord& record, WindowNode* first) {
  const uint32_t menuId = SendDialogCommand(record.medium);
  if (menuId == 0) {
    char text[utf8::kBufferSize];
    plat::MessageBoxUtf8(Message(text, kUnknownMediumStart, record.mediumWord, kUnknownMediumEnd),
                      kSendCaption, plat::MB_ICONWARNING);
    return kStatusRefused;
  }
  inventory::WalkArguments arguments = record.walk;
  arguments.sendDialogCommand = static_cast<uint16_t>(menuId);
  // The client brings its send dialog forward by itself.
  plat::AllowForegroundFor(inventory::g_clientWindows.mainWindow);
  arguments.messageText = record.messageText;
  inventory::WalkInventory(first, Target::Console, record.actionWord->action, arguments);
  return kStatusDone;
}

// The action on the record's target; a status other than kStatusDone when
// the target cannot be found.
int WalkTarget(const CommandRecord& record, WindowNode* first) {
  char text[utf8::kBufferSize];
  if (record.unknownTarget != nullptr) {
    plat::MessageBoxUtf8(Message(text, kUnknownOption, record.unknownTarget, ""), kErrorCaption,
                      plat::MB_ICONERROR);
    return kStatusRefused;
  }
  Target target = record.target;
  WindowNode* start = first;
  if (target == Target::Container && record.containerName != nullptr) {
    start = inventory::FindContainer(first, record.firstContainer ? nullptr : record.containerName);
    if (start == nullptr) {
      plat::MessageBoxUtf8(Message(text, kUnknownContainer, record.containerName, ""),
                        kErrorCaption, plat::MB_ICONERROR);
      return kStatusUnknownContainer;
    }
    target = Target::StartNode;
  }
  inventory::WalkInventory(start, target, record.actionWord->action, record.walk);
  return kStatusDone;
}

int MultiIm(const CommandRecord& record, WindowNode* first) {
  // No question that a hung client could not act on.
  if (plat::StopCallsIfHung(inventory::g_clientWindows.mainWindow) != plat::Reply::Answered)
    return kStatusDone;
  char text[utf8::kBufferSize];
  int answer = plat::MessageBoxUtf8(Message(text, kMultiImStart, record.multiImTarget, kMultiImEnd),
                                 kMultiImCaption, plat::MB_ICONWARNING | plat::MB_OKCANCEL);
  if (answer != plat::IDOK) return kStatusCancelled;
  inventory::WalkInventory(first, Target::Current, kMultiImFirstStep, inventory::WalkArguments{});
  // Why the calls failed is the one thing said then.
  if (CallsFailed()) return kStatusDone;
  return WalkTarget(record, first);
}

int RunOnInventory(const CommandRecord& record, WindowNode* first) {
  plat::Window list = inventory::g_clientWindows.contactListWindow;
  switch (record.command) {
    case Command::ToggleContactList:
      if (ToggleContactList())
        plat::SetForegroundIfAnswering(inventory::g_clientWindows.mainWindow);
      break;
    case Command::SendMessage:
      return SendInstantMessage(record, first);
    case Command::MultiIm:
      return MultiIm(record, first);
    case Command::WalkAction:
    case Command::CurrentWindowAction:
      return WalkTarget(record, first);
    case Command::OfflineContacts:
      if (list != nullptr)
        plat::EnumChildWindows(list, inventory::ScanChildWindow,
                               reinterpret_cast<intptr_t>(client::kOfflineContactsCommand.text));
      break;
    case Command::Dock:
      if (list != nullptr) inventory::DockContactList(list, record.dockPosition);
      break;
    default:
      break;  // a word that names no command
  }
  return kStatusDone;
}

}  // namespace

int RunWindowCommand(const CommandRecord& record) {
  WindowNode* root = inventory::BuildInventory();
  if (root == nullptr) return OutOfMemory();
  int status = RunOnInventory(record, root->next);
  inventory::FreeWindowTree(root);
  return status;
}

int OutOfMemory() {
  plat::MessageBoxUtf8(kOutOfMemory, kErrorCaption, plat::MB_ICONERROR);
  return kStatusRefused;
}

}  // namespace app
