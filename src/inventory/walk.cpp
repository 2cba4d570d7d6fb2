#include "inventory/walk.h"

#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"
#include "inventory/scanner.h"

namespace inventory {
namespace {

bool PassesToWindowsInside(Action action) {
  return action == Action::MultiImTarget || action == Action::Timestamp ||
         action == Action::MultiImCurrent;
}

// A kind's target takes the windows of that kind; All and Current take every
// window.
bool TargetTakes(Target target, int32_t kind) {
  return target == Target::All || target == Target::Current || static_cast<int32_t>(target) == kind;
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

void Apply(const WindowNode* node, Action action, int32_t number, const char* messageText) {
  plat::Window window = node->window;
  switch (action) {
    case Action::Restore:
      plat::ShowWindowBounded(window, plat::SW_RESTORE);
      break;
    case Action::Hide:
      plat::ShowWindowBounded(window, plat::SW_HIDE);
      break;
    case Action::Minimize:
      plat::ShowWindowBounded(window, plat::SW_MINIMIZE);
      break;
    case Action::Attach:
      if (node->kind != Container && plat::IsWindowVisible(window))
        SendCommand(window, client::kAttachBase + static_cast<uint32_t>(number));
      break;
    case Action::Timestamp:
      if (number >= 0 && number < 3) SendCommand(window, client::kTimestampCommands[number]);
      break;
    case Action::Transparency:
      if (number >= 0 && number < 10) SendCommand(window, client::kTransparencyCommands[number]);
      break;
    case Action::Log:
      SendCommand(window, client::kLog);
      break;
    case Action::Info:
      SendCommand(window, client::kInfo);
      break;
    case Action::MultiImTarget:
      SendCommand(window, client::kMultiImTarget);
      plat::EnumChildWindows(window, ScanChildWindow, reinterpret_cast<intptr_t>(client::kEnterDisplaysCommand.text));
      break;
    case Action::MultiImCurrent:
      SendCommand(window, client::kMultiImCurrentFirst);
      SendCommand(window, client::kMultiImCurrentSecond);
      break;
    case Action::SendMessage:
      SendToConsole(window, number, messageText);
      break;
    case Action::ClickThrough:
      plat::SetExtendedStyleBounded(window,
                                    plat::GetExtendedStyle(window) ^ plat::WS_EX_TRANSPARENT);
      break;
    default:
      break;  // counts as acted on all the same
  }
}

}  // namespace

void WalkInventory(const WindowNode* start, Target target, Action action, int32_t number,
                   const char* messageText) {
  // The walk ends at the first window it acts on when it takes the current
  // window, and after the MultiIM's current window whatever the target; a
  // window passed over does not end it.
  bool endsAtFirst = target == Target::Current;
  // Along the list by iteration, so that the stack does not grow with the
  // number of windows; only a container's child list is entered, once.
  for (const WindowNode* node = start; node != nullptr; node = node->next) {
    if (!TargetTakes(target, node->kind)) continue;
    if (PassesToWindowsInside(action) && IsPassedOverKind(node->kind)) continue;
    if (PassesToWindowsInside(action) && node->kind == Container) {
      WalkInventory(node->children, Target::All, action, number, messageText);
    } else {
      Apply(node, action, number, messageText);
      if (action == Action::MultiImCurrent) endsAtFirst = true;
    }
    if (endsAtFirst) return;
  }
}

}  // namespace inventory
