#include "app/listing.h"

#include "app/messages.h"

#include "text/utf8_text.h"
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
constexpr size_t kTitleBytes = kListedTitle * 4;  // four bytes a character at the most
constexpr size_t kLongestWindowLine = sizeof kIndent - 1 + sizeof "contact list" - 1 + 2 +
                                      sizeof kMinimized - 1 + sizeof kClickThrough - 1 + 2 +
                                      1 + kTitleBytes + 1 + sizeof kCut - 1;
constexpr size_t kLongestMainLine =
    sizeof kMainStart - 1 + 1 + kTitleBytes + 1 + sizeof kCut - 1 + sizeof kThread - 1 + 10;
static_assert(kLongestWindowLine < kListingLineSize, "a window line fits");
static_assert(kLongestMainLine < kListingLineSize, "the main window's line fits");
static_assert(sizeof kWindowsFollow < kListingLineSize, "the heading fits");

// The window's title in double quotes, at most kListedTitle characters of it
// (a surrogate pair is one); control characters, which would break the line,
// show as '?'.
void AppendTitle(utf8::Builder& b, plat::Window window) {
  char title[plat::kReadTextSize];
  plat::ReadWindowTitle(window, title, sizeof title);
  const size_t shown = utf8::CharacterPrefix(title, kListedTitle);
  utf8::AppendChar(b, '"');
  for (size_t i = 0; i < shown; ++i)
    utf8::AppendChar(b, static_cast<unsigned char>(title[i]) < 0x20 ? '?' : title[i]);
  utf8::AppendChar(b, '"');
  if (title[shown] != '\0') utf8::Append(b, kCut);
}

const char* StateName(plat::Window window) {
  if (!plat::IsWindowVisible(window)) return kHidden;
  return plat::IsIconic(window) ? kMinimized : kVisible;
}

int ListWindow(const WindowNode* node, bool inside, LineProc proc, intptr_t context) {
  char line[kListingLineSize];
  utf8::Builder b = utf8::Start(line, sizeof line);
  if (inside) utf8::Append(b, kIndent);
  const bool known = node->kind >= 0 && static_cast<size_t>(node->kind) < kKindCount;
  utf8::Append(b, known ? kKindNames[node->kind] : kUnknownKind);
  utf8::Append(b, ", ");
  utf8::Append(b, StateName(node->window));
  if ((plat::GetExtendedStyle(node->window) & plat::WS_EX_TRANSPARENT) != 0)
    utf8::Append(b, kClickThrough);
  utf8::Append(b, ": ");
  AppendTitle(b, node->window);
  return proc(line, context);
}

}  // namespace

void ListInventory(const WindowNode* first, LineProc proc, intptr_t context) {
  char line[kListingLineSize];
  utf8::Builder b = utf8::Start(line, sizeof line);
  utf8::Append(b, kMainStart);
  AppendTitle(b, g_clientWindows.mainWindow);
  utf8::Append(b, kThread);
  utf8::AppendDecimal(b, g_clientWindows.guiThreadId);
  if (proc(line, context) == 0) return;

  b = utf8::Start(line, sizeof line);
  utf8::Append(b, kContactListStart);
  if (g_clientWindows.contactListWindow != nullptr)
    AppendTitle(b, g_clientWindows.contactListWindow);
  else
    utf8::Append(b, kNone);
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
