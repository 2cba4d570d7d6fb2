#include "inventory/scanner.h"

#include "client/contract.h"
#include "platform/utf8.h"
#include "text/utf8_text.h"

namespace inventory {
namespace {

constexpr int kModeStopAfterFirst = 1;
constexpr int kModeNoClassFilter = 2;

bool AcceptsFiles(plat::Window window) {
  return (plat::GetExtendedStyle(window) & plat::WS_EX_ACCEPTFILES) != 0;
}

void Dock(plat::Window window, char position) {
  if (!AcceptsFiles(window)) return;
  // The position follows only an answer of 0; without an answer there is none.
  if (plat::SendMessageBounded(window, plat::WM_COMMAND, client::kDock, 0) != 0 ||
      plat::CallsReply() != plat::Reply::Answered)
    return;
  switch (position) {
    case 't': case 'T': SendMenuCommand(window, client::kDockTop); break;
    case 'b': case 'B': SendMenuCommand(window, client::kDockBottom); break;
    case 'l': case 'L': SendMenuCommand(window, client::kDockLeft); break;
    case 'r': case 'R': SendMenuCommand(window, client::kDockRight); break;
    default: break;
  }
}

void FillSendDialog(plat::Window dialog, const char* contact) {
  plat::Window edit = plat::FindWindowExUtf8(dialog, nullptr, client::kEditClass, nullptr);
  // Typed as the edit field receives typed characters: one WM_CHAR per
  // UTF-16 unit, a character above U+FFFF as its two halves in order.
  for (const char* p = contact; *p != '\0';) {
    const plat::Utf8Character c = plat::DecodeUtf8(p);
    plat::WideChar units[2];
    for (size_t i = 0, n = plat::EncodeUtf16(c.code, units); i < n; ++i)
      plat::SendMessageBounded(edit, plat::WM_CHAR, units[i], 1);
    p += c.length;
  }
  plat::Window ok =
      plat::FindWindowExUtf8(dialog, nullptr, client::kButtonClass, client::kOkButtonTitle);
  // A click sent to a button of a dialog that is not active may be lost.
  if (ok != nullptr) plat::SetForegroundIfAnswering(dialog);
  plat::SendMessageBounded(ok, plat::WM_LBUTTONDOWN, 0, 0);
  plat::SendMessageBounded(ok, plat::WM_LBUTTONUP, 0, 0);
}

}  // namespace

void SendMenuCommand(plat::Window window, uint32_t id) {
  plat::SendMessageBounded(window, plat::WM_COMMAND, id, 0);
}

int ScanChildWindow(plat::Window window, intptr_t context) {
  const char* command = reinterpret_cast<const char*>(context);
  // Commands are at least three characters long; a shorter one is read as
  // if it went on with zeros, never past its end.
  const char action = command[0];
  const char option = action != '\0' ? command[1] : '\0';
  const char modeDigit = option != '\0' ? command[2] : '\0';
  const char* rest = modeDigit != '\0' ? command + 3 : command + utf8::Length(command);
  const int mode = modeDigit - '0';

  char className[plat::kReadTextSize];
  char title[plat::kReadTextSize];
  plat::ReadClassName(window, className, sizeof className);
  plat::ReadWindowTitle(window, title, sizeof title);

  if (mode != kModeNoClassFilter && !utf8::PrefixMatch(className, rest, utf8::Characters(rest)))
    return 1;
  if (utf8::EqualsIgnoreCase(className, client::kMainClass)) return 1;

  switch (action) {
    case 'o':
      if (AcceptsFiles(window)) SendMenuCommand(window, client::kOfflineContacts);
      break;
    case 'U':
      plat::SendMessageBounded(window, plat::WM_CHAR, 13, 1);
      break;
    case 'd':
      Dock(window, option);
      break;
    case 'D':
      if (utf8::Equals(title, client::kSendDialogTitle)) {
        FillSendDialog(window, rest);
        return 0;
      }
      break;
    default:
      break;
  }
  return mode == kModeStopAfterFirst ? 0 : 1;
}

void DockContactList(plat::Window contactList, DockPosition position) {
  char command[sizeof client::kDockCommand.text];
  for (size_t i = 0; i < sizeof command; ++i) command[i] = client::kDockCommand.text[i];
  command[client::kDockPositionIndex] = static_cast<char>(position);
  plat::EnumChildWindows(contactList, ScanChildWindow, reinterpret_cast<intptr_t>(command));
}

}  // namespace inventory
