#include "app/command.h"
#include "app/messages.h"
#include "app/launchers.h"
#include "app/window_commands.h"
#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"

namespace app {
namespace {

// The whole word in any case: no shorter or longer word means it.
constexpr char kListWindowsWord[] = "/windows";

// Between clock readings of the exit delay. Short enough that the command
// goes out within a few tens of milliseconds of the moment the delay allows.
constexpr uint32_t kDelayPollMilliseconds = 10;

struct MenuWord {
  const char* literal;
  size_t count;
  uint32_t menuId;
};

// In the order in which they are tested: "away+" before "awayedit".
constexpr MenuWord kMenuWords[] = {
    {"away+", 5, client::kAwayPlus},
    {"awayedit", 4, client::kAwayEdit},
    {"preferences", 4, client::kPreferences},
    {"connection manager", 4, client::kConnectionManager},
    {"reconnect", 5, client::kReconnect},
    {"disconnect", 6, client::kDisconnect},
    {"exit", 4, client::kExit},
    {"sound", 5, client::kSound},
    {"showbuddy", 9, client::kShowBuddy},
    {"top", 3, client::kTop},
};

// Waits until at least N whole seconds have passed on the calendar clock,
// N read from the argument anew at every reading. The command goes out at
// the first reading at which the elapsed whole seconds reach N; the wait
// sleeps between readings instead of keeping a processor busy.
void WaitForExitDelay(const char* argument) {
  const int64_t start = plat::CalendarSeconds();
  for (;;) {
    const double elapsed = static_cast<double>(plat::CalendarSeconds() - start);
    const int32_t seconds = utf8::ParseDecimal(argument);
    if (!(seconds > elapsed)) return;
    plat::Sleep(kDelayPollMilliseconds);
  }
}

}  // namespace

int NotResponding() {
  plat::MessageBoxUtf8(kNotResponding, kErrorCaption, plat::MB_ICONERROR);
  return kStatusNotResponding;
}

int Dispatch(CommandState& state) {
  if (utf8::PrefixMatch(state.word, "launch", 6)) return LaunchClient();
  if (utf8::PrefixMatch(state.word, "winamp", 6)) return LaunchWinamp();
  plat::Window main = inventory::g_clientWindows.mainWindow;
  if (main == nullptr) {
    plat::MessageBoxUtf8(kMissingClient, kErrorCaption, plat::MB_ICONERROR);
    return kStatusDone;
  }
  if (utf8::EqualsIgnoreCase(state.word, kListWindowsWord)) return ListWindows();
  int status = -1;
  for (const MenuWord& row : kMenuWords) {
    if (!utf8::PrefixMatch(state.word, row.literal, row.count)) continue;
    // A client that is hung already is told at once, not after the delay.
    if (row.menuId == client::kExit && state.firstArg != nullptr &&
        plat::CheckNotHung(main) == plat::Reply::Answered)
      WaitForExitDelay(state.firstArg);
    plat::SendMessageBounded(main, plat::WM_COMMAND, row.menuId, 0);
    status = kStatusSent;
    break;
  }
  if (status < 0) status = RunWindowCommand(state);
  // A client that did not answer is said so, whatever the command had done
  // before. A busy one had the last call in hand: it was delivered, and the
  // command keeps its status.
  return plat::CallsReply() == plat::Reply::NotAnswering ? NotResponding() : status;
}

}  // namespace app
