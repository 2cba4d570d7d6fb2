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
// The shell's full path. Here rather than on the stack, where the help
// file's path and the folders they are made of take most of the 4 KiB that a
// frame may have without a stack probe.
char g_shell[utf8::kBufferSize];

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

// The shell of the Windows folder, by its full path; false when the folder
// cannot be read or the path would not fit. Never the bare name: that is
// looked for first in the program's own folder and then in the current one,
// and an explorer.exe left there (in Downloads, beside the program) would
// run in the shell's place.
bool ShellInWindowsFolder(char* out, size_t capacity) {
  char folder[plat::kReadTextSize];
  const size_t length = plat::WindowsFolder(folder, sizeof folder);
  if (length == 0) return false;
  utf8::Builder b = utf8::Start(out, capacity, utf8::kTextCharacters);
  utf8::Append(b, folder);
  if (folder[length - 1] != '\\') utf8::AppendChar(b, '\\');  // a drive's root has its own
  utf8::Append(b, kShell);
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

int OpenHelpFile() {
  if (!ShellInWindowsFolder(g_shell, sizeof g_shell)) {
    plat::MessageBoxUtf8(kNoWindowsFolder, kErrorCaption, plat::MB_ICONERROR);
    return kStatusRefused;
  }
  // The one in the current directory as ever, by its bare name; otherwise
  // the one beside the program, which is where it is installed. When even
  // that path cannot be had, the bare name lets the shell say what is missing.
  char path[utf8::kBufferSize];
  const bool beside = !plat::FileExists(kHelpFile) && HelpFileBesideProgram(path, sizeof path);
  plat::ShellExecuteUtf8(g_shell, beside ? path : kHelpFile, plat::SW_SHOWNORMAL);
  return kStatusDone;
}

int RunCommandTail(char* tail) {
  if (tail[0] == '\0') return OpenHelpFile();
  CommandRecord record;
  if (!ReadCommand(tail, record)) return kStatusDone;  // cannot happen: the tail starts with no blank
  // With or without the client.
  if (record.command == Command::OpenHelp) return OpenHelpFile();
  inventory::g_clientWindows.mainWindow = plat::FindWindowUtf8(client::kMainClass, nullptr);
  inventory::g_clientWindows.guiThreadId = plat::GetWindowThreadId(inventory::g_clientWindows.mainWindow);
  return Dispatch(record);
}

int RunProcessCommandLine() {
  plat::ReadProcessCommandLine(g_line, sizeof g_line);
  return RunCommandTail(g_line + (FindTail(g_line) - g_line));
}

}  // namespace app
