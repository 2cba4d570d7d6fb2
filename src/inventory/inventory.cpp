#include "inventory/inventory.h"

#include "client/contract.h"
#include "text/utf8_text.h"
#include "inventory/client_windows.h"

namespace inventory {
namespace {

// Set when a node could not be allocated during the build. One value for the
// process, zero at start: the callbacks of nested enumerations reach it
// without a context of their own.
bool g_outOfMemory;

bool HasChildOfClass(plat::Window window, const char* className) {
  return plat::FindWindowExUtf8(window, nullptr, className, nullptr) != nullptr;
}

bool EndsInConsole(const char* title) {
  constexpr size_t kSuffix = sizeof client::kConsoleTitleSuffix - 1;
  size_t length = utf8::Length(title);
  return length >= kSuffix &&
         utf8::PrefixMatch(title + length - kSuffix, client::kConsoleTitleSuffix, kSuffix);
}

// A window of the system's own on the client's thread (client/contract.h).
bool IsSystemWindow(const char* className) {
  for (const char* systemClass : client::kSystemWindowClasses)
    if (utf8::EqualsIgnoreCase(className, systemClass)) return true;
  return false;
}

// Kinds 0, 2, 3 and 4 by their tests in order of precedence; -1 when none holds.
int32_t RecognisedKind(plat::Window window, const char* title) {
  if (HasChildOfClass(window, client::kIconHolderClass)) return ContactList;
  if (HasChildOfClass(window, client::kListClass)) return Channel;
  if (EndsInConsole(title)) return Console;
  if (HasChildOfClass(window, client::kDisplayClass)) return Private;
  return -1;
}

// The new node at the end of context's list; null when memory runs out.
WindowNode* Append(WindowNode* context, plat::Window window, int32_t kind) {
  WindowNode* cursor = context->tail;
  WindowNode* node = NewWindowNode();
  if (node == nullptr) {
    g_outOfMemory = true;
    return nullptr;
  }
  if (cursor->kind == BeingNested)
    cursor->children = node;  // the marked node's child list is still empty
  else
    cursor->next = node;
  context->tail = node;
  node->window = window;
  node->kind = kind;
  return node;
}

}  // namespace

WindowNode* NewWindowNode() {
  WindowNode* node = static_cast<WindowNode*>(plat::AllocateZeroed(sizeof(WindowNode)));
  if (node == nullptr) return nullptr;
  node->next = nullptr;
  node->children = nullptr;
  node->tail = node;
  node->kind = ContactList;
  node->window = nullptr;
  return node;
}

int FreeWindowTree(WindowNode* node) {
  // Along a list: every child list first, in list order, then the nodes from
  // the last back to the first. Iterating instead of recursing along next
  // keeps the stack flat however many windows the client has; the list is
  // reversed in place on the way, since it is being released anyway.
  WindowNode* reversed = nullptr;
  while (node != nullptr) {
    FreeWindowTree(node->children);  // nesting is at most two levels deep
    WindowNode* following = node->next;
    node->next = reversed;
    reversed = node;
    node = following;
  }
  while (reversed != nullptr) {
    WindowNode* before = reversed->next;
    plat::Release(reversed);
    reversed = before;
  }
  return 0;
}

int ClassifyWindow(plat::Window window, intptr_t contextValue) {
  WindowNode* context = reinterpret_cast<WindowNode*>(contextValue);
  char title[plat::kReadTextSize];
  char className[plat::kReadTextSize];
  plat::ReadWindowTitle(window, title, sizeof title);
  plat::ReadClassName(window, className, sizeof className);
  if (title[0] == '\0') return 1;
  if (utf8::Equals(title, client::kMainTitle) && utf8::Equals(className, client::kMainClass))
    return 1;
  if (IsSystemWindow(className)) return 1;

  int32_t kind = RecognisedKind(window, title);
  if (kind >= 0) {
    if (Append(context, window, kind) == nullptr) return 0;
    if (kind == ContactList) g_clientWindows.contactListWindow = window;
    return 1;
  }

  // An unrecognised window met inside a nested pass is dropped; the running
  // child enumeration still reports its descendants.
  if (context->kind == BeingNested) return 1;

  WindowNode* marked = Append(context, window, BeingNested);
  if (marked == nullptr) return 0;
  plat::EnumChildWindows(window, ClassifyWindow, reinterpret_cast<intptr_t>(marked));
  if (g_outOfMemory) return 0;
  if (marked->children != nullptr)
    marked->kind = Container;
  else if (utf8::Equals(title, client::kSendDialogTitle))
    marked->kind = PlainQuiet;  // the send dialog is no chat window
  else
    marked->kind = Plain;
  return 1;
}

WindowNode* BuildInventory() {
  g_clientWindows.contactListWindow = nullptr;
  g_outOfMemory = false;
  WindowNode* root = NewWindowNode();
  if (root == nullptr) return nullptr;
  plat::EnumThreadWindows(g_clientWindows.guiThreadId, ClassifyWindow,
                          reinterpret_cast<intptr_t>(root));
  if (!g_outOfMemory) return root;
  FreeWindowTree(root);
  return nullptr;
}

WindowNode* FindContainer(WindowNode* node, const char* name) {
  for (; node != nullptr; node = node->next) {
    char title[plat::kReadTextSize];
    plat::ReadWindowTitle(node->window, title, sizeof title);
    if (node->kind != Container) continue;
    if (name == nullptr || utf8::EqualsIgnoreCase(name, title)) return node;
  }
  return nullptr;
}

}  // namespace inventory
