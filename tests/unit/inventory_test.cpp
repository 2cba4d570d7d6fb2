#include "inventory/inventory.h"

#include <gtest/gtest.h>

#include <string>

#include "inventory/client_windows.h"
#include "fake_windows.h"

using inventory::WindowNode;

namespace {

// A node's kind by its name in the program.
std::string KindName(int32_t kind) {
  switch (kind) {
    case inventory::ContactList: return "ContactList";
    case inventory::Container: return "Container";
    case inventory::Console: return "Console";
    case inventory::Private: return "Private";
    case inventory::Channel: return "Channel";
    case inventory::Plain: return "Plain";
    case inventory::PlainQuiet: return "PlainQuiet";
    default: return "kind" + std::to_string(kind);
  }
}

class Inventory : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    inventory::g_clientWindows = inventory::ClientWindows{};
    allocationsBefore_ = fake::LiveAllocations();
  }
  void TearDown() override {
    inventory::FreeWindowTree(root_);
    EXPECT_EQ(fake::LiveAllocations(), allocationsBefore_);
  }
  // "label:kind" for each node, children in brackets after their container.
  std::string Build() {
    root_ = inventory::NewWindowNode();
    plat::EnumThreadWindows(1, inventory::ClassifyWindow, reinterpret_cast<intptr_t>(root_));
    std::string out;
    for (WindowNode* n = root_->next; n != nullptr; n = n->next) {
      out += fake::Label(n->window) + ":" + KindName(n->kind);
      if (n->children != nullptr) {
        out += "[";
        for (WindowNode* c = n->children; c != nullptr; c = c->next) {
          out += fake::Label(c->window) + ":" + KindName(c->kind);
          EXPECT_EQ(c->children, nullptr);
          if (c->next != nullptr) out += " ";
        }
        out += "]";
      }
      if (n->next != nullptr) out += " ";
    }
    return out;
  }
  WindowNode* root_ = nullptr;
  int allocationsBefore_ = 0;
};

}  // namespace

TEST_F(Inventory, ClassifiesByPrecedence) {
  fake::Top("main", "quenvale", "Quenvale");
  plat::Window list = fake::Top("list", "x", "Contacts console");
  fake::Child(list, "holder", "iconholder");
  fake::Child(list, "l1", "Quenvale - List");
  plat::Window channel = fake::Top("channel", "x", "#chat console");
  fake::Child(channel, "l2", "quenvale - list");
  plat::Window console = fake::Top("console", "x", "AIM CONSOLE");
  fake::Child(console, "d1", "quenvale display");
  plat::Window priv = fake::Top("private", "x", "Bob");
  fake::Child(priv, "d2", "quenvale display");
  fake::Top("bare", "x", "console");
  fake::Top("short", "x", "onsole");
  fake::Top("notmain1", "quenvale", "Quenvale ");
  fake::Top("notmain2", "Quenvale", "Quenvale");
  fake::Top("empty", "x", "");
  fake::Top("dialog", "x", "Sending an Instant Message...");
  fake::Top("dialog2", "x", "sending an instant message...");
  fake::Top("otherthread", "x", "Elsewhere", 2);
  // The system's windows on the client's thread, by class in any case,
  // whatever their titles and children; a class that only begins alike is
  // the client's.
  plat::Window ime = fake::Top("ime", "IME", "Default IME");
  fake::Child(ime, "holder2", "iconholder");
  fake::Top("ime2", "ime", "AIM console");
  fake::Top("tsf", "MSCTFIME UI", "MSCTFIME UI");
  fake::Top("gdiplus", "GDI+ Hook Window Class", "GDI+ Window (quenvale.exe)");
  fake::Top("com", "OleMainThreadWndClass", "OleMainThreadWndName");
  fake::Top("notime", "IMEX", "Default IME");
  EXPECT_EQ(Build(),
            "list:ContactList channel:Channel console:Console private:Private bare:Console "
            "short:Plain notmain1:Plain notmain2:Plain dialog:PlainQuiet dialog2:Plain "
            "notime:Plain");
  EXPECT_EQ(inventory::g_clientWindows.contactListWindow, list);
}

TEST_F(Inventory, ContainersHoldTheirRecognisedDescendantsAtAnyDepth) {
  plat::Window box = fake::Top("box", "frame", "Work");
  plat::Window mdi = fake::Child(box, "mdi", "MDIClient", "unrecognised");
  plat::Window inner = fake::Child(mdi, "inner", "frame", "Bob");
  fake::Child(inner, "d", "quenvale display");
  fake::Child(mdi, "c", "x", "AIM Console");
  plat::Window holder = fake::Child(mdi, "buddies", "x", "Buddies");
  fake::Child(holder, "h", "iconholder");
  plat::Window untitled = fake::Child(mdi, "untitled", "x", "");
  fake::Child(untitled, "h2", "iconholder");
  plat::Window lone = fake::Top("lone", "frame", "Tools");
  fake::Child(lone, "button", "Button", "OK");
  fake::Child(lone, "edit", "Edit", "");
  plat::Window later = fake::Top("later", "x", "Later");
  fake::Child(later, "h3", "iconholder");
  plat::Window late = fake::Top("late", "x", "Last");
  // The contact list found deep inside a container is overridden by a later one.
  EXPECT_EQ(Build(),
            "box:Container[inner:Private c:Console buddies:ContactList] lone:Plain "
            "later:ContactList late:Plain");
  EXPECT_EQ(inventory::g_clientWindows.contactListWindow, later);
  (void)late;
}

TEST_F(Inventory, FindContainerComparesWholeTitlesWithoutCase) {
  plat::Window p = fake::Top("private", "x", "Work");
  fake::Child(p, "d", "quenvale display");
  plat::Window a = fake::Top("a", "x", "Home");
  fake::Child(a, "c1", "x", "aim console");
  plat::Window b = fake::Top("b", "x", "Work");
  fake::Child(b, "c2", "x", "irc console");
  // Six Cyrillic letters each; capitals outside ASCII do not fold.
  fake::Child(fake::Top("tasks", "x", "Задачи"), "c3", "x", "msn console");
  plat::Window work = fake::Top("work", "x", "Работа");
  fake::Child(work, "c4", "x", "icq console");
  Build();
  EXPECT_EQ(inventory::FindContainer(root_->next, "Работа")->window, work);
  EXPECT_EQ(inventory::FindContainer(root_->next, "работа"), nullptr);
  EXPECT_EQ(inventory::FindContainer(root_->next, "РАБОТА"), nullptr);
  EXPECT_EQ(inventory::FindContainer(root_->next, "WORK")->window, b);
  EXPECT_EQ(inventory::FindContainer(root_->next, nullptr)->window, a);  // the first
  EXPECT_EQ(inventory::FindContainer(root_->next, "Wor"), nullptr);
  EXPECT_EQ(inventory::FindContainer(root_->next, "Works"), nullptr);
  EXPECT_EQ(inventory::FindContainer(nullptr, nullptr), nullptr);
}

TEST_F(Inventory, EmptyInventoryAndNullRelease) {
  EXPECT_EQ(Build(), "");
  EXPECT_EQ(root_->next, nullptr);
  EXPECT_EQ(inventory::FreeWindowTree(nullptr), 0);
}

TEST_F(Inventory, WindowsThatCloseDuringTheBuildAreLeftOut) {
  plat::Window gone = fake::Top("gone", "x", "Gone");
  fake::Top("kept", "x", "Kept");
  fake::Destroy(gone);
  EXPECT_EQ(Build(), "kept:Plain");
}

TEST_F(Inventory, TenThousandWindowsBuildAndReleaseWithoutDeepStacks) {
  for (int i = 0; i < 10000; ++i) fake::Top("w" + std::to_string(i), "x", "title");
  Build();
  int count = 0;
  for (WindowNode* n = root_->next; n != nullptr; n = n->next) ++count;
  EXPECT_EQ(count, 10000);
}

TEST_F(Inventory, RunningOutOfMemoryIsReportedToTheCallerWithNothingLeftAllocated) {
  fake::Top("a", "x", "A");
  plat::Window box = fake::Top("box", "frame", "Work");
  fake::Child(box, "c", "x", "aim console");
  fake::Top("b", "x", "B");
  inventory::g_clientWindows.guiThreadId = 1;
  for (int fit : {0, 1, 2, 3}) {  // the root, a window, the container, a window inside it
    fake::FailAllocationsAfter(fit);
    EXPECT_EQ(inventory::BuildInventory(), nullptr) << fit << " allocations fit";
    EXPECT_EQ(fake::LiveAllocations(), allocationsBefore_);
  }
  fake::FailAllocationsAfter(-1);
  EXPECT_NE(root_ = inventory::BuildInventory(), nullptr);
  EXPECT_TRUE(fake::Boxes().empty());
}
