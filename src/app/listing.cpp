#include "app/listing.h"

#include "app/messages.h"

#include "text/ansi_text.h"
#include "inventory/client_windows.h"

namespace app {
namespace {

using namespace listing;
using inventory::g_clientWindows;
using inventory::PlainQuiet;
using inventory::WindowNode;

constexpr size_t kKindCount = sizeof kKindNames / sizeof kKindNames[0];
static_assert(kKindCount == PlainQuiet + 1, "a name for every kind");

// The longest window line: indent, kind, state, click-through, quoted title, cut mark.
constexpr size_t kLongestWindowLine = sizeof kIndent - 1 + sizeof "contact list" - 1 + 2 +
                                      sizeof kMinimized - 1 + sizeof kClickThrough - 1 + 2 +
                                      1 + kListedTitle + 1 + sizeof kCut - 1;
constexpr size_t kLongestMainLine =
    sizeof kMainStart - 1 + 1 + kListedTitle + 1 + sizeof kCut - 1 + sizeof kThread - 1 + 10;
static_assert(kLongestWindowLine < kListingLineSize, "a window line fits");
static_assert(kLongestMainLine < kListingLineSize, "the main window's line fits");
static_assert(sizeof kWindowsFollow < kListingLineSize, "the heading fits");

// The window's title in double quotes, at most kListedTitle characters of it
// (never half a double-byte character); control characters, which would
// break the line, show as '?'.
void AppendTitle(ansi::Builder& b, plat::Window window) {
  char title[ansi::kBufferSize];
  plat::ReadWindowTitle(window, title, sizeof title);
  const size_t shown = plat::FittingPrefix(title, kListedTitle);
  ansi::AppendChar(b, '"');
  for (size_t i = 0; i < shown; ++i)
    ansi::AppendChar(b, static_cast<unsigned char>(title[i]) < 0x20 ? '?' : title[i]);
  ansi::AppendChar(b, '"');
  if (title[shown] != '\0') ansi::Append(b, kCut);
}

const char* StateName(plat::Window window) {
  if (!plat::IsWindowVisible(window)) return kHidden;
  return plat::IsIconic(window) ? kMinimized : kVisible;
}

int ListWindow(const WindowNode* node, bool inside, LineProc proc, intptr_t context) {
  char line[kListingLineSize];
  ansi::Builder b = ansi::Start(line, sizeof line);
  if (inside) ansi::Append(b, kIndent);
  const bool known = node->kind >= 0 && static_cast<size_t>(node->kind) < kKindCount;
  ansi::Append(b, known ? kKindNames[node->kind] : kUnknownKind);
  ansi::Append(b, ", ");
  ansi::Append(b, StateName(node->window));
  if ((plat::GetExtendedStyle(node->window) & plat::WS_EX_TRANSPARENT) != 0)
    ansi::Append(b, kClickThrough);
  ansi::Append(b, ": ");
  AppendTitle(b, node->window);
  return proc(line, context);
}

}  // namespace

void ListInventory(const WindowNode* first, LineProc proc, intptr_t context) {
  char line[kListingLineSize];
  ansi::Builder b = ansi::Start(line, sizeof line);
  ansi::Append(b, kMainStart);
  AppendTitle(b, g_clientWindows.mainWindow);
  ansi::Append(b, kThread);
  ansi::AppendDecimal(b, g_clientWindows.guiThreadId);
  if (proc(line, context) == 0) return;

  b = ansi::Start(line, sizeof line);
  ansi::Append(b, kContactListStart);
  if (g_clientWindows.contactListWindow != nullptr)
    AppendTitle(b, g_clientWindows.contactListWindow);
  else
    ansi::Append(b, kNone);
  if (proc(line, context) == 0) return;

  if (proc(first != nullptr ? kWindowsFollow : kNoWindows, context) == 0) return;
  // Nesting is at most two levels deep: a container's windows hold none.
  for (const WindowNode* node = first; node != nullptr; node = node->next) {
    if (ListWindow(node, false, proc, context) == 0) return;
    for (const WindowNode* child = node->children; child != nullptr; child = child->next)
      if (ListWindow(child, true, proc, context) == 0) return;
  }
}

}  // namespace app
