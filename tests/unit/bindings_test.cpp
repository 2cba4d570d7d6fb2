// /bind and /unbind against the fake's shortcuts in memory.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/keys.h"
#include "box_kind.h"
#include "fake_shortcuts.h"
#include "run.h"

using namespace testing_support;

namespace {

constexpr char kProgram[] = "C:\\Tools\\dowtrane.exe";
constexpr char kOwn[] =
    "C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Dowtrane";
constexpr uint16_t kCtrlAlt = (plat::HOTKEYF_CONTROL | plat::HOTKEYF_ALT) << 8;
constexpr int kNotBound = 9;

std::string Own(const std::string& name) { return std::string(kOwn) + "\\" + name; }

std::string Written(uint16_t hotkey) {
  char text[64];
  utf8::Builder b = utf8::Start(text, sizeof text);
  app::WriteKeys(b, hotkey);
  return text;
}

// A shortcut as a line: "<target>|<arguments>|<working folder>|<keys>".
std::string Described(const std::string& path) {
  fake::FakeShortcut s;
  if (!fake::ReadStoredShortcut(path, &s)) return "(none)";
  return s.target + "|" + s.arguments + "|" + s.workingFolder + "|" +
         (s.hotkey == 0 ? "none" : Written(s.hotkey));
}

class Bindings : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::SetProgramPath(kProgram);
    fake::AddFile(kProgram);
  }
  void TearDown() override {
    // COM was released on every path, and nothing used it before it started.
    EXPECT_EQ(fake::ComDepth(), 0);
    EXPECT_EQ(fake::CallsWithoutCom(), 0);
    EXPECT_EQ(fake::LiveAllocations(), 0);
  }
  // The text of the one box shown, with its kind.
  static std::string OneBox() {
    EXPECT_EQ(fake::Boxes().size(), 1u);
    if (fake::Boxes().empty()) return "(no box)";
    const fake::Box& box = fake::Boxes()[0];
    return "[" + box.caption + "] " + BoxKind(box.type) + ": " + box.text;
  }
};

}  // namespace

TEST(Keys, TheReaderTakesTheFormsTheShellTakesAndWritesOneForm) {
  struct Row {
    const char* typed;
    const char* written;  // null: refused
    uint16_t hotkey;
  } rows[] = {
      {"Ctrl+Alt+B", "Ctrl+Alt+B", kCtrlAlt | 'B'},
      {"alt+CTRL+b", "Ctrl+Alt+B", kCtrlAlt | 'B'},
      {"shift+ctrl+7", "Ctrl+Shift+7", (plat::HOTKEYF_CONTROL | plat::HOTKEYF_SHIFT) << 8 | '7'},
      {"Shift+Alt+Ctrl+z", "Ctrl+Alt+Shift+Z",
       (plat::HOTKEYF_CONTROL | plat::HOTKEYF_ALT | plat::HOTKEYF_SHIFT) << 8 | 'Z'},
      {"F5", "F5", 0x74},
      {"f24", "F24", 0x87},
      {"shift+F1", "Shift+F1", plat::HOTKEYF_SHIFT << 8 | 0x70},
      {"Ctrl+F12", "Ctrl+F12", plat::HOTKEYF_CONTROL << 8 | 0x7B},
      {"ctrl+alt+home", "Ctrl+Alt+Home", kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x24},
      {"Ctrl+Alt+PGUP", "Ctrl+Alt+PgUp", kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x21},
      {"Ctrl+Shift+pgdn", "Ctrl+Shift+PgDn",
       (plat::HOTKEYF_CONTROL | plat::HOTKEYF_SHIFT | plat::HOTKEYF_EXT) << 8 | 0x22},
      {"Alt+Shift+End", "Alt+Shift+End",
       (plat::HOTKEYF_ALT | plat::HOTKEYF_SHIFT | plat::HOTKEYF_EXT) << 8 | 0x23},
      {"Ctrl+Alt+Insert", "Ctrl+Alt+Insert", kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x2D},
      {"Ctrl+Alt+delete", "Ctrl+Alt+Delete", kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x2E},
      {"Ctrl+Alt+Left", "Ctrl+Alt+Left", kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x25},
      {"Ctrl+Alt+up", "Ctrl+Alt+Up", kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x26},
      {"Ctrl+Alt+Right", "Ctrl+Alt+Right", kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x27},
      {"Ctrl+Alt+Down", "Ctrl+Alt+Down", kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x28},
      {"Ctrl+Alt+num0", "Ctrl+Alt+Num0", kCtrlAlt | 0x60},
      {"Ctrl+Alt+Num9", "Ctrl+Alt+Num9", kCtrlAlt | 0x69},
      // Refused: one modifier or none before a key that is no function key,
      // a modifier twice, unknown words, empty parts, F0, F25, F01.
      {"B", nullptr, 0},
      {"Ctrl+B", nullptr, 0},
      {"Alt+Home", nullptr, 0},
      {"Ctrl+Ctrl+B", nullptr, 0},
      {"Ctrl+Alt+Alt+B", nullptr, 0},
      {"Ctrl+Win+B", nullptr, 0},
      {"Control+Alt+B", nullptr, 0},
      {"Ctrl+Alt+", nullptr, 0},
      {"Ctrl++B", nullptr, 0},
      {"+Ctrl+Alt+B", nullptr, 0},
      {"Ctrl+Alt+BB", nullptr, 0},
      {"Ctrl+Alt+Ctrl", nullptr, 0},
      {"Ctrl+Alt+F0", nullptr, 0},
      {"F25", nullptr, 0},
      {"F01", nullptr, 0},
      {"Ctrl+Alt+Num", nullptr, 0},
      {"Ctrl+Alt+Num10", nullptr, 0},
      {"Ctrl+Alt+PageUp", nullptr, 0},
      {"Ctrl+Alt+\xC3\xA9", nullptr, 0},
      {"Ctrl+Alt+;", nullptr, 0},
      {"", nullptr, 0},
  };
  for (const Row& row : rows) {
    const uint16_t hotkey = app::ReadKeys(row.typed);
    EXPECT_EQ(hotkey, row.hotkey) << row.typed;
    if (row.written != nullptr) {
      EXPECT_EQ(Written(hotkey), row.written) << row.typed;
    }
  }
}

TEST_F(Bindings, BindWritesTheShortcutInTheProgramsOwnFolder) {
  EXPECT_EQ(RunTail("/bind ctrl+alt+b togglebuddy"), 0);
  EXPECT_EQ(OneBox(), "[Dowtrane - Hotkeys] information ok: Ctrl+Alt+B now runs: dowtrane togglebuddy");
  EXPECT_EQ(fake::ShortcutPaths(), Lines{Own("Ctrl+Alt+B togglebuddy.lnk")});
  EXPECT_EQ(Described(Own("Ctrl+Alt+B togglebuddy.lnk")),
            "C:\\Tools\\dowtrane.exe|togglebuddy|C:\\Tools|Ctrl+Alt+B");
}

TEST_F(Bindings, TheCommandGoesAsTypedAndTheNameHoldsNoCharacterANameCannotHold) {
  EXPECT_EQ(RunTail("/BIND Ctrl+Shift+S  sendmessage icq   \"John|Smith\"  "), 0);
  const std::string name = Own("Ctrl+Shift+S sendmessage icq   _John_Smith_.lnk");
  EXPECT_EQ(fake::ShortcutPaths(), Lines{name});
  EXPECT_EQ(Described(name),
            "C:\\Tools\\dowtrane.exe|sendmessage icq   \"John|Smith\"|C:\\Tools|Ctrl+Shift+S");
  // Names keep the command's first 60 characters.
  fake::Reset();
  fake::SetProgramPath(kProgram);
  EXPECT_EQ(RunTail("/bind F7 hide container " + std::string(70, 'w') + " x:y"), 0);
  EXPECT_EQ(fake::ShortcutPaths(), Lines{Own("F7 hide container " + std::string(45, 'w') + "....lnk")});
}

TEST_F(Bindings, KeysOfAShortcutOnTheDesktopAreRefusedNamingIt) {
  const std::string other = std::string(fake::kUserDesktop) + "\\Editor.lnk";
  fake::AddShortcut(other, fake::MakeShortcut("C:\\ed.exe", "", "", kCtrlAlt | 'E'));
  fake::SetStandardOutput(fake::Output::File);
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+E top"), kNotBound);
  EXPECT_EQ(fake::StandardError(),
            "Ctrl+Alt+E is taken by the shortcut\r\n\t" + other + "\r\n");
  EXPECT_TRUE(fake::Boxes().empty());
  EXPECT_EQ(fake::ShortcutPaths(), Lines{other});
  EXPECT_FALSE(fake::FolderExists(kOwn));
}

TEST_F(Bindings, KeysOfAShortcutInASubfolderOfTheAllUsersStartMenuAreRefused) {
  const std::string other = std::string(fake::kCommonStartMenu) + "\\Programs\\Tools\\Deep\\Mail.lnk";
  // Told by their keys, whatever HOTKEYF_EXT says.
  fake::AddShortcut(other, fake::MakeShortcut("C:\\mail.exe", "", "",
                                              kCtrlAlt | plat::HOTKEYF_EXT << 8 | 'M'));
  fake::AddPlainFile(std::string(fake::kCommonStartMenu) + "\\Programs\\Tools\\desktop.ini");
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+M top"), kNotBound);
  EXPECT_EQ(OneBox(), "[Dowtrane Error] error ok: Ctrl+Alt+M is taken by the shortcut\n\t" + other);
  EXPECT_EQ(fake::ShortcutPaths(), Lines{other});
  // Other keys are free.
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+N top"), 0);
  EXPECT_EQ(fake::ShortcutPaths().size(), 2u);
}

TEST_F(Bindings, TheProgramsOwnBindingOfTheKeysIsReplaced) {
  fake::AddShortcut(Own("Ctrl+Alt+B top.lnk"), fake::MakeShortcut(kProgram, "top", "C:\\Tools", kCtrlAlt | 'B'));
  // The shell holds the keys of the binding it runs; that is no refusal.
  fake::HoldKeys(kCtrlAlt | 'B');
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+B togglebuddy"), 0);
  EXPECT_EQ(OneBox(), "[Dowtrane - Hotkeys] information ok: Ctrl+Alt+B now runs: dowtrane togglebuddy\n"
                      "It ran before: dowtrane top");
  EXPECT_EQ(fake::ShortcutPaths(), Lines{Own("Ctrl+Alt+B togglebuddy.lnk")});
  // The same command again writes over the shortcut of the same name.
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+B togglebuddy"), 0);
  EXPECT_EQ(fake::ShortcutPaths(), Lines{Own("Ctrl+Alt+B togglebuddy.lnk")});
}

TEST_F(Bindings, KeysThatARunningProgramHoldsAreRefused) {
  fake::HoldKeys(kCtrlAlt | 'H');
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+H top"), kNotBound);
  EXPECT_EQ(OneBox(), "[Dowtrane Error] error ok: Ctrl+Alt+H is held by a running program.");
  EXPECT_TRUE(fake::ShortcutPaths().empty());
}

TEST_F(Bindings, AKeyThatTypesACharacterWithCtrlAltIsBoundWithAWarning) {
  fake::TypeCharacter(kCtrlAlt | 'E', "\xE2\x82\xAC");
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+E top"), 0);
  EXPECT_EQ(OneBox(), "[Dowtrane - Hotkeys] warning ok: Ctrl+Alt+E now runs: dowtrane top\n\n"
                      "On this keyboard Ctrl+Alt+E also types \xE2\x82\xAC.");
  EXPECT_EQ(fake::ShortcutPaths(), Lines{Own("Ctrl+Alt+E top.lnk")});
  // Without both Ctrl and Alt the layout is not asked.
  fake::Boxes().clear();
  fake::TypeCharacter(plat::HOTKEYF_CONTROL << 8 | 0x75, "x");
  EXPECT_EQ(RunTail("/bind Ctrl+F6 top"), 0);
  EXPECT_EQ(OneBox(), "[Dowtrane - Hotkeys] information ok: Ctrl+F6 now runs: dowtrane top");
}

TEST_F(Bindings, AnUnknownCommandIsRefusedNamingIt) {
  const std::string kRules = "\nSee Hotkeys in dowtrane.txt.";
  struct Row {
    std::string tail;
    std::string said;
  } rows[] = {
      {"/bind Ctrl+Alt+B frobnicate now", "Unknown command: frobnicate now"},
      {"/bind Ctrl+Alt+B /window", "Unknown command: /window"},
      {"/bind Ctrl+Alt+B", "No command after the keys."},
      {"/bind Ctrl+Alt+B    ", "No command after the keys."},
      {"/bind Ctrl+B top", "Unknown keys: Ctrl+B" + kRules},
      {"/unbind", "Unknown keys: " + kRules},
  };
  for (const Row& row : rows) {
    fake::Boxes().clear();
    EXPECT_EQ(RunTail(row.tail), kNotBound) << row.tail;
    EXPECT_EQ(OneBox(), "[Dowtrane Error] error ok: " + row.said) << row.tail;
    EXPECT_TRUE(fake::ShortcutPaths().empty()) << row.tail;
  }
}

TEST_F(Bindings, ACommandTooLongToReadBackIsNotWritten) {
  // 398 units are written and read back whole; 399 might be cut.
  const std::string fits = "top " + std::string(394, 'x');
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+B " + fits), 0);
  EXPECT_EQ(fake::ShortcutPaths().size(), 1u);
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+C " + fits + "x"), kNotBound);
  EXPECT_EQ(OneBox(), "[Dowtrane Error] error ok: Can't write\n\t" +
                          Own("Ctrl+Alt+C top " + std::string(56, 'x') + "....lnk"));
  EXPECT_EQ(fake::ShortcutPaths().size(), 1u);
}

TEST_F(Bindings, ComThatDoesNotStartOrAShortcutThatCannotBeSavedIsSaid) {
  fake::FailCom();
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+B top"), kNotBound);
  EXPECT_EQ(OneBox(), "[Dowtrane Error] error ok: Windows' shortcuts cannot be used.");
  fake::Reset();
  fake::SetProgramPath(kProgram);
  fake::FailShortcutWrites();
  EXPECT_EQ(RunTail("/bind Ctrl+Alt+B top"), kNotBound);
  EXPECT_EQ(OneBox(), "[Dowtrane Error] error ok: Can't write\n\t" +
                          Own("Ctrl+Alt+B top.lnk"));
  fake::Reset();
  fake::SetProgramPath(kProgram);
  fake::SetKnownFolder(plat::KnownFolder::Programs, "");
  EXPECT_EQ(RunTail("/bind"), kNotBound);
  EXPECT_EQ(OneBox(), "[Dowtrane Error] error ok: Windows' shortcuts cannot be used.");
}

TEST_F(Bindings, TheListShowsTheBindingsSortedByKeys) {
  fake::AddShortcut(Own("a.lnk"), fake::MakeShortcut(kProgram, "top", "C:\\Tools", kCtrlAlt | 'T'));
  fake::AddShortcut(Own("b.lnk"), fake::MakeShortcut(kProgram, "hide all", "C:\\Tools",
                                                     (plat::HOTKEYF_CONTROL | plat::HOTKEYF_SHIFT) << 8 | 'B'));
  fake::AddShortcut(Own("c.lnk"), fake::MakeShortcut("D:\\Old\\dowtrane.exe", "togglebuddy", "D:\\Old",
                                                     kCtrlAlt | 'B'));
  fake::AddShortcut(Own("d.lnk"), fake::MakeShortcut(kProgram, "exit", "C:\\Tools", 0x74));
  fake::AddShortcut(Own("e.lnk"), fake::MakeShortcut(kProgram, std::string(70, 'x'), "C:\\Tools",
                                                     kCtrlAlt | plat::HOTKEYF_EXT << 8 | 0x24));
  // Not listed: a shortcut of the folder without keys, a file of no shortcut,
  // and shortcuts elsewhere.
  fake::AddShortcut(Own("f.lnk"), fake::MakeShortcut(kProgram, "launch", "C:\\Tools", 0));
  fake::AddPlainFile(Own("notes.txt"));
  fake::AddShortcut(std::string(fake::kUserDesktop) + "\\x.lnk",
                    fake::MakeShortcut(kProgram, "top", "", kCtrlAlt | 'X'));
  const std::string lines[] = {
      "Ctrl+Alt+Home  " + std::string(60, 'x') + "...",
      "Ctrl+Shift+B  hide all",
      "Ctrl+Alt+B  togglebuddy  (dowtrane.exe is gone)",
      "Ctrl+Alt+T  top",
      "F5  exit",
  };
  EXPECT_EQ(RunTail("/bind"), 0);
  std::string box;
  for (const std::string& line : lines) box += (box.empty() ? "" : "\n") + line;
  EXPECT_EQ(OneBox(), "[Dowtrane - Hotkeys] information ok: " + box);

  fake::Boxes().clear();
  fake::SetStandardOutput(fake::Output::Pipe);
  EXPECT_EQ(RunTail("/bind"), 0);
  std::string written;
  for (const std::string& line : lines) written += line + "\r\n";
  EXPECT_EQ(fake::StandardOutput(), written);
  EXPECT_TRUE(fake::Boxes().empty());

  // A list cut short by the pipe says so on standard error.
  fake::StandardOutput().clear();
  fake::FailOutputAfter(20);
  EXPECT_EQ(RunTail("/bind"), 7);
  EXPECT_EQ(fake::StandardError(), "Can't write the list of hotkeys to the standard output\r\n");
}

TEST_F(Bindings, TheListSaysWhenThereAreNoneAndCountsWhatABoxCannotShow) {
  EXPECT_EQ(RunTail("/bind"), 0);
  EXPECT_EQ(OneBox(), "[Dowtrane - Hotkeys] information ok: No bindings.");
  fake::Boxes().clear();
  fake::SetStandardOutput(fake::Output::File);
  EXPECT_EQ(RunTail("/bind"), 0);
  EXPECT_EQ(fake::StandardOutput(), "");
  fake::SetStandardOutput(fake::Output::None);
  for (int i = 0; i < 45; ++i)
    fake::AddShortcut(Own(std::to_string(i) + ".lnk"),
                      fake::MakeShortcut(kProgram, "top", "", (0x70 + i % 24) | (i / 24) << 8));
  EXPECT_EQ(RunTail("/bind"), 0);
  const std::string text = OneBox();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 40) << text;
  EXPECT_NE(text.find("\n... and 5 more: dowtrane /bind > hotkeys.txt"), std::string::npos);
}

TEST_F(Bindings, TheListReleasesWhatItHeldWhenMemoryRunsOut) {
  fake::AddShortcut(Own("a.lnk"), fake::MakeShortcut(kProgram, "top", "", kCtrlAlt | 'T'));
  fake::AddShortcut(Own("b.lnk"), fake::MakeShortcut(kProgram, "top", "", kCtrlAlt | 'U'));
  fake::FailAllocationsAfter(1);
  EXPECT_EQ(RunTail("/bind"), 1);
  EXPECT_EQ(OneBox(), "[Dowtrane Error] error ok: Out of memory");
}

TEST_F(Bindings, UnbindRemovesTheProgramsOwnBindingOnly) {
  fake::AddShortcut(Own("mine.lnk"), fake::MakeShortcut(kProgram, "top", "C:\\Tools", kCtrlAlt | 'T'));
  const std::string other = std::string(fake::kUserStartMenu) + "\\Programs\\Other.lnk";
  fake::AddShortcut(other, fake::MakeShortcut("C:\\o.exe", "", "", kCtrlAlt | 'O'));
  fake::SetStandardOutput(fake::Output::File);
  EXPECT_EQ(RunTail("/unbind alt+ctrl+t"), 0);
  EXPECT_EQ(fake::StandardOutput(), "Ctrl+Alt+T no longer runs: dowtrane top\r\n");
  EXPECT_EQ(fake::ShortcutPaths(), Lines{other});
  EXPECT_EQ(RunTail("/unbind Ctrl+Alt+O"), kNotBound);
  EXPECT_EQ(fake::StandardError(), "No binding has the keys Ctrl+Alt+O\r\n");
  EXPECT_EQ(fake::ShortcutPaths(), Lines{other});
}

TEST_F(Bindings, TheWordsAreTypedWholeAndNeedNoClient) {
  EXPECT_EQ(RunTail("/bin"), 0);    // no command: nothing is done
  EXPECT_EQ(RunTail("/binds"), 0);  // the same
  EXPECT_EQ(RunTail("/unbin Ctrl+Alt+B"), 0);
  ASSERT_EQ(fake::Boxes().size(), 3u);
  for (const fake::Box& box : fake::Boxes()) EXPECT_EQ(box.caption, "Dowtrane Error");  // no client
  EXPECT_EQ(fake::ComDepth(), 0);
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("/Bind"), 0);
  EXPECT_EQ(OneBox(), "[Dowtrane - Hotkeys] information ok: No bindings.");
}
