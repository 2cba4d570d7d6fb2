#include "inventory/scanner.h"

#include <gtest/gtest.h>

#include "fake_windows.h"

namespace {

using Lines = std::vector<std::string>;

class Scanner : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    parent_ = fake::Top("parent", "frame", "Parent");
  }
  void Scan(const char* command) {
    plat::EnumChildWindows(parent_, inventory::ScanChildWindow, reinterpret_cast<intptr_t>(command));
  }
  plat::Window Add(const char* label, const char* className, uint32_t exStyle = 0,
                   const char* title = "") {
    fake::WindowShape shape;
    shape.label = label;
    shape.className = className;
    shape.title = title;
    shape.parent = parent_;
    shape.exStyle = exStyle;
    return fake::Add(shape);
  }
  plat::Window parent_ = nullptr;
};

}  // namespace

TEST_F(Scanner, EnterGoesToEveryDisplayWhateverItsCase) {
  Add("d1", "quenvale display");
  Add("main", "QUENVALE");
  plat::Window nested = Add("n", "Frame");
  fake::Child(nested, "d2", "QUENVALE DISPLAYS");
  Add("other", "quenvale displa");
  Scan("U00quenvale display");
  EXPECT_EQ(fake::Journal(), (Lines{"d1 char 13 1", "d2 char 13 1"}));
}

TEST_F(Scanner, EmptyPrefixAdmitsAllButTheMainClass) {
  Add("a", "Edit");
  Add("main", "quenvale");
  Add("disp", "quenvale display");
  Scan("U00");
  EXPECT_EQ(fake::Journal(), (Lines{"a char 13 1", "disp char 13 1"}));
}

TEST_F(Scanner, ModeOneStopsAtTheFirstWindowPastTheFilters) {
  Add("edit", "Edit", 0x10);
  Add("main", "quenvale", 0x10);
  Add("plain", "Quenvale - List");  // no WS_EX_ACCEPTFILES: nothing sent, yet it counts
  Add("files", "Quenvale - List", 0x10);
  Scan("o01Quenvale - List");
  EXPECT_TRUE(fake::Journal().empty());
  Scan("x01");  // unknown letter: sends nothing, still stops at the first match
  Scan("o00Quenvale - List");
  EXPECT_EQ(fake::Journal(), Lines{"files command 30006"});
}

TEST_F(Scanner, DockSendsThePositionOnlyWhenTheDockCommandAnswersZero) {
  plat::Window list = Add("list", "Quenvale - List", 0x10);
  Add("noaccept", "Quenvale - List");
  struct Case {
    const char* command;
    Lines sent;
  } cases[] = {
      {"dt0Quenvale - List", {"list command 30045", "list command 30033"}},
      {"dB0Quenvale - List", {"list command 30045", "list command 30035"}},
      {"dl0Quenvale - List", {"list command 30045", "list command 30032"}},
      {"dR0Quenvale - List", {"list command 30045", "list command 30034"}},
      {"do0Quenvale - List", {"list command 30045"}},
  };
  for (const Case& c : cases) {
    fake::Journal().clear();
    Scan(c.command);
    EXPECT_EQ(fake::Journal(), c.sent) << c.command;
  }
  fake::SetReply(list, 30045, 1);
  fake::Journal().clear();
  Scan("dt0Quenvale - List");
  EXPECT_EQ(fake::Journal(), Lines{"list command 30045"});
}

TEST_F(Scanner, SendDialogGetsTheNameTypedAndOkClickedThenTheScanStops) {
  fake::Reset();
  fake::Top("main", "quenvale", "Sending an Instant Message...");
  fake::Top("wrongcase", "#32770", "sending an instant message...");
  plat::Window dialog = fake::Top("dialog", "#32770", "Sending an Instant Message...");
  fake::Child(dialog, "label", "Static", "Name");
  fake::Child(dialog, "edit", "Edit");
  fake::Child(dialog, "edit2", "Edit");
  fake::Child(dialog, "cancel", "Button", "Cancel");
  fake::Child(dialog, "ok", "Button", "OK");
  plat::Window second = fake::Top("second", "#32770", "Sending an Instant Message...");
  fake::Child(second, "edit3", "Edit");
  // One WM_CHAR a UTF-16 unit: é, and an emoji as its two halves in order.
  const char command[] = "D02J o\xc3\xa9\U0001F600";
  plat::EnumThreadWindows(1, inventory::ScanChildWindow, reinterpret_cast<intptr_t>(command));
  EXPECT_EQ(fake::Journal(), (Lines{"edit char 74 1", "edit char 32 1", "edit char 111 1",
                                    "edit char 233 1", "edit char 55357 1", "edit char 56832 1",
                                    "dialog foreground", "ok lbuttondown 0 0", "ok lbuttonup 0 0"}));
  fake::Journal().clear();
  plat::EnumThreadWindows(1, inventory::ScanChildWindow, reinterpret_cast<intptr_t>("D02"));
  EXPECT_EQ(fake::Journal(), (Lines{"dialog foreground", "ok lbuttondown 0 0", "ok lbuttonup 0 0"}));
}

TEST_F(Scanner, SendDialogWithoutControlsStillStopsTheScan) {
  fake::Reset();
  fake::Top("dialog", "#32770", "Sending an Instant Message...");
  plat::Window later = fake::Top("later", "#32770", "Sending an Instant Message...");
  fake::Child(later, "edit", "Edit");
  plat::EnumThreadWindows(1, inventory::ScanChildWindow, reinterpret_cast<intptr_t>("D02Bob"));
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(Scanner, ShortCommandsAreReadOnlyUpToTheirEnd) {
  Add("a", "Edit");
  Scan("U");
  Scan("");
  EXPECT_EQ(fake::Journal(), (Lines{"a char 13 1"}));
}
