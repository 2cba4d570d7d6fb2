#include "inventory/walk.h"

#include <gtest/gtest.h>

#include "app/command.h"
#include "inventory/client_windows.h"
#include "fake_windows.h"

using inventory::WindowNode;
using enum inventory::WindowKind;
using inventory::WindowAction;
using inventory::Target;

namespace {

using Lines = std::vector<std::string>;

// The row of the window action with the word, as the reader finds it.
const WindowAction& Act(const char* word) {
  for (size_t i = 0; i < app::kWindowActionWordCount; ++i)
    if (std::string(app::kWindowActionWords[i].literal) == word)
      return app::kWindowActionWords[i].action;
  ADD_FAILURE() << "no window action is spelled " << word;
  static const WindowAction kNone{};
  return kNone;
}

// SendDialog's arguments.
inventory::WalkArguments Message(uint16_t menuId, const char* text) {
  inventory::WalkArguments arguments{};
  arguments.sendDialogCommand = menuId;
  arguments.messageText = text;
  return arguments;
}

// A hand-made list: one node per entry, containers with children.
struct Tree {
  std::vector<WindowNode> nodes;
  WindowNode* Link() {
    for (size_t i = 0; i + 1 < nodes.size(); ++i) nodes[i].next = &nodes[i + 1];
    return nodes.empty() ? nullptr : &nodes[0];
  }
};

WindowNode Node(const char* label, int32_t kind, WindowNode* children = nullptr) {
  WindowNode n{};
  n.window = fake::Top(label, "x", label);
  n.kind = kind;
  n.children = children;
  return n;
}

class Walk : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    inventory::g_clientWindows = inventory::ClientWindows{};
    inner_.nodes = {Node("in-list", ContactList), Node("in-private", Private),
                    Node("in-channel", Channel)};
    top_.nodes = {Node("list", ContactList), Node("console", Console),
                  Node("quiet", PlainQuiet), Node("box", Container, inner_.Link()),
                  Node("private", Private), Node("plain", Plain)};
    first_ = top_.Link();
  }
  // number: the level, the timestamp mode or the container number.
  Lines WalkFrom(Target target, const WindowAction& action, int32_t number = 0) {
    return WalkAt(first_, target, action, number);
  }
  Lines WalkAt(const WindowNode* start, Target target, const WindowAction& action,
               int32_t number = 0) {
    fake::Journal().clear();
    inventory::WalkArguments arguments{};
    arguments.level = number;
    arguments.timestampMode = static_cast<inventory::TimestampMode>(number);
    arguments.containerNumber = number;
    inventory::WalkInventory(start, target, action, arguments);
    return fake::Journal();
  }
  Tree inner_, top_;
  WindowNode* first_ = nullptr;
};

}  // namespace

TEST_F(Walk, NoStartNodeDoesNothing) {
  inventory::WalkInventory(nullptr, Target::All, Act("restore"), inventory::WalkArguments{});
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(Walk, CurrentTakesOnlyTheStartNodeForDirectActions) {
  EXPECT_EQ(WalkFrom(Target::Current, Act("hide")), Lines{"list hidden"});
  EXPECT_EQ(WalkFrom(Target::Current, Act("log")), Lines{"list command 40027"});
  fake::SetVisible(top_.nodes[0].window, false);
  EXPECT_EQ(WalkFrom(Target::Current, Act("attach"), 2), Lines{});  // invisible: nothing, stop
}

TEST_F(Walk, CurrentSkipsPassedOverKindsForMultiImAndTimestamps) {
  EXPECT_EQ(WalkFrom(Target::Current, Act("timestamp"), 1),
            (Lines{"in-private command 40025", "in-channel command 40025"}));
  EXPECT_EQ(WalkFrom(Target::Current, app::kMultiImFirstStep),
            (Lines{"in-private command 40039", "in-private command 40037"}));
  // The stop inside the container's list does not stop the outer list.
  EXPECT_EQ(WalkFrom(Target::All, app::kMultiImFirstStep),
            (Lines{"in-private command 40039", "in-private command 40037",
                   "private command 40039", "private command 40037"}));
}

TEST_F(Walk, KindTargetsNeverEnterContainersExceptThroughAll) {
  EXPECT_EQ(WalkFrom(Target::Private, Act("timestamp"), 0), Lines{"private command 40024"});
  EXPECT_EQ(WalkFrom(Target::Channel, Act("timestamp"), 0), Lines{});
  EXPECT_EQ(WalkFrom(Target::Console, Act("timestamp"), 0), Lines{});
  EXPECT_EQ(WalkFrom(Target::All, Act("timestamp"), 2),
            (Lines{"in-private command 40026", "in-channel command 40026", "private command 40026",
                   "plain command 40026"}));
  EXPECT_EQ(WalkFrom(Target::Container, Act("minimize")), Lines{"box minimized"});
  EXPECT_EQ(WalkFrom(Target::Channel, Act("restore")), Lines{});
}

TEST_F(Walk, EveryAction) {
  fake::SetMinimized(top_.nodes[4].window, true);
  EXPECT_EQ(WalkFrom(Target::Private, Act("restore")), Lines{"private restored"});
  EXPECT_EQ(WalkFrom(Target::Private, Act("info")), Lines{"private command 4041"});
  EXPECT_EQ(WalkFrom(Target::All, Act("attach"), 3),
            (Lines{"list command 44502", "console command 44502", "quiet command 44502",
                   "private command 44502", "plain command 44502"}));
  EXPECT_EQ(WalkFrom(Target::Private, Act("trans"), 1), Lines{"private command 43987"});
  EXPECT_EQ(WalkFrom(Target::Private, Act("trans"), 2), Lines{"private command 43993"});
  EXPECT_EQ(WalkFrom(Target::Private, Act("trans"), 9), Lines{"private command 43991"});
  EXPECT_EQ(WalkFrom(Target::Private, Act("trans"), 10), Lines{});
  EXPECT_EQ(WalkFrom(Target::Private, Act("trans"), -1), Lines{});
  EXPECT_EQ(WalkFrom(Target::Private, Act("timestamp"), 3), Lines{});
  EXPECT_EQ(WalkAt(&top_.nodes[5], Target::Current, Act("clickthrough")), Lines{"plain exstyle 0 20"});
  EXPECT_EQ(WalkAt(&top_.nodes[5], Target::Current, Act("clickthrough")), Lines{"plain exstyle 20 0"});
  // "u": the command, then Enter in the displays inside the window.
  fake::Child(top_.nodes[4].window, "disp", "quenvale display");
  EXPECT_EQ(WalkFrom(Target::Private, Act("multiim")),
            (Lines{"private command 40032", "disp char 13 1"}));
}

TEST_F(Walk, SendMessageMatchesTheFirstTwoCharactersAndScansForTheDialog) {
  fake::Reset();
  inventory::g_clientWindows.guiThreadId = 1;
  Tree consoles;
  consoles.nodes = {Node("AIM console", Console), Node("aix console", Console),
                    Node("irc console", Console), Node("a", Console)};
  plat::Window dialog = fake::Top("dialog", "#32770", "Sending an Instant Message...");
  fake::Child(dialog, "edit", "Edit");
  fake::Child(dialog, "ok", "Button", "OK");
  inventory::WalkInventory(consoles.Link(), Target::Console, Act("sendmessage"), Message(4029, "aim  Jo  Q"));
  // The contact starts one character behind the medium word; blanks kept.
  Lines typed = {"edit char 32 1", "edit char 74 1", "edit char 111 1", "edit char 32 1",
                 "edit char 32 1", "edit char 81 1", "dialog foreground", "ok lbuttondown 0 0", "ok lbuttonup 0 0"};
  Lines expected = {"AIM console command 4029"};
  expected.insert(expected.end(), typed.begin(), typed.end());
  expected.push_back("aix console command 4029");
  expected.insert(expected.end(), typed.begin(), typed.end());
  EXPECT_EQ(fake::Journal(), expected);

  fake::Journal().clear();
  inventory::WalkInventory(consoles.Link(), Target::Console, Act("sendmessage"), Message(4029, "AIM  "));
  // The medium alone: the command, no scan.
  EXPECT_EQ(fake::Journal(), (Lines{"AIM console command 4029", "aix console command 4029"}));
  fake::Journal().clear();
  // A one-character title matches only the same one-character text.
  inventory::WalkInventory(consoles.Link(), Target::Console, Act("sendmessage"), Message(4029, "A"));
  EXPECT_EQ(fake::Journal(), Lines{"a command 4029"});
}

TEST_F(Walk, SendMessageCutsAnOverlongContactAtTheChildCommandsEnd) {
  fake::Reset();
  inventory::g_clientWindows.guiThreadId = 1;
  Tree consoles;
  consoles.nodes = {Node("m console", Console)};
  plat::Window dialog = fake::Top("dialog", "#32770", "Sending an Instant Message...");
  fake::Child(dialog, "edit", "Edit");
  std::string message = "m " + std::string(397, 'z');  // 399 characters
  inventory::WalkInventory(consoles.Link(), Target::Console, Act("sendmessage"), Message(4041, message.c_str()));
  EXPECT_EQ(fake::Journal().size(), 1u + 396u);  // "D02" and 396 of the 397 characters
}

TEST_F(Walk, TenThousandSiblingsWalkWithoutDeepStacks) {
  fake::Reset();
  std::vector<WindowNode> nodes(10000);
  plat::Window w = fake::Top("w", "x", "w");
  for (size_t i = 0; i < nodes.size(); ++i) {
    nodes[i].kind = inventory::Plain;
    nodes[i].window = w;
    nodes[i].next = i + 1 < nodes.size() ? &nodes[i + 1] : nullptr;
  }
  inventory::WalkInventory(&nodes[0], Target::All, Act("log"), inventory::WalkArguments{});
  EXPECT_EQ(fake::Journal().size(), 10000u);
}
