#include "app/launchers.h"
#include "app/messages.h"

#include "app/dispatcher.h"
#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"
#include "platform/platform.h"

namespace app {
namespace {

// The client's uninstall entry is the program's path followed by ten more
// characters, which are cut off.
constexpr size_t kClientEntrySuffix = 10;

// Says that the shell could not start program, and why: the system's words
// for the error after a blank line, which always show whole; a path too
// long for the box with them is cut.
void SayCannotStart(const char* program, uint32_t error) {
  char ending[sizeof starting::kReason + plat::kSystemTextSize];
  utf8::Builder reason = utf8::Start(ending, sizeof ending);
  utf8::Append(reason, starting::kReason);
  if (plat::SystemErrorText(error, ending + reason.length, sizeof ending - reason.length) == 0) {
    utf8::Append(reason, starting::kErrorNumber);
    utf8::AppendDecimal(reason, error);
  }
  char text[utf8::kBufferSize];
  utf8::Builder b = utf8::Start(text, sizeof text, utf8::kTextCharacters);
  utf8::Append(b, starting::kCannotStart);
  utf8::AppendReserving(b, program, ending);
  utf8::Append(b, ending);
  plat::MessageBoxUtf8(text, kErrorCaption, plat::MB_ICONERROR);
}

void Start(const char* program) {
  const uint32_t error =
      plat::ShellExecuteError(plat::ShellExecuteUtf8(program, nullptr, plat::SW_SHOWNORMAL));
  if (error != 0) SayCannotStart(program, error);
}

}  // namespace

int LaunchClient() {
  if (inventory::g_clientWindows.mainWindow != nullptr) return kStatusSent;
  char path[plat::kRegistryTextSize];
  size_t length = 0;
  plat::RegistryRead read = plat::ReadUserOrMachineText(
      client::kClientUninstallKey, client::kUninstallValue, path, sizeof path, &length);
  // Unreadable, too long (399 characters or more) or too short to hold a
  // path before its ten last characters: start the client by its bare name.
  const size_t characters = utf8::Characters(path);
  if (read != plat::RegistryRead::Ok || characters >= utf8::kTextCharacters ||
      characters <= kClientEntrySuffix) {
    Start(client::kClientProgram);
    return kStatusSent;
  }
  utf8::KeepCharacters(path, characters - kClientEntrySuffix);
  Start(path);
  return kStatusSent;
}

int LaunchWinamp() {
  plat::Window player = plat::FindWindowUtf8(client::kPlayerClass, nullptr);
  plat::Window main = inventory::g_clientWindows.mainWindow;
  plat::SendMessageBounded(main, plat::WM_COMMAND, client::kSound, 0);
  if (CallsFailed()) return TellIfCallsFailed(kStatusSent);
  if (player != nullptr) {
    // The player is another program: whether it answers changes nothing here.
    plat::SendToOtherProgram(player, plat::WM_COMMAND, client::kPlayerCommand, 0);
    return kStatusSent;
  }

  char path[plat::kRegistryTextSize];
  size_t length = 0;
  plat::RegistryRead read = plat::ReadUserOrMachineText(
      client::kPlayerUninstallKey, client::kUninstallValue, path, sizeof path, &length);
  // The player's program lies in the folder of its uninstaller. When that
  // folder cannot be found, or the path would not fit, the player is started
  // by its bare name, as the shell knows it.
  size_t folderEnd = 0;  // one past the last backslash; 0 when there is none
  if (read == plat::RegistryRead::Ok)
    for (size_t i = 0; i < length; ++i)
      if (path[i] == '\\') folderEnd = i + 1;
  const bool quoted = path[0] == '"';
  if (folderEnd == 0 || utf8::CountCharacters(path, folderEnd) +
                            utf8::Length(client::kPlayerProgram) > utf8::kTextCharacters) {
    Start(client::kPlayerProgram);
    return kStatusSent;
  }
  utf8::Builder b = utf8::Start(path + folderEnd, sizeof path - folderEnd);
  utf8::Append(b, client::kPlayerProgram);
  Start(quoted ? path + 1 : path);
  return kStatusSent;
}

}  // namespace app
