#include "app/command.h"
#include "app/launchers.h"
#include "app/window_commands.h"
#include "client/contract.h"
#include "client/text.h"
#include "client/windows.h"

namespace app {
namespace {

constexpr char kMissingClient[] =
    "Can't find Quenvale window\n\nUse 'Dowtrane launch' to start Quenvale";
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
    const int32_t seconds = text::ParseDecimal(argument);
    if (!(seconds > elapsed)) return;
    plat::Sleep(kDelayPollMilliseconds);
  }
}

}  // namespace

int Dispatch(CommandState& state) {
  if (text::PrefixMatch(state.word, "launch", 6)) return LaunchClient();
  if (text::PrefixMatch(state.word, "winamp", 6)) return LaunchWinamp();
  plat::Window main = client::g_windows.mainWindow;
  if (main == nullptr) {
    plat::MessageBoxA(kMissingClient, kErrorCaption, plat::MB_ICONERROR);
    return 0;
  }
  if (text::EqualsIgnoreCase(state.word, kListWindowsWord)) return ListWindows();
  for (const MenuWord& row : kMenuWords) {
    if (!text::PrefixMatch(state.word, row.literal, row.count)) continue;
    if (row.menuId == client::kExit && state.firstArg != nullptr)
      WaitForExitDelay(state.firstArg);
    plat::SendMessageA(main, plat::WM_COMMAND, row.menuId, 0);
    return 1;
  }
  return RunWindowCommand(state);
}

}  // namespace app
