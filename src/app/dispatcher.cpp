#include "app/dispatcher.h"

#include "app/launchers.h"
#include "app/messages.h"
#include "app/window_commands.h"
#include "app/window_list.h"
#include "inventory/client_windows.h"

namespace app {
namespace {

// Between clock readings of the exit delay. Short enough that the command
// goes out within a few tens of milliseconds of the moment the delay allows.
constexpr uint32_t kDelayPollMilliseconds = 10;

// Waits until at least the given whole seconds have passed on the tick
// count, which setting the system's time does not move. The command goes out
// at the first reading at which the elapsed whole seconds reach them; the
// wait sleeps between readings instead of keeping a processor busy.
void WaitForExitDelay(int32_t seconds) {
  const uint64_t start = plat::GetTickCount64() / 1000;
  for (;;) {
    const double elapsed = static_cast<double>(plat::GetTickCount64() / 1000 - start);
    if (!(seconds > elapsed)) return;
    plat::Sleep(kDelayPollMilliseconds);
  }
}

}  // namespace

int NotResponding() {
  plat::MessageBoxUtf8(kNotResponding, kErrorCaption, plat::MB_ICONERROR);
  return kStatusNotResponding;
}

int Dispatch(const CommandRecord& record) {
  if (record.command == Command::LaunchClient) return LaunchClient();
  if (record.command == Command::LaunchWinamp) return LaunchWinamp();
  plat::Window main = inventory::g_clientWindows.mainWindow;
  if (main == nullptr) {
    if (record.command == Command::ListWindows) return TellListError(kMissingClient, kStatusDone);
    plat::MessageBoxUtf8(kMissingClient, kErrorCaption, plat::MB_ICONERROR);
    return kStatusDone;
  }
  if (record.command == Command::ListWindows) return ListWindows();
  int status = kStatusSent;
  if (record.command == Command::MenuCommand || record.command == Command::Exit) {
    // A client that is hung already is told at once, not after the delay.
    if (record.delayed && plat::StopCallsIfHung(main) == plat::Reply::Answered)
      WaitForExitDelay(record.delaySeconds);
    plat::SendMessageBounded(main, plat::WM_COMMAND, record.menuId, 0);
  } else {
    status = RunWindowCommand(record);
  }
  // A client that did not answer is said so, whatever the command had done
  // before. A busy one had the last call in hand: it was delivered, and the
  // command keeps its status.
  return plat::CallsReply() == plat::Reply::NotAnswering ? NotResponding() : status;
}

}  // namespace app
