// A client whose thread does not answer: hung before the run, stalling inside
// its handling of a call, or busy with a dialog of its own while it handles
// one. For every family of commands.
#include <gtest/gtest.h>

#include "box_kind.h"
#include "run.h"

using namespace testing_support;

namespace {

constexpr plat::ThreadId kClientThread = 1;
const char kNotResponding[] = "Dowtrane Error|Quenvale is not responding|error ok";

// The client's windows, top of the Z order first: list (contact list with
// two list controls that accept files), work (a container with a private
// window and a channel), aim (a console that opens the send dialog while it
// handles 4029), bob (private), chan (channel), note (plain), main; and the
// media player.
class Unanswered : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    list_ = fake::Top("list", "x", "Buddies");
    fake::Child(list_, "holder", "iconholder");
    listControl_ = AcceptingFiles("listctl");
    groupsControl_ = AcceptingFiles("groupsctl");
    work_ = fake::Top("work", "frame", "Work");
    workPrivate_ = fake::Child(work_, "w-private", "x", "Ann");
    fake::Child(workPrivate_, "w-disp", "quenvale display");
    plat::Window channel = fake::Child(work_, "w-channel", "x", "#work");
    fake::Child(channel, "w-lst", "Quenvale - List");
    aim_ = fake::Top("aim", "x", "AIM Console");
    dialog_ = edit_ = ok_ = nullptr;
    fake::SetHandler(aim_, [this](plat::Window, uint32_t, uintptr_t, intptr_t) -> intptr_t {
      OpenDialog();
      return 0;
    });
    bob_ = fake::Top("bob", "x", "Bob");
    fake::Child(bob_, "bob-disp", "quenvale display");
    chan_ = fake::Top("chan", "x", "#chan");
    fake::Child(chan_, "chan-lst", "Quenvale - List");
    fake::Top("note", "x", "Notes");
    main_ = fake::Top("main", "quenvale", "Quenvale");
    player_ = fake::Top("player", "Winamp v1.x", "Winamp", 2);
  }

  void OpenDialog() {
    if (dialog_ != nullptr) return;
    dialog_ = fake::Top("dialog", "#32770", "Sending an Instant Message...");
    edit_ = fake::Child(dialog_, "edit", "Edit");
    ok_ = fake::Child(dialog_, "ok", "Button", "OK");
  }

  plat::Window AcceptingFiles(const std::string& label) {
    fake::WindowShape control;
    control.label = label;
    control.className = "Quenvale - List";
    control.parent = list_;
    control.exStyle = 0x10;
    return fake::Add(control);
  }

  // Runs the tail; what it sent, its boxes and how long it took go to the
  // members below.
  int Run(const std::string& tail) {
    fake::Journal().clear();
    fake::Boxes().clear();
    const int64_t start = fake::ClockMilliseconds();
    const int status = RunTail(tail);
    took_ = fake::ClockMilliseconds() - start;
    boxes_.clear();
    for (const fake::Box& b : fake::Boxes())
      boxes_.push_back(b.caption + "|" + b.text + "|" + testing_support::BoxKind(b.type));
    return status;
  }

  plat::Window list_, listControl_, groupsControl_, work_, workPrivate_, aim_, bob_, chan_, main_,
      player_;
  plat::Window dialog_ = nullptr, edit_ = nullptr, ok_ = nullptr;
  int64_t took_ = 0;
  Lines boxes_;
};

// Every family against a client that was hung before the run: at once, with
// nothing sent, the box and status 6.
TEST_F(Unanswered, AClientHungBeforeTheRunIsToldAtOnceAndSentNothing) {
  fake::HangThread(kClientThread);
  for (const char* tail :
       {"top", "pref", "exit", "exit 5", "hide", "show all", "restore console", "minimize channel",
        "hide container work", "clickthrough private", "timestamp all on", "trans all 5",
        "attach private 2", "log", "info", "multiim all", "togglebuddy", "sendmessage aim Bob",
        "offline", "dock top", "winamp"}) {
    EXPECT_EQ(Run(tail), 6) << tail;
    EXPECT_EQ(fake::Journal(), Lines{}) << tail;
    // No MultiIM question either, and no delay for "exit 5".
    EXPECT_EQ(boxes_, Lines{kNotResponding}) << tail;
    EXPECT_EQ(took_, 0) << tail;
  }
  // Without a contact list, togglebuddy only brings the main window forward.
  fake::Destroy(list_);
  EXPECT_EQ(Run("togglebuddy"), 6);
  EXPECT_EQ(fake::Journal(), Lines{});
  EXPECT_EQ(fake::Probes(), 0);
}

// A client that runs with higher rights than the run: Windows refuses the
// first call, which stops every later one; the box says why, with a status
// of its own, on standard error when the output goes to a file.
TEST_F(Unanswered, ACallThatWindowsRefusesStopsTheCallsAndSaysWhy) {
  const char kHigherRights[] =
      "Quenvale runs with higher rights than Dowtrane (as administrator): start Dowtrane the "
      "same way.";
  for (const char* tail : {"top", "hide all", "trans all 5", "clickthrough all",
                           "sendmessage aim Bob", "dock t", "multiim all"}) {
    SetUp();
    fake::RunWithHigherRights(kClientThread);
    Lines boxes = {std::string("Dowtrane Error|") + kHigherRights + "|error ok"};
    if (std::string(tail) == "multiim all")
      boxes.insert(boxes.begin(), "Dowtrane - MultiIM|Sending all MultiIM|warning okcancel");
    EXPECT_EQ(Run(tail), 8) << tail;
    EXPECT_EQ(fake::Journal(), Lines{}) << tail;
    EXPECT_EQ(fake::Refusals(), 1) << tail;
    EXPECT_EQ(boxes_, boxes) << tail;
    EXPECT_EQ(took_, 0) << tail;
  }
  SetUp();
  fake::RunWithHigherRights(kClientThread);
  fake::SetStandardOutput(fake::Output::File);
  EXPECT_EQ(Run("top"), 8);
  EXPECT_EQ(boxes_, Lines{});
  EXPECT_EQ(fake::StandardError(), std::string(kHigherRights) + "\r\n");
}

// The run's own helper thread cannot be made: the client was never asked.
TEST_F(Unanswered, NoHelperThreadIsTheRunsOwnFailure) {
  fake::FailHelperThread();
  EXPECT_EQ(Run("hide all"), 1);
  EXPECT_EQ(fake::Journal(), Lines{});
  EXPECT_EQ(boxes_, Lines{"Dowtrane Error|Out of memory|error ok"});
}

TEST_F(Unanswered, RunsThatAskNothingOfAHungClientEndAsBefore) {
  fake::HangThread(kClientThread);
  EXPECT_EQ(Run("foo"), 0);
  EXPECT_EQ(Run("launch"), 1);
  EXPECT_EQ(Run("hide container nope"), 5);
  EXPECT_EQ(boxes_, Lines{"Dowtrane Error|Unknown container\nnope|error ok"});
  EXPECT_EQ(Run("sendmessage jabber"), 1);
  EXPECT_EQ(fake::Journal(), Lines{});
}

// A window whose thread stalls 25 s inside its handling of a call, without
// reading its queue: the run waits 5 s in all, sends nothing after that
// call, shows the box and ends with status 6.
TEST_F(Unanswered, AClientThatStallsInsideACallCostsFiveSecondsAndGetsNothingMore) {
  struct Case {
    const char* tail;
    const char* stalls;  // label of the stalling window
    const char* what;
    Lines sent;
  } cases[] = {
      {"top", "main", "command 1000", {"main command 1000"}},
      {"winamp", "main", "command 40026", {"main command 40026"}},  // the player gets nothing
      {"hide all", "work", "show hide", {"list hidden", "work hidden"}},
      {"restore console", "aim", "show restore", {}},  // shown already: nothing changes
      {"minimize all", "list", "show minimize", {"list minimized"}},
      {"clickthrough all", "work", "exstyle", {"list exstyle 0 20", "work exstyle 0 20"}},
      {"timestamp all on", "w-private", "command 40024", {"w-private command 40024"}},
      {"trans all 5", "work", "command 43989", {"list command 43989", "work command 43989"}},
      {"attach all 2", "aim", "command 44501", {"list command 44501", "aim command 44501"}},
      {"log", "list", "command 40027", {"list command 40027"}},
      {"info", "list", "command 4041", {"list command 4041"}},
      {"multiim all", "w-private", "command 40039", {"w-private command 40039"}},
      {"multiim all", "bob", "command 40032",  // the displays' Enter does not follow
       {"w-private command 40039", "w-private command 40037", "w-private command 40032",
        "w-disp char 13 1", "w-channel command 40032", "bob command 40032"}},
      {"togglebuddy", "list", "show restore", {}},
      {"togglebuddy", "list", "show hide",  // and the window below is not brought forward
       {"list foreground", "list hidden"}},
      {"sendmessage aim Bob", "aim", "command 4029", {"aim command 4029"}},
      {"sendmessage aim Bob", "edit", "char 111", {"aim command 4029", "edit char 66 1",
                                                  "edit char 111 1"}},
      {"sendmessage aim Bob", "ok", "lbuttondown",
       {"aim command 4029", "edit char 66 1", "edit char 111 1", "edit char 98 1",
        "dialog foreground", "ok lbuttondown 0 0"}},
      {"offline", "listctl", "command 30006", {"listctl command 30006"}},
      {"dock top", "listctl", "command 30045", {"listctl command 30045"}},
  };
  for (const Case& c : cases) {
    SetUp();
    // The dialog's windows exist once aim has handled 4029; open it
    // beforehand when they stall.
    if (std::string(c.stalls) == "edit" || std::string(c.stalls) == "ok") OpenDialog();
    plat::Window stalling = nullptr;
    for (plat::Window w : {list_, listControl_, work_, workPrivate_, aim_, bob_, main_, edit_, ok_})
      if (w != nullptr && fake::Label(w) == c.stalls) stalling = w;
    ASSERT_NE(stalling, nullptr) << c.stalls;
    fake::Stall(stalling, c.what, 25000);
    EXPECT_EQ(Run(c.tail), 6) << c.tail << " / " << c.stalls;
    EXPECT_EQ(fake::Journal(), c.sent) << c.tail << " / " << c.stalls;
    Lines boxes = {kNotResponding};
    if (std::string(c.tail) == "multiim all")
      boxes.insert(boxes.begin(), "Dowtrane - MultiIM|Sending all MultiIM|warning okcancel");
    EXPECT_EQ(boxes_, boxes) << c.tail;
    EXPECT_EQ(took_, 5000) << c.tail << " / " << c.stalls;
  }
}

TEST_F(Unanswered, AfterAClientThatDidNotAnswerNoOtherBoxFollows) {
  // The unknown option is told only after the current window's two steps.
  fake::Stall(workPrivate_, "command 40039", 25000);
  EXPECT_EQ(Run("multiim bogus"), 6);
  EXPECT_EQ(fake::Journal(), Lines{"w-private command 40039"});
  EXPECT_EQ(boxes_, (Lines{"Dowtrane - MultiIM|Sending bogus MultiIM|warning okcancel", kNotResponding}));
}

TEST_F(Unanswered, TheExitDelayIsNotCountedAsWaitingOnTheClient) {
  fake::Stall(main_, "command 40002", 25000);
  EXPECT_EQ(Run("exit 2"), 6);
  EXPECT_EQ(fake::Journal(), Lines{"main command 40002"});
  EXPECT_EQ(boxes_, Lines{kNotResponding});
  EXPECT_EQ(took_, 2000 + 5000);
}

// Stalls that end are waited for, and the run goes on as with a prompt
// client; the five seconds count over the whole run. Of a stall, the slices
// whose probe went unanswered count (a 2 s stall: 1.5 s; 3 s: 2.5 s).
TEST_F(Unanswered, ThePatienceIsFiveSecondsOverTheWholeRun) {
  for (plat::Window w : {list_, work_, aim_, bob_, chan_})
    fake::Stall(w, "show hide", 240);  // returns before any probe
  EXPECT_EQ(Run("hide all"), 0);
  EXPECT_EQ(fake::Journal().size(), 6u);
  EXPECT_EQ(fake::Probes(), 0);
  EXPECT_EQ(took_, 5 * 240);

  SetUp();
  for (plat::Window w : {workPrivate_, bob_, chan_})
    fake::Stall(w, "command 40024", 2000);
  EXPECT_EQ(Run("timestamp all on"), 0);
  EXPECT_EQ(fake::Journal().size(), 5u);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(took_, 3 * 2000);

  SetUp();
  for (plat::Window w : {workPrivate_, bob_, chan_})
    fake::Stall(w, "command 40024", 3000);
  EXPECT_EQ(Run("timestamp all on"), 6);
  EXPECT_EQ(fake::Journal(), (Lines{"w-private command 40024", "w-channel command 40024",
                                    "bob command 40024"}));
  EXPECT_EQ(boxes_, Lines{kNotResponding});
  // w-private's stall, and bob's until 2.5 + 2.5 s of unanswered slices.
  EXPECT_EQ(took_, 3000 + 2500);
}

// A client that reads its queue while it handles a call (it shows a dialog
// of its own) is busy, not hung: the run waits for the call to return and
// the command keeps its results and its status.
TEST_F(Unanswered, ABusyClientIsWaitedForAndKeepsTheCommandsStatus) {
  fake::Stall(main_, "command 1000", 12000, true);
  EXPECT_EQ(Run("top"), 1);
  EXPECT_EQ(fake::Journal(), Lines{"main command 1000"});
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(took_, 12000);
  EXPECT_GT(fake::Probes(), 0);

  SetUp();
  fake::Stall(aim_, "command 4029", 3000, true);
  EXPECT_EQ(Run("sendmessage aim Al"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"aim command 4029", "edit char 65 1", "edit char 108 1",
                                    "dialog foreground", "ok lbuttondown 0 0", "ok lbuttonup 0 0"}));
  EXPECT_TRUE(boxes_.empty());

  SetUp();
  fake::Stall(bob_, "exstyle", 4000, true);
  EXPECT_EQ(Run("clickthrough all"), 0);
  EXPECT_EQ(fake::Journal().size(), 6u);
  EXPECT_EQ(fake::ExStyle(chan_), 0x20u);
}

// Busy for longer than 30 s in all: the call was delivered, so the command
// keeps its status, but nothing more goes out.
TEST_F(Unanswered, ABusyClientIsWaitedForThirtySecondsInAll) {
  fake::Stall(main_, "command 40010", 60000, true);
  EXPECT_EQ(Run("pref"), 1);
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(took_, 30000);

  SetUp();
  fake::Stall(work_, "command 43989", 20000, true);
  fake::Stall(bob_, "command 43989", 20000, true);
  EXPECT_EQ(Run("trans all 5"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"list command 43989", "work command 43989",
                                    "aim command 43989", "bob command 43989"}));
  EXPECT_TRUE(boxes_.empty());
  // work's 20 s, the last 250 ms of which is no busy slice, and bob's 10.25 s.
  EXPECT_EQ(took_, 20000 + 10250);

  // The boxes of the command still come.
  SetUp();
  fake::Stall(workPrivate_, "command 40039", 60000, true);
  EXPECT_EQ(Run("multiim bogus"), 1);
  EXPECT_EQ(fake::Journal(), Lines{"w-private command 40039"});
  EXPECT_EQ(boxes_, (Lines{"Dowtrane - MultiIM|Sending bogus MultiIM|warning okcancel",
                           "Dowtrane Error|Unknown option\nbogus|error ok"}));
}

// What the commands read from a client that answers late stays exact.
TEST_F(Unanswered, LateAnswersAreKeptExactly) {
  // togglebuddy: whether the list was visible before ShowWindow.
  fake::Stall(list_, "show restore", 1500);
  EXPECT_EQ(Run("togglebuddy"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"list foreground", "list hidden", "work foreground"}));
  EXPECT_EQ(Run("togglebuddy"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"list shown", "main foreground"}));

  // dock: the answer to 30045 decides whether the position follows.
  SetUp();
  fake::SetReply(groupsControl_, 30045, 5);
  fake::Stall(listControl_, "command 30045", 1500);
  fake::Stall(groupsControl_, "command 30045", 1500, true);
  EXPECT_EQ(Run("dock left"), 0);
  EXPECT_EQ(fake::Journal(), (Lines{"listctl command 30045", "listctl command 30032",
                                    "groupsctl command 30045"}));
  EXPECT_TRUE(boxes_.empty());
}

// The windows of other programs are not the client's: a hung or stalling
// one neither says that the client is not responding nor holds the run
// longer than the bound of a call to another program (5 s).
TEST_F(Unanswered, OtherProgramsWindowsDecideNothingAboutTheClient) {
  struct Case {
    const char* tail;
    bool hung;        // else it stalls 25 s in the call
    bool reading;     // while it stalls
    int status;
    Lines sent;
    int64_t took;
  } cases[] = {
      // The window just below the contact list is another program's.
      {"togglebuddy", true, false, 0, {"list foreground", "list hidden", "other foreground"}, 0},
      {"winamp", true, false, 1, {"main command 40026"}, 0},
      {"winamp", false, false, 1, {"main command 40026", "player command 40001"}, 5000},
      {"winamp", false, true, 1, {"main command 40026", "player command 40001"}, 5000},
  };
  for (const Case& c : cases) {
    fake::Reset();
    plat::Window list = fake::Top("list", "x", "Buddies");
    fake::Child(list, "holder", "iconholder");
    fake::Top("other", "x", "Editor", 3);
    fake::Top("main", "quenvale", "Quenvale");
    plat::Window player = fake::Top("player", "Winamp v1.x", "Winamp", 3);
    if (c.hung)
      fake::HangThread(3);
    else
      fake::Stall(player, "command", 25000, c.reading);
    EXPECT_EQ(Run(c.tail), c.status) << c.tail;
    EXPECT_EQ(fake::Journal(), c.sent) << c.tail;
    EXPECT_EQ(boxes_, Lines{}) << c.tail;
    EXPECT_EQ(took_, c.took) << c.tail;
  }
}

// Setting the system's time while a call or the exit delay waits changes
// nothing: the waits are measured on the tick count.
TEST_F(Unanswered, SettingTheClockDuringAWaitChangesNothing) {
  struct Case {
    const char* tail;
    const char* stalls;  // "" for none
    const char* what;
    int64_t milliseconds;
    bool reading;
  } cases[] = {
      {"exit 2", "", "", 0, false},                          // the exit delay
      {"timestamp all on", "w-private", "command 40024", 2000, false},  // a late answer
      {"top", "main", "command 1000", 12000, true},          // busy
      {"top", "main", "command 1000", 25000, false},         // not responding
  };
  constexpr int64_t kHours = 3 * 3600 * 1000;
  for (const Case& c : cases) {
    struct Outcome {
      int status;
      Lines sent;
      std::vector<int64_t> times;
      Lines boxes;
    } outcomes[3];
    for (int jump = 0; jump < 3; ++jump) {  // none, forward, back
      SetUp();
      fake::SetClockMilliseconds(50000);
      for (plat::Window w : {workPrivate_, main_})
        if (fake::Label(w) == c.stalls) fake::Stall(w, c.what, c.milliseconds, c.reading);
      if (jump != 0)
        fake::SetCallHook([jump](const char* call) {
          if (std::string(call) == "GetTickCount64" || std::string(call) == "Sleep")
            fake::JumpCalendarClock(jump == 1 ? kHours : -kHours);
        });
      const int status = Run(c.tail);
      outcomes[jump] = {status, fake::Journal(), fake::JournalTimes(), boxes_};
      if (jump != 0) {
        EXPECT_NE(fake::CalendarMilliseconds(), fake::ClockMilliseconds()) << c.tail;
      }
    }
    for (int jump = 1; jump < 3; ++jump) {
      EXPECT_EQ(outcomes[jump].status, outcomes[0].status) << c.tail << " " << jump;
      EXPECT_EQ(outcomes[jump].sent, outcomes[0].sent) << c.tail << " " << jump;
      EXPECT_EQ(outcomes[jump].times, outcomes[0].times) << c.tail << " " << jump;
      EXPECT_EQ(outcomes[jump].boxes, outcomes[0].boxes) << c.tail << " " << jump;
    }
  }
}

// A prompt client gets the same calls as ever, and no probe.
TEST_F(Unanswered, APromptClientIsNeverProbed) {
  for (const char* tail : {"top", "hide all", "clickthrough all", "multiim all", "togglebuddy",
                           "sendmessage aim Bob", "offline", "dock top", "winamp"})
    EXPECT_NE(Run(tail), 6) << tail;
  EXPECT_EQ(fake::Probes(), 0);
}

}  // namespace
