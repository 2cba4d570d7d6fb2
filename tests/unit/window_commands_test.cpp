#include <gtest/gtest.h>

#include "box_kind.h"
#include "run.h"

using namespace testing_support;

namespace {

// The client's windows, top of the Z order first:
//   list (contact list, with a list control that accepts files), work (a
//   container holding a console, a private window and a channel), aim and irc
//   consoles, bob (private), chan (channel), note (plain), main.
class WindowCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    list_ = fake::Top("list", "x", "Buddies");
    fake::Child(list_, "holder", "iconholder");
    fake::WindowShape control;
    control.label = "listctl";
    control.className = "Quenvale - List";
    control.parent = list_;
    control.exStyle = 0x10;
    listControl_ = fake::Add(control);
    work_ = fake::Top("work", "frame", "Work");
    fake::Child(work_, "w-console", "x", "yahoo console");
    workPrivate_ = fake::Child(work_, "w-private", "x", "Ann");
    fake::Child(workPrivate_, "w-disp", "quenvale display");
    plat::Window wc = fake::Child(work_, "w-channel", "x", "#work");
    fake::Child(wc, "w-lst", "Quenvale - List");
    aim_ = fake::Top("aim", "x", "AIM Console");
    fake::Top("irc", "x", "IRC console");
    plat::Window bob = fake::Top("bob", "x", "Bob");
    fake::Child(bob, "bob-disp", "quenvale display");
    plat::Window chan = fake::Top("chan", "x", "#chan");
    fake::Child(chan, "chan-lst", "Quenvale - List");
    fake::Top("note", "x", "Notes");
    main_ = fake::Top("main", "quenvale", "Quenvale");
  }
  Lines Boxes() {
    Lines out;
    for (const fake::Box& b : fake::Boxes())
      out.push_back(b.caption + "|" + b.text + "|" + testing_support::BoxKind(b.type));
    return out;
  }
  // Every top-level window of the client shown, and minimized or not.
  static void SetAllTopLevel(bool minimized) {
    plat::EnumThreadWindows(
        1,
        [](plat::Window window, intptr_t minimize) {
          fake::SetVisible(window, true);
          fake::SetMinimized(window, minimize != 0);
          return 1;
        },
        minimized ? 1 : 0);
  }
  plat::Window list_, listControl_, work_, workPrivate_, aim_, main_;
};

}  // namespace

TEST_F(WindowCommands, UnknownWordsBuildTheInventoryAndDoNothing) {
  for (const char* word : {"foo", "tran", "mi", "sen", "sho", "dis", "of"}) {
    EXPECT_EQ(RunTail(word), 0) << word;
    EXPECT_EQ(inventory::g_clientWindows.contactListWindow, list_);
  }
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(WindowCommands, TargetWords) {
  // Every case starts from shown windows, minimized where the case says, so
  // that each show request changes the windows it reaches.
  struct Case {
    const char* tail;
    bool minimizedBefore;
    Lines sent;
  } cases[] = {
      {"hide", false, {"list hidden"}},
      {"hide contacts", false, {"list hidden"}},
      {"hide BUDDY", false, {"list hidden"}},
      {"mint channel", false, {"chan minimized"}},
      {"showbud private", true, {"bob restored"}},
      {"restore console", true, {"aim restored", "irc restored"}},
      {"hide current", false, {"list hidden"}},
      {"hide container", false, {"work hidden"}},
      {"hide container WORK", false, {"work hidden"}},
      {"hide container current", false, {"work hidden"}},
      {"clickthrough console", false, {"aim exstyle 0 20", "irc exstyle 0 20"}},
      {"info", false, {"list command 4041"}},
      {"log x y", false, {"list command 40027"}},
  };
  for (const Case& c : cases) {
    SetAllTopLevel(c.minimizedBefore);
    fake::Journal().clear();
    EXPECT_EQ(RunTail(c.tail), 0) << c.tail;
    EXPECT_EQ(fake::Journal(), c.sent) << c.tail;
  }
  SetAllTopLevel(false);
  fake::Journal().clear();
  EXPECT_EQ(RunTail("hide all"), 0);
  EXPECT_EQ(fake::Journal().size(), 7u);
  EXPECT_TRUE(fake::Boxes().empty());
}

TEST_F(WindowCommands, UnknownTargetsAndContainers) {
  EXPECT_EQ(RunTail("hide cont"), 1);
  EXPECT_EQ(RunTail("hide container nope"), 5);
  EXPECT_EQ(RunTail("attach container"), 5);  // the missing number stands in as "0"
  EXPECT_EQ(Boxes(), (Lines{"Dowtrane Error|Unknown option\ncont|error ok",
                            "Dowtrane Error|Unknown container\nnope|error ok",
                            "Dowtrane Error|Unknown container\n0|error ok"}));
  EXPECT_TRUE(fake::Journal().empty());
  // An overlong name is cut to fit the box text.
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("hide container " + std::string(500, 'n')), 5);
  EXPECT_EQ(fake::Boxes()[0].text, "Unknown container\n" + std::string(399 - 18, 'n'));
}

TEST_F(WindowCommands, NumberRules) {
  struct Case {
    const char* tail;
    Lines sent;
  } cases[] = {
      {"timestamp private ON", {"bob command 40024"}},
      {"timestamp private of", {"bob command 40025"}},
      {"timestamp private toggle", {"bob command 40026"}},
      {"timestamp private", {"bob command 40026"}},
      {"timestamp container on work",
       {"w-private command 40024", "w-channel command 40024"}},
      {"trans private", {"bob command 43994"}},
      {"trans private 75", {"bob command 43990"}},
      {"trans private x", {}},
      {"trans container 1 Work", {"work command 43987"}},
      {"attach private 3", {"bob command 44502"}},
      {"attach private 0", {"bob command 44500"}},
      {"attach private -2", {"bob command 44500"}},
      {"attach private", {"bob command 44500"}},
      {"attach private 4294967297", {"bob command 44500"}},  // wraps to 1
      {"attach private 4294967296", {"bob command 44500"}},  // wraps to 0, then 1
      {"attach private 12x", {"bob command 44691"}},         // 'x' counts as 72
  };
  for (const Case& c : cases) {
    fake::Journal().clear();
    EXPECT_EQ(RunTail(c.tail), 0) << c.tail;
    EXPECT_EQ(fake::Journal(), c.sent) << c.tail;
  }
}

TEST_F(WindowCommands, ToggleBuddyInEverySituation) {
  EXPECT_EQ(RunTail("togglebuddy"), 0);
  // Shown: the restore changes nothing; then hidden, and the window below
  // it gets the foreground.
  EXPECT_EQ(fake::Journal(), (Lines{"list foreground", "list hidden", "work foreground"}));
  fake::Journal().clear();
  EXPECT_EQ(RunTail("togglebuddy"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"list shown", "main foreground"}));
  // Minimized: shown as a hidden list is, and not hidden again.
  fake::SetMinimized(list_, true);
  fake::Journal().clear();
  EXPECT_EQ(RunTail("togglebuddy"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"list restored", "main foreground"}));
  // Hidden and minimized windows keep their places below the list; the
  // foreground goes to the first one the user sees.
  fake::SetVisible(work_, false);
  fake::SetMinimized(aim_, true);
  fake::Journal().clear();
  EXPECT_EQ(RunTail("togglebuddy"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"list foreground", "list hidden", "irc foreground"}));
  fake::Journal().clear();
  fake::Destroy(list_);
  EXPECT_EQ(RunTail("togglebuddyx"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"main foreground"}));
  fake::Journal().clear();
  EXPECT_EQ(RunTail("togglebudd"), 0);
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(WindowCommands, SendMessageForEachMedium) {
  fake::Reset();
  for (const char* title : {"aim console", "irc console", "msn console", "yahoo console"})
    fake::Top(std::string(title, 3), "x", title);
  fake::Top("main", "quenvale", "Quenvale");
  struct Case {
    const char* tail;
    Lines sent;
  } cases[] = {
      {"sendmessage aim Bob", {"aim command 4029"}},
      {"send Irc", {"irc command 4028"}},
      {"sendm icq", {}},  // no console's title begins with "ic"
      {"send yahoo x", {"yah command 4007"}},
      {"send msn x", {"msn command 4041"}},
      {"send Ai x", {"aim command 4029"}},
  };
  for (const Case& c : cases) {
    fake::Journal().clear();
    EXPECT_EQ(RunTail(c.tail), 0) << c.tail;
    EXPECT_EQ(fake::Journal(), c.sent) << c.tail;
  }
  EXPECT_TRUE(fake::Boxes().empty());
}

TEST_F(WindowCommands, SendMessageTypesTheContactAsThePlatformSplitIt) {
  plat::Window dialog = nullptr;
  fake::SetHandler(aim_, [&](plat::Window, uint32_t, uintptr_t, intptr_t) -> intptr_t {
    dialog = fake::Top("dialog", "#32770", "Sending an Instant Message...");
    fake::Child(dialog, "edit", "Edit");
    fake::Child(dialog, "ok", "Button", "OK");
    return 0;
  });
  auto typed = [] {
    std::string out;
    for (const std::string& line : fake::Journal())
      if (line.rfind("edit char ", 0) == 0) out += static_cast<char>(std::stoi(line.substr(10)));
    return out;
  };
  EXPECT_EQ(RunTail("sendmessage AIM John Smith"), 0);
  EXPECT_EQ(typed(), "John");
  fake::Destroy(dialog);
  fake::Journal().clear();
  EXPECT_EQ(RunTail("sendmessage AIM \"John Smith\""), 0);
  EXPECT_EQ(typed(), "John Smith");
  EXPECT_EQ(fake::Journal().back(), "ok lbuttonup 0 0");
}

TEST_F(WindowCommands, SendMessageRefusesUnknownMedia) {
  EXPECT_EQ(RunTail("sendmessage jabber bob"), 1);
  EXPECT_EQ(RunTail("sendmessage \"aim\" bob"), 1);
  EXPECT_EQ(RunTail("sendmessage"), 1);
  EXPECT_EQ(Boxes(),
            (Lines{"Dowtrane - Send message|Unknown chat medium:\n\tjabber\nUse AIM, ICQ, IRC, YAHOO! or MSN|warning ok",
                   "Dowtrane - Send message|Unknown chat medium:\n\t\"aim\"\nUse AIM, ICQ, IRC, YAHOO! or MSN|warning ok",
                   "Dowtrane - Send message|Unknown chat medium:\n\t\nUse AIM, ICQ, IRC, YAHOO! or MSN|warning ok"}));
  EXPECT_TRUE(fake::Journal().empty());
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("sendmessage " + std::string(600, 'j')), 1);
  const std::string& text = fake::Boxes()[0].text;
  EXPECT_EQ(text.size(), 399u);
  EXPECT_EQ(text.substr(text.size() - 33), "\nUse AIM, ICQ, IRC, YAHOO! or MSN");
}

TEST_F(WindowCommands, MultiImAsksFirst) {
  fake::AnswerBoxes({plat::IDCANCEL});
  EXPECT_EQ(RunTail("multiim all"), 3);
  EXPECT_EQ(Boxes(), Lines{"Dowtrane - MultiIM|Sending all MultiIM|warning okcancel"});
  EXPECT_TRUE(fake::Journal().empty());

  fake::Boxes().clear();
  EXPECT_EQ(RunTail("multiim all"), 0);
  EXPECT_EQ(fake::Journal(),
            (Lines{"w-private command 40039", "w-private command 40037",  // the current window
                   "w-private command 40032", "w-disp char 13 1",        // then every target
                   "w-channel command 40032", "bob command 40032", "bob-disp char 13 1",
                   "chan command 40032", "note command 40032"}));

  fake::Journal().clear();
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("multiim bogus"), 1);
  EXPECT_EQ(Boxes(), (Lines{"Dowtrane - MultiIM|Sending bogus MultiIM|warning okcancel",
                            "Dowtrane Error|Unknown option\nbogus|error ok"}));
  EXPECT_EQ(fake::Journal(), (Lines{"w-private command 40039", "w-private command 40037"}));

  fake::Journal().clear();
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("multiim"), 0);  // the contact list is no MultiIM target
  EXPECT_EQ(Boxes(), Lines{"Dowtrane - MultiIM|Sending contact MultiIM|warning okcancel"});
  EXPECT_EQ(fake::Journal(), (Lines{"w-private command 40039", "w-private command 40037"}));
}

TEST_F(WindowCommands, OfflineContactsAndDock) {
  struct Case {
    const char* tail;
    Lines sent;
  } cases[] = {
      {"offline", {"listctl command 30006"}},
      {"off", {"listctl command 30006"}},
      {"dock", {"listctl command 30045"}},
      {"dock top", {"listctl command 30045", "listctl command 30033"}},
      {"dock B", {"listctl command 30045", "listctl command 30035"}},
      {"dock left", {"listctl command 30045", "listctl command 30032"}},
      {"dock r", {"listctl command 30045", "listctl command 30034"}},
  };
  for (const Case& c : cases) {
    fake::Journal().clear();
    EXPECT_EQ(RunTail(c.tail), 0) << c.tail;
    EXPECT_EQ(fake::Journal(), c.sent) << c.tail;
  }
  fake::Destroy(list_);
  fake::Journal().clear();
  EXPECT_EQ(RunTail("dock top"), 0);
  EXPECT_EQ(RunTail("offline"), 0);
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(WindowCommands, AClientExitingMidCommandEndsItCleanly) {
  std::vector<plat::Window> all = {list_, work_, aim_, main_};
  fake::SetHandler(workPrivate_, [&](plat::Window, uint32_t, uintptr_t, intptr_t) -> intptr_t {
    for (plat::Window w : all) fake::Destroy(w);
    return 0;
  });
  EXPECT_EQ(RunTail("multiim all"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"w-private command 40039", "bob command 40032",
                                    "bob-disp char 13 1", "chan command 40032",
                                    "note command 40032"}));
}

TEST_F(WindowCommands, WindowsClosedOrRenamedWhileTheQuestionShowsAreTakenAsTheyAreThen) {
  // The user answers the MultiIM question after the inventory was taken;
  // meanwhile the current window closes and the container is renamed.
  fake::SetCallHook([&](const char* call) {
    if (std::string(call) != "MessageBoxUtf8") return;
    fake::Destroy(workPrivate_);
    fake::SetTitle(work_, "Home");
  });
  EXPECT_EQ(RunTail("multiim all"), 0);
  // What went to the closed window is lost; the others get theirs.
  EXPECT_EQ(fake::Journal(), (Lines{"w-channel command 40032", "bob command 40032",
                                    "bob-disp char 13 1", "chan command 40032",
                                    "note command 40032"}));
  fake::SetTitle(work_, "Work");
  EXPECT_EQ(RunTail("multiim container work"), 5);
  EXPECT_EQ(Boxes().back(), "Dowtrane Error|Unknown container\nwork|error ok");
}
