#include <gtest/gtest.h>

#include "box_kind.h"
#include "run.h"

using namespace testing_support;

namespace {

constexpr char kClientKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quenvale";
constexpr char kPlayerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp";
constexpr char kValue[] = "UninstallString";
constexpr uint32_t kSz = 1, kExpand = 2, kDword = 4;
using Place = plat::RegistryPlace;

std::string Terminated(const std::string& s) { return s + std::string(1, '\0'); }

std::vector<std::string> Started() {
  std::vector<std::string> out;
  for (const fake::Started& s : fake::StartedPrograms()) {
    EXPECT_EQ(s.parameters, "(null)");
    EXPECT_EQ(s.show, 1);
    out.push_back(s.file);
  }
  return out;
}

// The boxes shown, as the end-to-end suites write them.
Lines Boxes() {
  Lines out;
  for (const fake::Box& b : fake::Boxes())
    out.push_back(b.caption + "|" + b.text + "|" + BoxKind(b.type));
  return out;
}

class Launchers : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

}  // namespace

TEST_F(Launchers, LaunchDoesNothingWhileTheClientRuns) {
  fake::Top("main", "quenvale", "Quenvale");
  fake::SetRegistry(kClientKey, kValue, kSz, Terminated("C:\\Q\\quenvale.exeuninst.exe"));
  EXPECT_EQ(RunTail("launch"), 1);
  EXPECT_TRUE(Started().empty());
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(Launchers, LaunchCutsTheLastTenCharacters) {
  fake::SetRegistry(kClientKey, kValue, kSz, Terminated("C:\\Q\\quenvale.exe /uninst.x"));
  EXPECT_EQ(RunTail("launchnow"), 1);
  EXPECT_EQ(Started(), Lines{"C:\\Q\\quenvale.exe"});
}

TEST_F(Launchers, LaunchReadsTheFirstPlaceThatHoldsTheEntry) {
  struct Value {
    Place place;
    uint32_t type;
    std::string text;
  };
  struct Case {
    std::vector<Value> values;
    std::string started;
  } cases[] = {
      {{{Place::CurrentUser, kSz, "C:\\U\\q.exe /uninst.x"},
        {Place::Machine32, kSz, "C:\\M32\\q.exe /uninst.x"},
        {Place::Machine64, kSz, "C:\\M64\\q.exe /uninst.x"}},
       "C:\\U\\q.exe"},
      {{{Place::Machine32, kSz, "C:\\M32\\q.exe /uninst.x"},
        {Place::Machine64, kSz, "C:\\M64\\q.exe /uninst.x"}},
       "C:\\M32\\q.exe"},
      {{{Place::Machine64, kSz, "C:\\M64\\q.exe /uninst.x"}}, "C:\\M64\\q.exe"},
      {{{Place::CurrentUser, kSz, "C:\\U\\q.exe /uninst.x"},
        {Place::Machine64, kSz, "C:\\M64\\q.exe /uninst.x"}},
       "C:\\U\\q.exe"},
      // A place that holds the value decides, even when it cannot be used.
      {{{Place::CurrentUser, kDword, "\x01\x02\x03\x04"},
        {Place::Machine32, kSz, "C:\\M32\\q.exe /uninst.x"}},
       "quenvale.exe"},
      {{{Place::Machine32, kSz, std::string(1000, 'x')},
        {Place::Machine64, kSz, "C:\\M64\\q.exe /uninst.x"}},
       "quenvale.exe"},
      // An empty text is a value too.
      {{{Place::CurrentUser, kSz, ""}, {Place::Machine32, kSz, "C:\\M32\\q.exe /uninst.x"}},
       "quenvale.exe"},
  };
  for (const Case& c : cases) {
    fake::Reset();
    // The current user's other value of the key, and the player's entry:
    // neither holds the client's value.
    fake::SetRegistry(kClientKey, "DisplayName", kSz, Terminated("C:\\Other\\o.exe /uninst.x"),
                      Place::CurrentUser);
    fake::SetRegistry(kPlayerKey, kValue, kSz, Terminated("C:\\Other\\o.exe /uninst.x"),
                      Place::CurrentUser);
    for (const Value& v : c.values)
      fake::SetRegistry(kClientKey, kValue, v.type, v.type == kDword ? v.text : Terminated(v.text),
                        v.place);
    EXPECT_EQ(RunTail("launch"), 1);
    EXPECT_EQ(Started(), Lines{c.started}) << c.started;
    EXPECT_TRUE(fake::Boxes().empty());
  }
}

TEST_F(Launchers, LaunchExpandsTheVariablesOfAnExpandableEntryBeforeTheCut) {
  struct Case {
    uint32_t type;
    std::string text;
    std::string started;
  } cases[] = {
      {kExpand, "%ProgramFiles%\\Quenvale\\quenvale.exe /uninst.x",
       "C:\\Program Files\\Quenvale\\quenvale.exe"},
      {kExpand, "%programfiles%\\q.exe /uninst.x", "C:\\Program Files\\q.exe"},
      {kExpand, "C:\\Q\\quenvale.exe%Tail%", "C:\\Q\\quenvale.exe"},  // cut after expanding
      {kExpand, "%Unset%\\q.exe /uninst.x", "%Unset%\\q.exe"},           // left as it is
      {kExpand, "C:\\100%\\q.exe /uninst.x", "C:\\100%\\q.exe"},
      {kSz, "%ProgramFiles%\\q.exe /uninst.x", "%ProgramFiles%\\q.exe"},  // a plain text
      // 388 + 10 characters: used; one more is too long for the cut.
      {kExpand, "%Long%\\" + std::string(67, 'q') + "/uninst.xy",
       std::string(320, 'L') + "\\" + std::string(67, 'q')},
      {kExpand, "%Long%\\" + std::string(68, 'q') + "/uninst.xy", "quenvale.exe"},
      // An expansion that does not fit the registry's 799 units, or would
      // only without its terminator.
      {kExpand, "%Long%%Long%%Long%\\q.exe /uninst.x", "quenvale.exe"},
      {kExpand, "%Long%%Long%" + std::string(159, 'q'), "quenvale.exe"},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::SetEnvironment("ProgramFiles", "C:\\Program Files");
    fake::SetEnvironment("TAIL", " /uninst.x");
    fake::SetEnvironment("Long", std::string(320, 'L'));
    fake::SetRegistry(kClientKey, kValue, c.type, Terminated(c.text));
    EXPECT_EQ(RunTail("launch"), 1);
    EXPECT_EQ(Started(), Lines{c.started}) << c.text;
  }
}

TEST_F(Launchers, LaunchFallsBackToTheBareNameForUnusableEntries) {
  const std::string long398(388, 'p');
  struct Case {
    uint32_t type;
    std::string bytes;
    std::string started;
  } cases[] = {
      {kSz, Terminated(long398 + "0123456789"), long398},   // 398 characters: used
      {kSz, Terminated(long398 + "01234567890"), "quenvale.exe"},  // 399: too long
      {kSz, Terminated(std::string(600, 'x')), "quenvale.exe"},
      {kSz, std::string(400, 'x'), "quenvale.exe"},           // no room for a terminator
      {kDword, std::string("\x01\x02\x03\x04", 4), "quenvale.exe"},
      {kSz, Terminated("0123456789"), "quenvale.exe"},        // nothing before the ten
      {kSz, Terminated("abc"), "quenvale.exe"},
      {kSz, "", "quenvale.exe"},
      {kSz, "C:\\Q\\q.exe0123456789", "C:\\Q\\q.exe"},        // stored without a zero
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::SetRegistry(kClientKey, kValue, c.type, c.bytes);
    EXPECT_EQ(RunTail("launch"), 1);
    EXPECT_EQ(Started(), Lines{c.started}) << c.bytes.size();
  }
  fake::Reset();
  EXPECT_EQ(RunTail("launch"), 1);  // no entry at all
  EXPECT_EQ(Started(), Lines{"quenvale.exe"});
}

TEST_F(Launchers, WinampCommandsARunningPlayerAfterTheClientsSoundCommand) {
  fake::Top("main", "quenvale", "Quenvale");
  fake::Top("player", "Winamp v1.x", "Winamp");
  EXPECT_EQ(RunTail("winamp"), 1);
  EXPECT_EQ(fake::Journal(), (Lines{"main command 40026", "player command 40001"}));
  EXPECT_TRUE(Started().empty());
}

TEST_F(Launchers, WinampStartsThePlayerFromItsRegisteredFolder) {
  fake::SetRegistry(kPlayerKey, kValue, kSz,
                    Terminated("\"C:\\Program Files\\Winamp\\UninstWA.exe\" /x"));
  EXPECT_EQ(RunTail("winamp"), 1);
  EXPECT_TRUE(fake::Journal().empty());  // neither client nor player to tell
  EXPECT_EQ(Started(), Lines{"C:\\Program Files\\Winamp\\winamp.exe"});

  fake::Reset();
  fake::Top("main", "quenvale", "Quenvale");
  fake::SetRegistry(kPlayerKey, kValue, kSz, Terminated("D:\\W\\uninst.exe"));
  EXPECT_EQ(RunTail("winamp"), 1);
  EXPECT_EQ(fake::Journal(), Lines{"main command 40026"});
  EXPECT_EQ(Started(), Lines{"D:\\W\\winamp.exe"});

  // The places in their order, and an expandable entry: the same read as
  // the client's. The longest expansion that fits: 798 units.
  struct Case {
    Place place;
    uint32_t type;
    std::string text;
    std::string started;
  } cases[] = {
      {Place::CurrentUser, kSz, "C:\\U\\uninst.exe", "C:\\U\\winamp.exe"},
      {Place::Machine64, kSz, "C:\\M64\\uninst.exe", "C:\\M64\\winamp.exe"},
      {Place::Machine32, kExpand, "\"%ProgramFiles%\\Winamp\\UninstWA.exe\" /x",
       "C:\\Program Files\\Winamp\\winamp.exe"},
      {Place::Machine32, kExpand, "C:\\W\\u.exe%Fills%", "C:\\W\\winamp.exe"},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::SetEnvironment("ProgramFiles", "C:\\Program Files");
    fake::SetEnvironment("Fills", std::string(788, 'x'));
    if (c.place == Place::CurrentUser)
      fake::SetRegistry(kPlayerKey, kValue, kSz, Terminated("C:\\Other\\uninst.exe"));
    fake::SetRegistry(kPlayerKey, kValue, c.type, Terminated(c.text), c.place);
    EXPECT_EQ(RunTail("winamp"), 1);
    EXPECT_EQ(Started(), Lines{c.started}) << c.text;
  }
}

TEST_F(Launchers, WinampFallsBackToTheBareNameForUnusableEntries) {
  struct Case {
    uint32_t type;
    std::string bytes;
  } cases[] = {
      {kSz, Terminated("uninst.exe")},                          // no backslash
      {kSz, Terminated(std::string(390, 'x') + "\\u")},  // folder + winamp.exe too long
      {kDword, "\\\\\\\\"},
      {kSz, std::string(400, '\\')},                            // no terminator, no room
      {kExpand, Terminated("C:\\W\\u.exe%Fills%x")},  // 799 units: no room for the terminator
      {kExpand, Terminated("C:\\W\\u.exe%Fills%%Fills%")},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::SetEnvironment("Fills", std::string(788, 'x'));
    fake::SetRegistry(kPlayerKey, kValue, c.type, c.bytes);
    EXPECT_EQ(RunTail("winamp"), 1);
    EXPECT_EQ(Started(), Lines{"winamp.exe"}) << c.bytes.size();
  }
  fake::Reset();
  EXPECT_EQ(RunTail("winamp"), 1);
  EXPECT_EQ(Started(), Lines{"winamp.exe"});

  // The longest folder that still fits with "winamp.exe" and its terminator.
  fake::Reset();
  std::string folder = std::string(388, 'f') + "\\";
  fake::SetRegistry(kPlayerKey, kValue, kSz, Terminated(folder + "u"));
  EXPECT_EQ(RunTail("winamp"), 1);
  EXPECT_EQ(Started(), Lines{folder + "winamp.exe"});
}

TEST_F(Launchers, ABoxSaysWhenTheShellCannotStartTheProgram) {
  const std::string notFound = "The system cannot find the file specified.";
  // ShellExecuteW's result, and the box, which shows the system's text for
  // the error code that the result stands for.
  struct Case {
    const char* command;
    intptr_t result;
    std::string box;
  } cases[] = {
      {"launch", 2, "Can't start:\n\tC:\\Q\\quenvale.exe\n\n" + notFound},
      {"launch", 3, "Can't start:\n\tC:\\Q\\quenvale.exe\n\nPath " + notFound},
      {"winamp", 5, "Can't start:\n\twinamp.exe\n\nAccess is denied."},
      {"winamp", 0, "Can't start:\n\twinamp.exe\n\nNot enough memory."},  // 8
      {"winamp", 26, "Can't start:\n\twinamp.exe\n\nSharing violation."},  // 32
      {"winamp", 27, "Can't start:\n\twinamp.exe\n\nNo association."},  // 1155
      {"winamp", 31, "Can't start:\n\twinamp.exe\n\nNo association."},
      {"winamp", 28, "Can't start:\n\twinamp.exe\n\nDDE failed."},  // 1156
      {"winamp", 30, "Can't start:\n\twinamp.exe\n\nDDE failed."},
      {"winamp", 32, "Can't start:\n\twinamp.exe\n\nNo library."},  // 1157
      {"winamp", 11, "Can't start:\n\twinamp.exe\n\nError 11"},  // the system has no text
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::SetSystemMessage(2, notFound + "\r\n");
    fake::SetSystemMessage(3, "Path " + notFound + "\r\n");
    fake::SetSystemMessage(5, "Access is denied.\r\n");
    fake::SetSystemMessage(8, "Not enough memory. \r\n");
    fake::SetSystemMessage(32, "Sharing violation.\r\n");
    fake::SetSystemMessage(1155, "No association.\r\n");
    fake::SetSystemMessage(1156, "DDE failed.");
    fake::SetSystemMessage(1157, "No library.\n");
    if (std::string(c.command) == "launch")
      fake::SetRegistry(kClientKey, kValue, kSz, Terminated("C:\\Q\\quenvale.exe /uninst.x"));
    fake::FailStarts(c.result);
    EXPECT_EQ(RunTail(c.command), 1);
    EXPECT_TRUE(Started().empty());
    EXPECT_EQ(Boxes(), Lines{"Dowtrane Error|" + c.box + "|error ok"}) << c.result;
  }

  // The reason always shows whole: a path too long for the box's 399
  // characters with it is cut; a text longer than the system's 255 units
  // is none.
  const std::string start = "Can't start:\n\t";
  const std::string folder = std::string(388, 'f') + "\\";
  const std::string reason(200, 'r');
  fake::Reset();
  fake::SetSystemMessage(2, reason + "\r\n");
  fake::SetRegistry(kPlayerKey, kValue, kSz, Terminated(folder + "u"));
  fake::FailStarts(2);
  EXPECT_EQ(RunTail("winamp"), 1);
  const std::string cut = (folder + "winamp.exe").substr(0, 399 - start.size() - 2 - 200);
  EXPECT_EQ(Boxes(), Lines{"Dowtrane Error|" + start + cut + "\n\n" + reason + "|error ok"});
  for (size_t length : {253, 254}) {
    fake::Reset();
    fake::SetSystemMessage(2, std::string(length, 'r') + "\r\n");
    fake::FailStarts(2);
    EXPECT_EQ(RunTail("winamp"), 1);
    const std::string shown = length == 253 ? std::string(253, 'r') : "Error 2";
    EXPECT_EQ(Boxes(), Lines{"Dowtrane Error|" + start + "winamp.exe\n\n" + shown + "|error ok"});
  }
}
