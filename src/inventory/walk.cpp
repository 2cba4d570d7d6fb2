#include "inventory/walk.h"

#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"
#include "inventory/scanner.h"

namespace inventory {
namespace {

// A kind's target takes the windows of that kind; All, Current and
// StartNode take every window.
bool TargetTakes(Target target, int32_t kind) {
  return target == Target::All || target == Target::Current || target == Target::StartNode ||
         static_cast<int32_t>(target) == kind;
}

bool HasKind(uint8_t kinds, int32_t kind) { return (kinds & KindBit(kind)) != 0; }

// A row that sends MenuByLevel or MenuByMode names its choices, and counts
// them (choices).
const uint16_t* MenuIds(MenuChoices choices) {
  return choices == MenuChoices::Timestamps ? client::kTimestampCommands
                                            : client::kTransparencyCommands;
}

void SendToConsole(plat::Window window, uint32_t menuId, const char* messageText) {
  if (messageText == nullptr) return;
  char title[plat::kReadTextSize];
  plat::ReadWindowTitle(window, title, sizeof title);
  if (!utf8::PrefixMatch(title, messageText, 2)) return;

  // The medium word and whether a contact follows it.
  const char* p = messageText;
  while (*p == ' ') ++p;
  size_t mediumLength = 0;
  while (p[mediumLength] != '\0' && p[mediumLength] != ' ') ++mediumLength;
  const char* after = p + mediumLength;
  while (*after == ' ') ++after;
  const bool contactFollows = *after != '\0';

  SendMenuCommand(window, menuId);
  if (!contactFollows) return;

  // The contact starts one character behind the medium word, counted from
  // the start of the text, blanks inside it kept; a name too long for the
  // child command is cut at its end.
  size_t start = utf8::CountCharacters(p, mediumLength) + 1;
  if (start > utf8::Characters(messageText)) return;
  char childCommand[utf8::kBufferSize];
  utf8::Builder b = utf8::Start(childCommand, sizeof childCommand, utf8::kTextCharacters);
  utf8::Append(b, client::kFillSendDialogCommand);
  utf8::Append(b, messageText + utf8::CharacterPrefix(messageText, start));
  // The client has opened its send dialog before the command returned.
  plat::EnumThreadWindows(inventory::g_clientWindows.guiThreadId, ScanChildWindow,
                          reinterpret_cast<intptr_t>(childCommand));
}

void Apply(const WindowNode* node, const WindowAction& action, const WalkArguments& arguments) {
  plat::Window window = node->window;
  if (HasKind(action.spareKinds, node->kind)) return;
  if (action.visibleOnly && !plat::IsWindowVisible(window)) return;
  switch (action.sends) {
    case Sends::Show:
      plat::ShowWindowBounded(window, action.showCommand);
      break;
    case Sends::MenuCommands:
      SendMenuCommand(window, action.menuId);
      if (action.secondMenuId != 0) SendMenuCommand(window, action.secondMenuId);
      break;
    case Sends::MenuByLevel:
    case Sends::MenuByMode: {
      const int32_t choice = action.sends == Sends::MenuByLevel
                                 ? arguments.level
                                 : static_cast<int32_t>(arguments.timestampMode);
      if (choice >= 0 && choice < action.choices)
        SendMenuCommand(window, MenuIds(action.menuChoices)[choice]);
      break;
    }
    case Sends::MenuPlusNumber:
      SendMenuCommand(window, action.menuId + static_cast<uint32_t>(arguments.containerNumber));
      break;
    case Sends::ToggleClickThrough:
      plat::SetExtendedStyleBounded(window,
                                    plat::GetExtendedStyle(window) ^ plat::WS_EX_TRANSPARENT);
      break;
    case Sends::SendDialog:
      SendToConsole(window, arguments.sendDialogCommand, arguments.messageText);
      break;
  }
  if (action.childCommand == ChildCommand::EnterDisplays)
    plat::EnumChildWindows(window, ScanChildWindow,
                           reinterpret_cast<intptr_t>(client::kEnterDisplaysCommand.text));
}

}  // namespace

void WalkInventory(const WindowNode* start, Target target, const WindowAction& action,
                   const WalkArguments& arguments) {
  // The walk ends at the first window it acts on when it takes the current
  // window or the start node, and after an action that ends it whatever the
  // target; a window passed over does not end it.
  bool endsAtFirst = target == Target::Current || target == Target::StartNode;
  // Along the list by iteration, so that the stack does not grow with the
  // number of windows; only a container's child list is entered, once.
  for (const WindowNode* node = start; node != nullptr; node = node->next) {
    if (!TargetTakes(target, node->kind)) continue;
    if (action.passesInside && HasKind(action.passedOverKinds, node->kind)) continue;
    if (action.passesInside && node->kind == Container) {
      WalkInventory(node->children, Target::All, action, arguments);
    } else {
      Apply(node, action, arguments);
      if (action.endsWalk) endsAtFirst = true;
    }
    if (endsAtFirst) return;
  }
}

}  // namespace inventory
