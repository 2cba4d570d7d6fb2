// "/windows": the listing of the inventory, where it goes, and the words
// "/windows" and "/?"; the help file's lookup.
#include <gtest/gtest.h>

#include <string>

#include "run.h"

using namespace testing_support;

namespace {

constexpr char kCaption[] = "Dowtrane - Windows";
constexpr char kFollow[] = "Windows, in the order the commands visit them:";

// The box's lines, or the standard output's (each of which must end in CRLF).
Lines BoxLines() {
  EXPECT_EQ(fake::Boxes().size(), 1u);
  if (fake::Boxes().empty()) return {};
  EXPECT_EQ(fake::Boxes()[0].caption, kCaption);
  EXPECT_EQ(fake::Boxes()[0].type, plat::MB_ICONINFORMATION);
  Lines out;
  std::string text = fake::Boxes()[0].text;
  EXPECT_EQ(text.find('\r'), std::string::npos);
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    out.push_back(text.substr(start, end - start));
  out.push_back(text.substr(start));
  return out;
}

Lines OutputLines() {
  Lines out;
  const std::string& text = fake::StandardOutput();
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    std::string line = text.substr(start, end - start);
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    out.push_back(line);
  }
  EXPECT_EQ(start, text.size()) << "the output ends in CRLF";
  return out;
}

class WindowList : public ::testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    main_ = fake::Top("main", "quenvale", "Quenvale", kThread);
  }
  // A top-level window of the client's thread.
  plat::Window Top(const std::string& label, const std::string& title) {
    return fake::Top(label, "x", title, kThread);
  }
  static constexpr plat::ThreadId kThread = 4711;
  plat::Window main_ = nullptr;
};

}  // namespace

TEST_F(WindowList, EveryKindInTheOrderTheCommandsVisitThem) {
  // The system's IME window, where Windows puts it: above the window it
  // serves. It is not the client's, and is not listed.
  fake::SetVisible(fake::Top("ime", "IME", "Default IME", kThread), false);
  plat::Window list = Top("list", "Buddy List");
  fake::Child(list, "holder", "iconholder");
  plat::Window work = Top("work", "Work");
  fake::Child(work, "w-console", "x", "IRC console");
  plat::Window ann = fake::Child(work, "w-private", "x", "Ann");
  fake::Child(ann, "w-disp", "quenvale display");
  plat::Window dev = fake::Child(work, "w-channel", "x", "#dev");
  fake::Child(dev, "w-lst", "Quenvale - List");
  Top("aim", "AIM console");
  plat::Window bob = Top("bob", "Bob");
  fake::Child(bob, "bob-disp", "quenvale display");
  plat::Window lobby = Top("lobby", "#lobby");
  fake::Child(lobby, "lobby-lst", "Quenvale - List");
  Top("notes", "Notes");
  Top("dialog", "Sending an Instant Message...");
  fake::Top("elsewhere", "x", "Other thread", kThread + 1);

  EXPECT_EQ(RunTail("/windows"), 0);
  EXPECT_EQ(BoxLines(), (Lines{
                            "Main window: \"Quenvale\", thread 4711",
                            "Contact list: \"Buddy List\"",
                            kFollow,
                            "contact list, visible: \"Buddy List\"",
                            "container, visible: \"Work\"",
                            "    console, visible: \"IRC console\"",
                            "    private, visible: \"Ann\"",
                            "    channel, visible: \"#dev\"",
                            "console, visible: \"AIM console\"",
                            "private, visible: \"Bob\"",
                            "channel, visible: \"#lobby\"",
                            "plain, visible: \"Notes\"",
                            "send dialog, visible: \"Sending an Instant Message...\"",
                        }));
  // Nothing was sent to the client; the contact list is recorded as for any command.
  EXPECT_TRUE(fake::Journal().empty());
  EXPECT_EQ(inventory::g_clientWindows.contactListWindow, list);
  EXPECT_TRUE(fake::StartedPrograms().empty());
}

TEST_F(WindowList, TheHeadingNamesTheMainWindowAndTheLastContactList) {
  // The main window is the first of its class whatever its title, and then
  // it is recorded like any other window; the contact list the commands use
  // is the last one met.
  fake::Destroy(main_);
  fake::Top("main", "QUENVALE", "Quenvale Beta", kThread);
  plat::Window first = Top("first", "Friends");
  fake::Child(first, "h1", "iconholder");
  plat::Window second = Top("second", "Family");
  fake::Child(second, "h2", "iconholder");
  EXPECT_EQ(RunTail("/windows"), 0);
  EXPECT_EQ(BoxLines(), (Lines{
                            "Main window: \"Quenvale Beta\", thread 4711",
                            "Contact list: \"Family\"",
                            kFollow,
                            "plain, visible: \"Quenvale Beta\"",
                            "contact list, visible: \"Friends\"",
                            "contact list, visible: \"Family\"",
                        }));
}

TEST_F(WindowList, StatesAndClickThrough) {
  Top("shown", "Shown");
  plat::Window hidden = Top("hidden", "Hidden");
  fake::SetVisible(hidden, false);
  plat::Window small = Top("small", "Small");
  fake::SetMinimized(small, true);
  plat::Window gone = Top("gone", "Hidden and minimized");
  fake::SetVisible(gone, false);
  fake::SetMinimized(gone, true);
  fake::WindowShape through;
  through.label = "through";
  through.className = "x";
  through.title = "Through";
  through.thread = kThread;
  through.exStyle = 0x20 | 0x10;
  fake::Add(through);
  through.label = "files";
  through.title = "Accepts files";
  through.exStyle = 0x10;
  fake::Add(through);
  through.label = "hidden-through";
  through.title = "Hidden through";
  through.exStyle = 0x20;
  through.visible = false;
  fake::Add(through);
  // A window inside a hidden container is not visible either.
  plat::Window box = Top("box", "Box");
  fake::Child(box, "inner", "x", "AIM console");
  fake::SetVisible(box, false);

  EXPECT_EQ(RunTail("/windows"), 0);
  Lines lines = BoxLines();
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(Lines(lines.begin() + 3, lines.end()), (Lines{
                                                       "plain, visible: \"Shown\"",
                                                       "plain, hidden: \"Hidden\"",
                                                       "plain, minimized: \"Small\"",
                                                       "plain, hidden: \"Hidden and minimized\"",
                                                       "plain, visible, click-through: \"Through\"",
                                                       "plain, visible: \"Accepts files\"",
                                                       "plain, hidden, click-through: \"Hidden through\"",
                                                       "container, hidden: \"Box\"",
                                                       "    console, hidden: \"AIM console\"",
                                                   }));
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(WindowList, LongTitlesAreCutAndControlCharactersShowAsQuestionMarks) {
  // A main window with any other title than "Quenvale" is recorded too.
  fake::Destroy(main_);
  fake::Top("main", "quenvale", std::string(80, 'M'), kThread);
  const std::string sixty(60, 'a');
  Top("exact", sixty);
  Top("long", std::string(59, 'b') + "cd");
  Top("longest", std::string(399, 'e') + "console");  // the classification reads 399 characters
  Top("controls", "Tab\there\r\nnext");
  plat::Window list = Top("list", std::string(70, 'L'));
  fake::Child(list, "h", "iconholder");

  EXPECT_EQ(RunTail("/windows"), 0);
  Lines lines = BoxLines();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "Main window: \"" + std::string(60, 'M') + "\"..., thread 4711");
  EXPECT_EQ(lines[1], "Contact list: \"" + std::string(60, 'L') + "\"...");
  EXPECT_EQ(lines[3], "plain, visible: \"" + std::string(60, 'M') + "\"...");
  EXPECT_EQ(lines[4], "plain, visible: \"" + sixty + "\"");
  EXPECT_EQ(lines[5], "plain, visible: \"" + std::string(59, 'b') + "c\"...");
  EXPECT_EQ(lines[6], "plain, visible: \"" + std::string(60, 'e') + "\"...");  // not a console
  EXPECT_EQ(lines[7], "plain, visible: \"Tab?here??next\"");
  EXPECT_EQ(lines[8], "contact list, visible: \"" + std::string(60, 'L') + "\"...");
}

TEST_F(WindowList, ACutCountsCharactersAndNeverSplitsOne) {
  // 59 letters, then as the 60th character one of four bytes (a pair in
  // UTF-16) or an unpaired surrogate: kept whole.
  Top("pair", std::string(59, 'a') + "\U0001F600" + "z");
  Top("lone", std::string(59, 'a') + "\xed\xa0\x80" + "z");
  Top("fits", std::string(58, 'a') + "Ж\U0001F600");
  EXPECT_EQ(RunTail("/windows"), 0);
  Lines lines = BoxLines();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[3], "plain, visible: \"" + std::string(59, 'a') + "\U0001F600\"...");
  EXPECT_EQ(lines[4], "plain, visible: \"" + std::string(59, 'a') + "\xed\xa0\x80\"...");
  EXPECT_EQ(lines[5], "plain, visible: \"" + std::string(58, 'a') + "Ж\U0001F600\"");
}

TEST_F(WindowList, EmptyInventory) {
  fake::Top("untitled", "x", "", kThread);
  EXPECT_EQ(RunTail("/windows"), 0);
  EXPECT_EQ(BoxLines(), (Lines{"Main window: \"Quenvale\", thread 4711", "Contact list: none",
                               "Windows: none"}));
}

TEST_F(WindowList, TheBoxShowsFortyLinesAndCountsTheRest) {
  const std::string more = " more: dowtrane /windows > windows.txt lists them all";
  auto addWindows = [this](int from, int to) {
    for (int i = from; i < to; ++i) Top("w" + std::to_string(i), "Window " + std::to_string(i));
  };
  addWindows(0, 37);  // three heading lines and 37 windows: 40 lines
  EXPECT_EQ(RunTail("/windows"), 0);
  Lines lines = BoxLines();
  ASSERT_EQ(lines.size(), 40u);
  EXPECT_EQ(lines.back(), "plain, visible: \"Window 36\"");

  fake::Boxes().clear();
  addWindows(37, 38);
  EXPECT_EQ(RunTail("/windows"), 0);
  lines = BoxLines();
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(lines[39], "plain, visible: \"Window 36\"");
  EXPECT_EQ(lines[40], "... and 1" + more);

  // Windows inside containers count as lines too.
  fake::Boxes().clear();
  plat::Window box = Top("box", "Box");
  for (int i = 0; i < 1500; ++i)
    fake::Child(box, "c" + std::to_string(i), "x", std::string(70, 'x') + " console");
  addWindows(38, 40);
  EXPECT_EQ(RunTail("/windows"), 0);
  lines = BoxLines();
  ASSERT_EQ(lines.size(), 41u);
  EXPECT_EQ(lines[40], "... and " + std::to_string(1 + 1 + 1500 + 2) + more);
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(WindowList, RedirectedOutputGetsEveryLineWithWindowsLineEnds) {
  for (fake::Output kind : {fake::Output::File, fake::Output::Pipe}) {
    fake::Reset();
    fake::Top("main", "quenvale", "Quenvale", kThread);
    plat::Window box = Top("box", "Box");
    fake::Child(box, "c", "x", "AIM console");
    for (int i = 0; i < 100; ++i) Top("w" + std::to_string(i), "Wé" + std::to_string(i));
    fake::SetStandardOutput(kind);
    EXPECT_EQ(RunTail("/windows"), 0);
    EXPECT_TRUE(fake::Boxes().empty());
    Lines lines = OutputLines();
    ASSERT_EQ(lines.size(), 105u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5),
              (Lines{"Main window: \"Quenvale\", thread 4711", "Contact list: none", kFollow,
                     "container, visible: \"Box\"", "    console, visible: \"AIM console\""}));
    // The titles in UTF-8, whatever the system's code page.
    EXPECT_EQ(lines[104], "plain, visible: \"W\xc3\xa9" "99\"");
    EXPECT_TRUE(fake::Journal().empty());
  }
}

TEST_F(WindowList, OnlyAFileOrAPipeTakesTheList) {
  Top("notes", "Notes");
  fake::SetStandardOutput(fake::Output::Console);
  EXPECT_EQ(RunTail("/windows"), 0);
  EXPECT_EQ(BoxLines().size(), 4u);
  EXPECT_EQ(fake::StandardOutput(), "");
}

// A script reads the status and standard error; a box would stop it until
// someone clicks it.
TEST_F(WindowList, AFailedWriteStopsTheListAndEndsWithItsOwnStatus) {
  for (int i = 0; i < 10; ++i) Top("w" + std::to_string(i), "Notes");
  for (fake::Output kind : {fake::Output::File, fake::Output::Pipe}) {
    fake::SetStandardOutput(kind);
    fake::StandardOutput().clear();
    fake::StandardError().clear();
    fake::FailOutputAfter(100);
    EXPECT_EQ(RunTail("/windows"), 7);
    EXPECT_EQ(fake::StandardOutput().size(), 100u);
    EXPECT_TRUE(fake::Boxes().empty());
    EXPECT_EQ(fake::StandardError(), "Can't write the list of windows to the standard output\r\n");
  }
}

TEST_F(WindowList, WithoutTheClientTheUsualMessageAndNoOutput) {
  fake::Destroy(main_);
  Top("notes", "Notes");
  const char kMissing[] = "Can't find Quenvale window\n\nUse 'Dowtrane launch' to start Quenvale";
  struct Row {
    fake::Output kind;
    bool box;  // else standard error, with Windows line ends
  } rows[] = {{fake::Output::None, true},
              {fake::Output::Console, true},
              {fake::Output::File, false},
              {fake::Output::Pipe, false}};
  for (const Row& row : rows) {
    fake::Boxes().clear();
    fake::StandardError().clear();
    fake::SetStandardOutput(row.kind);
    EXPECT_EQ(RunTail("/windows"), 0);
    EXPECT_EQ(fake::StandardOutput(), "");
    if (row.box) {
      ASSERT_EQ(fake::Boxes().size(), 1u);
      EXPECT_EQ(fake::Boxes()[0].caption, "Dowtrane Error");
      EXPECT_EQ(fake::Boxes()[0].text, kMissing);
      EXPECT_EQ(fake::StandardError(), "");
    } else {
      EXPECT_TRUE(fake::Boxes().empty());
      EXPECT_EQ(fake::StandardError(),
                "Can't find Quenvale window\r\n\r\nUse 'Dowtrane launch' to start Quenvale\r\n");
    }
  }
  // Other commands without the client keep their box.
  fake::Boxes().clear();
  EXPECT_EQ(RunTail("top"), 0);
  EXPECT_EQ(fake::Boxes().size(), 1u);
}

TEST_F(WindowList, TheWholeWordInAnyCaseAndNothingElse) {
  Top("notes", "Notes");
  for (const char* tail : {"/WINDOWS", "/Windows extra words", "/windows"}) {
    fake::Boxes().clear();
    EXPECT_EQ(RunTail(tail), 0) << tail;
    EXPECT_EQ(BoxLines().size(), 4u) << tail;
  }
  // Shorter and longer words, and look-alikes, still mean nothing.
  fake::Boxes().clear();
  for (const char* tail : {"/window", "/win", "/windowsx", "/windows\tx", "windows", "\\windows",
                           "-windows", "/", "/?x", "?", "-?", "/h", "/help"}) {
    EXPECT_EQ(RunTail(tail), 0) << tail;
    EXPECT_TRUE(fake::Boxes().empty()) << tail;
    EXPECT_TRUE(fake::StartedPrograms().empty()) << tail;
  }
  EXPECT_TRUE(fake::Journal().empty());
}

namespace {

class HelpFile : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  // The parameters the shell was given, one run each of "" and "/?".
  std::string Opened(const std::string& tail) {
    fake::StartedPrograms().clear();
    EXPECT_EQ(RunTail(tail), 0) << tail;
    EXPECT_EQ(fake::StartedPrograms().size(), 1u) << tail;
    if (fake::StartedPrograms().empty()) return "";
    const fake::Started& s = fake::StartedPrograms()[0];
    EXPECT_EQ(s.file, "C:\\Windows\\explorer.exe");
    EXPECT_EQ(s.show, 1);
    return s.parameters;
  }
};

}  // namespace

TEST_F(HelpFile, TheCurrentDirectorysFileAsBefore) {
  fake::SetProgramPath("C:\\Tools\\dowtrane.exe");
  fake::AddFile("dowtrane.txt");
  for (const char* tail : {"", "/?", "/? more words"}) EXPECT_EQ(Opened(tail), "dowtrane.txt");
}

TEST_F(HelpFile, OtherwiseTheOneBesideTheProgram) {
  const std::string longFolder = "C:\\" + std::string(383, 'd') + "\\";
  struct Case {
    std::string program, parameters;
  } cases[] = {
      {"C:\\Tools\\dowtrane.exe", "C:\\Tools\\dowtrane.txt"},
      {"\\\\server\\share\\bin\\DOWTRANE.EXE", "\\\\server\\share\\bin\\dowtrane.txt"},
      // Quoted when the folder holds a blank or a comma; the program's own
      // name does not count.
      {"C:\\Program Files\\Dowtrane\\dowtrane.exe", "\"C:\\Program Files\\Dowtrane\\dowtrane.txt\""},
      {"C:\\a,b\\dowtrane.exe", "\"C:\\a,b\\dowtrane.txt\""},
      {"C:\\Tools\\my dowtrane.exe", "C:\\Tools\\dowtrane.txt"},
      // 399 characters fit; when the path cannot be read, has no folder, or
      // does not fit, the bare name lets the shell say what is missing.
      {longFolder + "dowtrane.exe", longFolder + "dowtrane.txt"},
      {longFolder + "xdowtrane.exe", "dowtrane.txt"},
      {"C:\\" + std::string(380, 'd') + " x\\dowtrane.exe", "dowtrane.txt"},  // quoted: 400
      {"", "dowtrane.txt"},
      {"dowtrane.exe", "dowtrane.txt"},
  };
  for (const Case& c : cases) {
    fake::SetProgramPath(c.program);
    for (const char* tail : {"", "/?", "/? more words"})
      EXPECT_EQ(Opened(tail), c.parameters) << c.program << " / " << tail;
  }
}

TEST_F(HelpFile, SlashQuestionMarkWorksWithTheClientAndTouchesNothing) {
  fake::Top("main", "quenvale", "Quenvale");
  fake::AddFile("dowtrane.txt");
  EXPECT_EQ(Opened("/?"), "dowtrane.txt");
  EXPECT_EQ(inventory::g_clientWindows.mainWindow, nullptr);  // not even looked up
  EXPECT_TRUE(fake::Journal().empty());
  EXPECT_TRUE(fake::Boxes().empty());
}
