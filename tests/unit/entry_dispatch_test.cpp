#include <gtest/gtest.h>

#include "run.h"

using namespace testing_support;

namespace {

class Dispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    main_ = fake::Top("main", "quenvale", "Quenvale");
  }
  plat::Window main_ = nullptr;
};

std::string Tail(const char* line) { return app::FindTail(line); }

}  // namespace

TEST(Entry, FindsTheTailBehindQuotedAndUnquotedNames) {
  EXPECT_EQ(Tail("dowtrane.exe top"), "top");
  EXPECT_EQ(Tail("\"C:\\My Tools\\dowtrane.exe\" top"), "top");
  EXPECT_EQ(Tail(" \t dowtrane \t  top x"), "top x");
  EXPECT_EQ(Tail("\"dowtrane"), "");
  EXPECT_EQ(Tail("\"dow\ttrane\" top"), "trane\" top");  // a tab ends a quoted name
  EXPECT_EQ(Tail("dowtrane.exe"), "");
  EXPECT_EQ(Tail("dowtrane.exe \t "), "");
  EXPECT_EQ(Tail("\"dowtrane.exe\"top"), "top");
}

TEST(Entry, TokensSplitAtBlanksOnlyAndAtMostFour) {
  char tail[] = "sendmessage   aim bob extra words";
  char* cursor = tail;
  EXPECT_STREQ(app::NextToken(&cursor), "sendmessage");
  EXPECT_STREQ(app::NextToken(&cursor), "aim");
  EXPECT_STREQ(app::NextToken(&cursor), "bob");
  EXPECT_STREQ(app::NextToken(&cursor), "extra");
  EXPECT_STREQ(cursor, "words");

  char tabbed[] = "exit\t5";
  cursor = tabbed;
  EXPECT_STREQ(app::NextToken(&cursor), "exit\t5");
  EXPECT_EQ(app::NextToken(&cursor), nullptr);

  char trailing[] = "top   ";
  cursor = trailing;
  EXPECT_STREQ(app::NextToken(&cursor), "top");
  EXPECT_EQ(app::NextToken(&cursor), nullptr);
}

TEST_F(Dispatch, EmptyTailOpensTheHelpFileAndLooksUpNothing) {
  EXPECT_EQ(RunLine("dowtrane.exe  \t "), 0);
  ASSERT_EQ(fake::StartedPrograms().size(), 1u);
  EXPECT_EQ(fake::StartedPrograms()[0].file, "explorer.exe");
  EXPECT_EQ(fake::StartedPrograms()[0].parameters, "dowtrane.txt");
  EXPECT_EQ(fake::StartedPrograms()[0].show, 1);
  EXPECT_EQ(inventory::g_clientWindows.mainWindow, nullptr);
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(Dispatch, MainWindowCommandsByShortestWord) {
  struct Row {
    const char* word;
    const char* sent;
  } rows[] = {
      {"away+", "main command 40019"},  {"AWAY+NOW", "main command 40019"},
      {"away", "main command 40027"},   {"pref", "main command 40010"},
      {"conn", "main command 40006"},   {"recon", "main command 40023"},
      {"discon", "main command 40024"}, {"exit", "main command 40002"},
      {"exitnow", "main command 40002"}, {"sound", "main command 40026"},
      {"showbuddy", "main command 3001"}, {"top", "main command 1000"},
      {"topmost", "main command 1000"},
  };
  for (const Row& row : rows) {
    fake::Journal().clear();
    EXPECT_EQ(RunTail(row.word), 1) << row.word;
    EXPECT_EQ(fake::Journal(), Lines{row.sent}) << row.word;
  }
}

TEST_F(Dispatch, WordsOneLetterShortReachTheWindowCommands) {
  for (const char* word : {"awa", "pre", "con", "reco", "disco", "exi", "soun", "to", "showb"}) {
    fake::Journal().clear();
    EXPECT_EQ(RunTail(word), 0) << word;
    for (const std::string& line : fake::Journal())
      EXPECT_EQ(line.find("main command"), std::string::npos) << word << ": " << line;
  }
}

TEST_F(Dispatch, MissingClientSaysSoForEveryWordButTheLaunchers) {
  fake::Destroy(main_);
  fake::Top("other", "quenvale2", "Quenvale");
  EXPECT_EQ(RunTail("top"), 0);
  EXPECT_EQ(RunTail("exit 10"), 0);
  EXPECT_EQ(RunTail("hide all"), 0);
  ASSERT_EQ(fake::Boxes().size(), 3u);
  for (const fake::Box& box : fake::Boxes()) {
    EXPECT_EQ(box.text, "Can't find Quenvale window\n\nUse 'Dowtrane launch' to start Quenvale");
    EXPECT_EQ(box.caption, "Dowtrane Error");
    EXPECT_EQ(box.type, plat::MB_ICONERROR);
  }
  EXPECT_EQ(fake::ClockMilliseconds(), 0);  // "exit 10" did not wait
  EXPECT_EQ(inventory::g_clientWindows.guiThreadId, 0u);
  EXPECT_TRUE(fake::Journal().empty());
  EXPECT_EQ(RunTail("launch"), 1);
  EXPECT_EQ(fake::Boxes().size(), 3u);
}

TEST_F(Dispatch, FindsTheTopmostMainWindowAndItsThread) {
  fake::Reset();
  fake::Top("plain", "other", "Quenvale", 4);
  fake::Top("first", "QUENVALE", "Anything", 7);
  fake::Top("second", "quenvale", "Quenvale", 9);
  EXPECT_EQ(RunTail("top"), 1);
  EXPECT_EQ(fake::Journal(), Lines{"first command 1000"});
  EXPECT_EQ(inventory::g_clientWindows.guiThreadId, 7u);
}

TEST_F(Dispatch, ExitDelaySendsAtTheFirstReadingWithNWholeSecondsPassed) {
  fake::SetClockMilliseconds(1000700);  // 0.7 s into a second
  EXPECT_EQ(RunTail("exit 3"), 1);
  ASSERT_EQ(fake::Journal(), Lines{"main command 40002"});
  // Three whole seconds have passed on the calendar at 1003.000: 2.3 s of waiting.
  EXPECT_GE(fake::JournalTimes()[0], 1003000);
  EXPECT_LT(fake::JournalTimes()[0], 1003000 + 20);
  // It slept between readings instead of spinning.
  EXPECT_LT(fake::ClockReadings(), 2300 / 10 + 5);
}

TEST_F(Dispatch, ExitDelayWithoutWaiting) {
  for (const char* tail : {"exit", "exit 0", "exit -4", "exit soon"}) {
    fake::Reset();
    fake::Top("main", "quenvale", "Quenvale");
    fake::SetClockMilliseconds(5000);
    EXPECT_EQ(RunTail(tail), 1) << tail;
    EXPECT_EQ(fake::Journal(), Lines{"main command 40002"}) << tail;
    EXPECT_EQ(fake::ClockMilliseconds(), 5000) << tail;
  }
  fake::SetClockMilliseconds(0);
  EXPECT_EQ(RunTail("exit 5x"), 1);
  EXPECT_GE(fake::ClockMilliseconds(), 5000);
  EXPECT_LT(fake::ClockMilliseconds(), 5020);
}

TEST_F(Dispatch, WideArgumentsAreAbsentWhenTheSplitFails) {
  fake::Top("console", "c", "aim console");
  fake::FailCommandLineSplit();
  inventory::g_clientWindows = inventory::ClientWindows{};
  char tail[] = "sendmessage aim bob";
  EXPECT_EQ(app::WinMain(tail), 0);
  // Without the wide elements the medium word alone goes to the consoles.
  EXPECT_EQ(fake::Journal(), Lines{"console command 4029"});
}
