#include "app/launchers.h"
#include "app/messages.h"

#include "app/command.h"
#include "client/contract.h"
#include "text/ansi_text.h"
#include "inventory/client_windows.h"
#include "platform/platform.h"

namespace app {
namespace {

// The client's uninstall entry is the program's path followed by ten more
// characters, which are cut off.
constexpr size_t kClientEntrySuffix = 10;

void Start(const char* program) { plat::ShellExecuteA(program, nullptr, plat::SW_SHOWNORMAL); }

}  // namespace

int LaunchClient() {
  if (inventory::g_clientWindows.mainWindow != nullptr) return kStatusSent;
  char path[ansi::kBufferSize];
  size_t length = 0;
  plat::RegistryRead read = plat::ReadMachineText(client::kClientUninstallKey,
                                                  client::kUninstallValue, path, sizeof path,
                                                  &length);
  // Unreadable, too long (399 characters or more) or too short to hold a
  // path before its ten last characters: start the client by its bare name.
  if (read != plat::RegistryRead::Ok || length >= sizeof path - 1 || length <= kClientEntrySuffix) {
    Start(client::kClientProgram);
    return kStatusSent;
  }
  path[length - kClientEntrySuffix] = '\0';
  Start(path);
  return kStatusSent;
}

int LaunchWinamp() {
  plat::Window player = plat::FindWindowA(client::kPlayerClass, nullptr);
  plat::Window main = inventory::g_clientWindows.mainWindow;
  plat::SendMessageBounded(main, plat::WM_COMMAND, client::kSound, 0);
  if (plat::CallsReply() == plat::Reply::NotAnswering) return NotResponding();
  if (player != nullptr) {
    // The player is another program: whether it answers changes nothing here.
    plat::SendToOtherProgram(player, plat::WM_COMMAND, client::kPlayerCommand, 0);
    return kStatusSent;
  }

  char path[ansi::kBufferSize];
  size_t length = 0;
  plat::RegistryRead read = plat::ReadMachineText(client::kPlayerUninstallKey,
                                                  client::kUninstallValue, path, sizeof path,
                                                  &length);
  // The player's program lies in the folder of its uninstaller. When that
  // folder cannot be found, or the path would not fit, the player is started
  // by its bare name, as the shell knows it.
  size_t folderEnd = 0;  // one past the last backslash; 0 when there is none
  if (read == plat::RegistryRead::Ok)
    for (size_t i = 0; i < length; ++i)
      if (path[i] == '\\') folderEnd = i + 1;
  const bool quoted = path[0] == '"';
  if (folderEnd == 0 || folderEnd + ansi::Length(client::kPlayerProgram) >= sizeof path) {
    Start(client::kPlayerProgram);
    return kStatusSent;
  }
  ansi::Builder b = ansi::Start(path + folderEnd, sizeof path - folderEnd);
  ansi::Append(b, client::kPlayerProgram);
  Start(quoted ? path + 1 : path);
  return kStatusSent;
}

}  // namespace app
