#include "app/command.h"
#include "client/contract.h"
#include "client/windows.h"

namespace app {
namespace {

constexpr char kShell[] = "explorer.exe";
constexpr char kHelpFile[] = "dowtrane.txt";

bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

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

int WinMain(char* tail) {
  if (tail[0] == '\0') {
    plat::ShellExecuteA(kShell, kHelpFile, plat::SW_SHOWNORMAL);
    return 0;
  }
  CommandState state;
  char* cursor = tail;
  state.word = NextToken(&cursor);
  state.firstArg = state.word != nullptr ? NextToken(&cursor) : nullptr;
  state.secondArg = state.firstArg != nullptr ? NextToken(&cursor) : nullptr;
  state.thirdArg = state.secondArg != nullptr ? NextToken(&cursor) : nullptr;
  if (state.word == nullptr) return 0;  // cannot happen: the tail starts with no blank

  state.action[0] = '0';
  state.action[1] = '\0';
  state.number = 0;
  for (char& c : state.text) c = '\0';
  state.foregroundMain = false;
  state.actionSet = true;

  int count = 0;
  state.wideArgs = plat::CommandLineArgs(&count);
  state.wideArgCount = state.wideArgs != nullptr ? count : 0;

  client::g_windows.mainWindow = plat::FindWindowA(client::kMainClass, nullptr);
  client::g_windows.guiThreadId = plat::GetWindowThreadId(client::g_windows.mainWindow);
  return Dispatch(state);
}

}  // namespace app
