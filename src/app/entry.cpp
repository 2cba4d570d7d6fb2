#include "app/command.h"
#include "app/messages.h"
#include "client/contract.h"
#include "text/ansi_text.h"
#include "inventory/client_windows.h"

namespace app {
namespace {

constexpr char kShell[] = "explorer.exe";
constexpr char kHelpFile[] = "dowtrane.txt";

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// A Windows command line holds at most 32767 characters.
char g_tail[32768];

// The shell would split its parameters at a blank, and explorer.exe its own
// at a comma, so a path holding either goes in double quotes.
bool NeedsQuotes(const char* path) {
  for (const char* p = path; *p != '\0'; ++p)
    if (*p == ' ' || *p == ',') return true;
  return false;
}

// The help file in the program's folder, by its full path, as the shell's
// parameters; false when the program's path cannot be read or the result
// would not fit.
bool HelpFileBesideProgram(char* out, size_t capacity) {
  char folder[ansi::kBufferSize];
  const size_t length = plat::ProgramPath(folder, sizeof folder);
  size_t folderEnd = 0;  // one past the last backslash
  for (size_t i = 0; i < length; ++i)
    if (folder[i] == '\\') folderEnd = i + 1;
  if (folderEnd == 0) return false;
  folder[folderEnd] = '\0';
  const bool quoted = NeedsQuotes(folder);
  ansi::Builder b = ansi::Start(out, capacity);
  if (quoted) ansi::AppendChar(b, '"');
  ansi::Append(b, folder);
  ansi::Append(b, kHelpFile);
  if (quoted) ansi::AppendChar(b, '"');
  return !b.cut;
}

}  // namespace

const char* FindTail(const char* line) {
  const char* p = line;
  while (IsBlankOrTab(*p)) ++p;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"' && *p != '\t') ++p;
  } else {
    while (*p != '\0' && !IsBlankOrTab(*p)) ++p;
  }
  if (*p == '"') ++p;
  while (IsBlankOrTab(*p)) ++p;
  return p;
}

char* NextToken(char** cursor) {
  char* p = *cursor;
  while (*p == ' ') ++p;
  if (*p == '\0') {
    *cursor = p;
    return nullptr;
  }
  char* token = p;
  while (*p != '\0' && *p != ' ') ++p;
  if (*p == ' ') *p++ = '\0';
  *cursor = p;
  return token;
}

void OpenHelpFile() {
  // The one in the current directory as ever, by its bare name; otherwise
  // the one beside the program, which is where it is installed. When even
  // that path cannot be had, the bare name lets the shell say what is missing.
  char path[ansi::kBufferSize];
  const bool beside = !plat::FileExists(kHelpFile) && HelpFileBesideProgram(path, sizeof path);
  plat::ShellExecuteA(kShell, beside ? path : kHelpFile, plat::SW_SHOWNORMAL);
}

int WinMain(char* tail) {
  if (tail[0] == '\0') {
    OpenHelpFile();
    return kStatusDone;
  }
  CommandRecord record;
  if (!ReadCommand(tail, record)) return kStatusDone;  // cannot happen: the tail starts with no blank
  // With or without the client.
  if (record.command == Command::OpenHelp) {
    OpenHelpFile();
    return kStatusDone;
  }
  inventory::g_clientWindows.mainWindow = plat::FindWindowA(client::kMainClass, nullptr);
  inventory::g_clientWindows.guiThreadId = plat::GetWindowThreadId(inventory::g_clientWindows.mainWindow);
  return Dispatch(record);
}

int RunProcessCommandLine() {
  const char* tail = FindTail(plat::ProcessCommandLineA());
  size_t n = 0;
  while (tail[n] != '\0' && n + 1 < sizeof g_tail) {
    g_tail[n] = tail[n];
    ++n;
  }
  g_tail[n] = '\0';
  return WinMain(g_tail);
}

}  // namespace app
