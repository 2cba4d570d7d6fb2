#include "inventory/walk.h"

#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"
#include "inventory/scanner.h"

namespace inventory {
namespace {

// Internal only: TargetCurrent at a node that was skipped, so the walk of
// the list goes on and turns back into TargetCurrent.
constexpr int32_t TargetCurrentSkipped = 9;


bool PassesToWindowsInside(char action) {
  return action == ActionCode::MultiImTarget || action == ActionCode::Timestamp ||
         action == ActionCode::MultiImCurrent;
}

bool IsPassedOverKind(int32_t kind) {
  return kind == ContactList || kind == Console || kind == PlainQuiet;
}

void SendCommand(plat::Window window, uint32_t id) {
  plat::SendMessageBounded(window, plat::WM_COMMAND, id, 0);
}

void SendToConsole(plat::Window window, int32_t menuId, const char* messageText) {
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

  SendCommand(window, static_cast<uint32_t>(menuId));
  if (!contactFollows) return;

  // The contact starts one character behind the medium word, counted from
  // the start of the text, blanks inside it kept; a name too long for the
  // child command is cut at its end.
  size_t start = utf8::CountCharacters(p, mediumLength) + 1;
  if (start > utf8::Characters(messageText)) return;
  char childCommand[utf8::kBufferSize];
  utf8::Builder b = utf8::Start(childCommand, sizeof childCommand, utf8::kTextCharacters);
  utf8::Append(b, "D02");
  utf8::Append(b, messageText + utf8::CharacterPrefix(messageText, start));
  // The client has opened its send dialog before the command returned.
  plat::EnumThreadWindows(inventory::g_clientWindows.guiThreadId, ScanChildWindow,
                          reinterpret_cast<intptr_t>(childCommand));
}

void Apply(const WindowNode* node, char action, int32_t number, const char* messageText) {
  plat::Window window = node->window;
  switch (action) {
    case ActionCode::Restore:
      plat::ShowWindowBounded(window, plat::SW_RESTORE);
      break;
    case ActionCode::Hide:
      plat::ShowWindowBounded(window, plat::SW_HIDE);
      break;
    case ActionCode::Minimize:
      plat::ShowWindowBounded(window, plat::SW_MINIMIZE);
      break;
    case ActionCode::Attach:
      if (node->kind != Container && plat::IsWindowVisible(window))
        SendCommand(window, client::kAttachBase + static_cast<uint32_t>(number));
      break;
    case ActionCode::Timestamp:
      if (number >= 0 && number < 3) SendCommand(window, client::kTimestampCommands[number]);
      break;
    case ActionCode::Transparency:
      if (number >= 0 && number < 10) SendCommand(window, client::kTransparencyCommands[number]);
      break;
    case ActionCode::Log:
      SendCommand(window, client::kLog);
      break;
    case ActionCode::Info:
      SendCommand(window, client::kInfo);
      break;
    case ActionCode::MultiImTarget:
      SendCommand(window, client::kMultiImTarget);
      plat::EnumChildWindows(window, ScanChildWindow, reinterpret_cast<intptr_t>(client::kEnterDisplaysCommand.text));
      break;
    case ActionCode::MultiImCurrent:
      SendCommand(window, client::kMultiImCurrentFirst);
      SendCommand(window, client::kMultiImCurrentSecond);
      break;
    case ActionCode::SendMessage:
      SendToConsole(window, number, messageText);
      break;
    case ActionCode::ClickThrough:
      plat::SetExtendedStyleBounded(window,
                                    plat::GetExtendedStyle(window) ^ plat::WS_EX_TRANSPARENT);
      break;
    default:
      break;  // counts as acted on all the same
  }
}

}  // namespace

void WalkInventory(const WindowNode* start, int32_t target, const char* action, int32_t number,
                   const char* messageText) {
  const char letter = action != nullptr ? action[0] : '\0';
  // Along the list by iteration, so that the stack does not grow with the
  // number of windows; only a container's child list is entered, once.
  for (const WindowNode* node = start; node != nullptr; node = node->next) {
    const bool matches = target == TargetAll || target == TargetCurrent || target == node->kind;
    if (!matches) continue;
    if (PassesToWindowsInside(letter) && IsPassedOverKind(node->kind)) {
      if (target == TargetCurrent) target = TargetCurrentSkipped;
    } else if (PassesToWindowsInside(letter) && node->kind == Container) {
      WalkInventory(node->children, TargetAll, action, number, messageText);
    } else {
      Apply(node, letter, number, messageText);
      if (letter == ActionCode::MultiImCurrent) target = TargetCurrent;
    }
    if (target == TargetCurrent) return;
    if (target == TargetCurrentSkipped) target = TargetCurrent;
  }
}

}  // namespace inventory
