#include <gtest/gtest.h>

#include "run.h"

using namespace testing_support;

namespace {

constexpr char kClientKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quenvale";
constexpr char kPlayerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp";
constexpr char kValue[] = "UninstallString";
constexpr uint32_t kSz = 1, kDword = 4;

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
  };
  for (const Case& c : cases) {
    fake::Reset();
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
