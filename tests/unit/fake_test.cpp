// What the fake platform promises the unit tests and the fuzz target beyond
// the window system itself: runs that end their process, fresh state per run,
// deep trees, changes between the program's calls, the platform's command-line
// split and texts in UTF-8.
#include <gtest/gtest.h>

#include "platform/bounded_calls.h"
#include "run.h"

using namespace testing_support;

namespace {

int RunTailOfLine(void* tail) { return app::RunCommandTail(static_cast<char*>(tail)); }

// The labels of the windows an enumeration reports, in order.
int Collect(plat::Window window, intptr_t labels) {
  reinterpret_cast<Lines*>(labels)->push_back(fake::Label(window));
  return 1;
}

Lines ChildrenOf(plat::Window parent) {
  Lines labels;
  plat::EnumChildWindows(parent, Collect, reinterpret_cast<intptr_t>(&labels));
  return labels;
}

}  // namespace

TEST(FakeProcess, OutOfMemoryEndsTheRunWithItsBoxAndTheNextRunStartsAfresh) {
  fake::Reset();
  fake::Top("main", "quenvale", "Quenvale");
  fake::Top("a", "x", "A");
  fake::Top("b", "x", "B");
  fake::FailAllocationsAfter(2);  // the root and the first window
  char tail[] = "hide all";
  bool exited = false;
  EXPECT_EQ(fake::RunProcess(RunTailOfLine, tail, &exited), 1);
  EXPECT_FALSE(exited);  // the run returns its status; the inventory released what it had
  ASSERT_EQ(fake::Boxes().size(), 1u);
  EXPECT_EQ(fake::Boxes()[0].text, "Out of memory");
  EXPECT_EQ(fake::LiveAllocations(), 0);
  EXPECT_TRUE(fake::Journal().empty());

  fake::Reset();
  EXPECT_EQ(fake::LiveAllocations(), 0);
  fake::Top("main", "quenvale", "Quenvale");
  fake::Top("a", "x", "A");
  char again[] = "hide all";
  EXPECT_EQ(fake::RunProcess(RunTailOfLine, again, &exited), 0);
  EXPECT_FALSE(exited);
  EXPECT_EQ(fake::Journal(), Lines{"a hidden"});
  EXPECT_EQ(fake::LiveAllocations(), 0);
}

TEST(FakeProcess, TheWholeEntryReportsTheOutOfMemoryStatus) {
  fake::Reset();
  fake::Top("main", "quenvale", "Quenvale");
  plat::Window box = fake::Top("box", "frame", "Work");
  fake::Child(box, "c", "x", "aim console");
  fake::FailAllocationsAfter(2);  // fails inside the container's child enumeration
  EXPECT_EQ(RunTail("hide all"), 1);
  // Enumerations abandoned by the exit leave none of their state behind.
  fake::Reset();
  fake::Top("main", "quenvale", "Quenvale");
  fake::Top("note", "x", "Notes");
  EXPECT_EQ(RunTail("hide all"), 0);
  EXPECT_EQ(fake::Journal(), Lines{"note hidden"});
}

TEST(FakeReset, ForgetsTheClientWindowsAndTheBlocksOfTheLastRun) {
  fake::Reset();
  fake::Top("main", "quenvale", "Quenvale", 3);
  EXPECT_EQ(RunTail("hide"), 0);
  EXPECT_NE(inventory::g_clientWindows.mainWindow, nullptr);
  EXPECT_EQ(inventory::g_clientWindows.guiThreadId, 3u);
  void* left = plat::AllocateZeroed(16);
  ASSERT_NE(left, nullptr);
  EXPECT_EQ(fake::LiveAllocations(), 1);
  fake::Reset();
  EXPECT_EQ(inventory::g_clientWindows.mainWindow, nullptr);
  EXPECT_EQ(inventory::g_clientWindows.guiThreadId, 0u);
  EXPECT_EQ(inventory::g_clientWindows.contactListWindow, nullptr);
  EXPECT_EQ(fake::LiveAllocations(), 0);  // and released: the leak checker stays quiet
}

TEST(FakeWindows, ClosedWindowsTakeNoSettingsAndAnswerZero) {
  fake::Reset();
  plat::Window w = fake::Top("w", "x", "W");
  fake::Destroy(w);
  for (plat::Window gone : {w, plat::Window{nullptr}}) {
    fake::SetHandler(gone,
                     [](plat::Window, uint32_t, uintptr_t, intptr_t) -> intptr_t { return 7; });
    fake::SetReply(gone, 1, 7);
    fake::SetVisible(gone, true);
    fake::SetTitle(gone, "T");
    EXPECT_FALSE(fake::IsAlive(gone));
    EXPECT_FALSE(fake::IsMinimized(gone));
    EXPECT_EQ(fake::ExStyle(gone), 0u);
    EXPECT_EQ(plat::SendMessageW(gone, plat::WM_COMMAND, 1, 0), 0);
  }
  EXPECT_TRUE(fake::Journal().empty());
}

TEST(FakeWindows, ChildEnumerationIsDepthFirstAtAnyDepth) {
  fake::Reset();
  plat::Window top = fake::Top("top", "x", "T");
  plat::Window a = fake::Child(top, "a", "x");
  plat::Window a1 = fake::Child(a, "a1", "x");
  fake::Child(a1, "a11", "x");
  fake::Child(a, "a2", "x");
  plat::Window b = fake::Child(top, "b", "x");
  fake::Child(b, "b1", "x");
  EXPECT_EQ(ChildrenOf(top), (Lines{"a", "a1", "a11", "a2", "b", "b1"}));

  // A chain far deeper than a recursive walk's stack would allow.
  constexpr int kDepth = 200000;
  plat::Window chain = fake::Top("chain", "x", "C");
  plat::Window last = chain;
  for (int i = 0; i < kDepth; ++i) last = fake::Child(last, std::to_string(i), "x");
  Lines labels = ChildrenOf(chain);
  ASSERT_EQ(labels.size(), static_cast<size_t>(kDepth));
  EXPECT_EQ(labels.front(), "0");
  EXPECT_EQ(labels.back(), std::to_string(kDepth - 1));
  fake::Destroy(chain);
  EXPECT_FALSE(fake::IsAlive(last));
}

TEST(FakeWindows, EnumerationsReportWhatExistedAtTheStartAndIsStillOpen) {
  fake::Reset();
  plat::Window top = fake::Top("top", "x", "T");
  plat::Window a = fake::Child(top, "a", "x");
  plat::Window b = fake::Child(top, "b", "x");
  fake::Child(b, "b1", "x");
  fake::Child(top, "c", "x");
  struct Seen {
    Lines labels;
    plat::Window a, b;
  } seen{{}, a, b};
  plat::EnumChildWindows(
      top,
      [](plat::Window window, intptr_t context) {
        Seen* s = reinterpret_cast<Seen*>(context);
        s->labels.push_back(fake::Label(window));
        if (window == s->a) {
          fake::Child(s->a, "new", "x");  // opened meanwhile: not reported
          fake::Destroy(s->b);            // closed before its turn: left out, with b1
        }
        return 1;
      },
      reinterpret_cast<intptr_t>(&seen));
  EXPECT_EQ(seen.labels, (Lines{"a", "c"}));

  fake::Reset();
  plat::Window first = fake::Top("first", "x", "1");
  plat::Window second = fake::Top("second", "x", "2");
  fake::Top("other", "x", "3", 2);
  seen = Seen{{}, first, second};
  plat::EnumThreadWindows(
      1,
      [](plat::Window window, intptr_t context) {
        Seen* s = reinterpret_cast<Seen*>(context);
        s->labels.push_back(fake::Label(window));
        fake::Top("late", "x", "4");
        fake::Destroy(s->b);
        return 1;
      },
      reinterpret_cast<intptr_t>(&seen));
  EXPECT_EQ(seen.labels, Lines{"first"});
}

TEST(FakeHook, RunsBeforeEachCallButNotForItsOwnCalls) {
  fake::Reset();
  plat::Window w = fake::Top("w", "x", "Before");
  Lines calls;
  fake::SetCallHook([&](const char* call) {
    calls.push_back(call);
    if (calls.size() == 1) {
      char title[16];
      plat::ReadWindowTitle(w, title, sizeof title);  // not hooked again
      fake::SetTitle(w, std::string(title) + " after");
    }
  });
  char title[32];
  plat::ReadWindowTitle(w, title, sizeof title);
  EXPECT_STREQ(title, "Before after");
  plat::ShowWindow(w, plat::SW_HIDE);
  EXPECT_EQ(calls, (Lines{"ReadWindowTitle", "ShowWindow"}));
  fake::Reset();  // forgets the hook
  plat::ReadWindowTitle(nullptr, title, sizeof title);
  EXPECT_EQ(calls.size(), 2u);
}

TEST(FakeCommandLine, SplitsAsThePlatformDocuments) {
  using Args = std::vector<std::u16string>;
  EXPECT_EQ(fake::SplitCommandLine(u"p \"abc\" d e"), (Args{u"p", u"abc", u"d", u"e"}));
  EXPECT_EQ(fake::SplitCommandLine(u"p a\\\\b d\"e f\"g h"),
            (Args{u"p", u"a\\\\b", u"de fg", u"h"}));
  EXPECT_EQ(fake::SplitCommandLine(u"p a\\\\\\\"b c d"), (Args{u"p", u"a\\\"b", u"c", u"d"}));
  EXPECT_EQ(fake::SplitCommandLine(u"p a\\\\\\\\\"b c\" d e"),
            (Args{u"p", u"a\\\\b c", u"d", u"e"}));
  // Two quotes inside a quoted part: a literal quote, and the part ends.
  EXPECT_EQ(fake::SplitCommandLine(u"p a\"b\"\" c d"), (Args{u"p", u"ab\"", u"c", u"d"}));
  EXPECT_EQ(fake::SplitCommandLine(u"p \"\"\"a"), (Args{u"p", u"\"a"}));
  EXPECT_EQ(fake::SplitCommandLine(u"p \"\" x\t "), (Args{u"p", u"", u"x"}));
  // The program's name: quotes without escapes, ended by the next quote.
  EXPECT_EQ(fake::SplitCommandLine(u"\"C:\\My Tools\\d.exe\"top x"),
            (Args{u"C:\\My Tools\\d.exe", u"top", u"x"}));
  EXPECT_EQ(fake::SplitCommandLine(u"\"C:\\a\\\" b"), (Args{u"C:\\a\\", u"b"}));
  EXPECT_EQ(fake::SplitCommandLine(u" top"), (Args{u"", u"top"}));
  EXPECT_EQ(fake::SplitCommandLine(u"\"unended name"), Args{u"unended name"});
  EXPECT_EQ(fake::SplitCommandLine(u"").size(), 1u);
}

TEST(FakeText, TitlesAreReadAsAtMost399UnitsAndHandedUpInUtf8) {
  fake::Reset();
  // A pair across the 399th unit leaves its first half, unpaired.
  const std::string cut = std::string(398, 'a') + "\U0001F600";
  const std::string fits = std::string(397, 'a') + "\U0001F600";
  plat::Window a = fake::Top("a", "x", cut);
  plat::Window b = fake::Top("b", "x", fits);
  plat::Window c = fake::Top("c", "x", "W\xe9 \xed\xa0\x80");  // a stray byte, a lone surrogate
  char title[plat::kReadTextSize];
  EXPECT_EQ(plat::ReadWindowTitle(a, title, sizeof title), 398u + 3u);
  EXPECT_EQ(std::string(title), std::string(398, 'a') + "\xed\xa0\xbd");
  EXPECT_EQ(std::string(title, plat::ReadWindowTitle(b, title, sizeof title)), fits);
  EXPECT_EQ(std::string(title, plat::ReadWindowTitle(c, title, sizeof title)), "W\xc3\xa9 \xed\xa0\x80");
  EXPECT_EQ(plat::ReadWindowTitle(b, title, 400), 397u);  // never half a character
}

TEST(FakeText, TheContactTypedIntoTheSendDialogEndsOnAWholeCharacter) {
  fake::Reset();
  fake::Top("main", "quenvale", "Quenvale");
  plat::Window console = fake::Top("aim", "x", "aim console");
  fake::SetHandler(console, [](plat::Window, uint32_t, uintptr_t, intptr_t) -> intptr_t {
    plat::Window dialog = fake::Top("dialog", "#32770", "Sending an Instant Message...");
    fake::Child(dialog, "edit", "Edit");
    return 0;
  });
  // "aim " takes 4 of the 399 characters; 395 are left, each a pair of units.
  std::u16string contact;
  for (int i = 0; i < 450; ++i) contact += u"\U0001F600";
  std::vector<std::u16string> wide = {u"dowtrane.exe", u"sendmessage", u"aim", contact};
  fake::SetCommandLine(u"dowtrane.exe sendmessage aim x", wide);
  char tail[] = "sendmessage aim x";
  EXPECT_EQ(fake::RunProcess(RunTailOfLine, tail, nullptr), 0);
  std::u16string typed;
  for (const std::string& line : fake::Journal())
    if (line.rfind("edit char ", 0) == 0) typed += static_cast<char16_t>(std::stoi(line.substr(10)));
  EXPECT_EQ(typed.size(), 2u * 395u);
  for (size_t i = 0; i + 1 < typed.size(); i += 2) ASSERT_EQ(typed.substr(i, 2), u"\U0001F600") << i;
}
