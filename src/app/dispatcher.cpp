#include "app/dispatcher.h"

#include "app/bindings.h"
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

// Says that the client is not responding; returns kStatusNotResponding.
int NotResponding() {
  plat::MessageBoxUtf8(kNotResponding, kErrorCaption, plat::MB_ICONERROR);
  return kStatusNotResponding;
}

}  // namespace

void WriteText(const char* text, bool standardError) {
  // Twice a text's bytes: every '\n' may take a '\r' before it.
  char out[utf8::kBufferSize * 2];
  utf8::Builder b = utf8::Start(out, sizeof out);
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') utf8::AppendChar(b, '\r');
    utf8::AppendChar(b, *p);
  }
  utf8::Append(b, kLineEnd);
  if (standardError)
    plat::WriteStandardError(out, b.length);
  else
    plat::WriteStandardOutput(out, b.length);
}

int TellError(const char* text, int status) {
  if (!plat::StandardOutputIsFileOrPipe()) {
    plat::MessageBoxUtf8(text, kErrorCaption, plat::MB_ICONERROR);
    return status;
  }
  // Nothing else is left to say it with when this fails; the status still tells.
  WriteText(text, true);
  return status;
}

bool CallsFailed() {
  const plat::Reply reply = plat::CallsReply();
  return reply != plat::Reply::Answered && reply != plat::Reply::Busy;
}

int TellIfCallsFailed(int status) {
  switch (plat::CallsReply()) {
    case plat::Reply::NotAnswering:
      return NotResponding();
    case plat::Reply::Refused:
      return TellError(kHigherRights, kStatusHigherRights);
    case plat::Reply::NoHelper:
      return OutOfMemory();
    default:
      return status;
  }
}

int Dispatch(const CommandRecord& record) {
  if (record.command == Command::LaunchClient) return LaunchClient();
  if (record.command == Command::LaunchWinamp) return LaunchWinamp();
  if (record.command == Command::Bind || record.command == Command::Unbind)
    return RunHotkeyCommand(record);
  plat::Window main = inventory::g_clientWindows.mainWindow;
  if (main == nullptr) {
    if (record.command == Command::ListWindows) return TellError(kMissingClient, kStatusDone);
    plat::MessageBoxUtf8(kMissingClient, kErrorCaption, plat::MB_ICONERROR);
    return kStatusDone;
  }
  if (record.command == Command::ListWindows) return ListWindows();
  int status = kStatusSent;
  if (record.command == Command::MenuCommand || record.command == Command::ForwardMenuCommand ||
      record.command == Command::Exit) {
    // A client that is hung already is told at once, not after the delay.
    if (record.delayed && plat::StopCallsIfHung(main) == plat::Reply::Answered)
      WaitForExitDelay(record.delaySeconds);
    // The client comes forward by itself, which Windows allows it only with
    // the run's right to the foreground.
    if (record.command == Command::ForwardMenuCommand) plat::AllowForegroundFor(main);
    plat::SendMessageBounded(main, plat::WM_COMMAND, record.menuId, 0);
  } else {
    status = RunWindowCommand(record);
  }
  // Calls that failed are said so, whatever the command had done before. A
  // busy client had the last call in hand: it was delivered, and the
  // command keeps its status.
  return TellIfCallsFailed(status);
}

}  // namespace app
