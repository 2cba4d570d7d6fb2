#include "app/entry.h"

#include "app/command.h"
#include "app/dispatcher.h"
#include "app/messages.h"
#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"

namespace app {
namespace {

constexpr char kShell[] = "explorer.exe";
constexpr char kHelpFile[] = "dowtrane.txt";

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// The process's command line in UTF-8; the run's tokens are cut out of it in place.
char g_line[plat::kCommandLineSize];

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
  char folder[utf8::kBufferSize];
  const size_t length = plat::ProgramPath(folder, sizeof folder);
  size_t folderEnd = 0;  // one past the last backslash
  for (size_t i = 0; i < length; ++i)
    if (folder[i] == '\\') folderEnd = i + 1;
  if (folderEnd == 0) return false;
  folder[folderEnd] = '\0';
  const bool quoted = NeedsQuotes(folder);
  utf8::Builder b = utf8::Start(out, capacity, utf8::kTextCharacters);
  if (quoted) utf8::AppendChar(b, '"');
  utf8::Append(b, folder);
  utf8::Append(b, kHelpFile);
  if (quoted) utf8::AppendChar(b, '"');
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

void OpenHelpFile() {
  // The one in the current directory as ever, by its bare name; otherwise
  // the one beside the program, which is where it is installed. When even
  // that path cannot be had, the bare name lets the shell say what is missing.
  char path[utf8::kBufferSize];
  const bool beside = !plat::FileExists(kHelpFile) && HelpFileBesideProgram(path, sizeof path);
  plat::ShellExecuteUtf8(kShell, beside ? path : kHelpFile, plat::SW_SHOWNORMAL);
}

int RunCommandTail(char* tail) {
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
  inventory::g_clientWindows.mainWindow = plat::FindWindowUtf8(client::kMainClass, nullptr);
  inventory::g_clientWindows.guiThreadId = plat::GetWindowThreadId(inventory::g_clientWindows.mainWindow);
  return Dispatch(record);
}

int RunProcessCommandLine() {
  plat::ReadProcessCommandLine(g_line, sizeof g_line);
  return RunCommandTail(g_line + (FindTail(g_line) - g_line));
}

}  // namespace app
