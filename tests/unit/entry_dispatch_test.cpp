#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

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
  EXPECT_EQ(fake::StartedPrograms()[0].file, "C:\\Windows\\explorer.exe");
  EXPECT_EQ(fake::StartedPrograms()[0].parameters, "dowtrane.txt");
  EXPECT_EQ(fake::StartedPrograms()[0].show, 1);
  EXPECT_EQ(inventory::g_clientWindows.mainWindow, nullptr);
  EXPECT_TRUE(fake::Journal().empty());
}

TEST_F(Dispatch, TheHelpFileOpensWithTheShellOfTheWindowsFolderOrNotAtAll) {
  // 399 characters in all fit; a folder that cannot be read (or is longer
  // than 399 units) or a path that would not fit opens nothing, and says so.
  const std::string longest = "C:\\" + std::string(383, 'w');
  struct Row {
    std::string folder, started;  // "": nothing started
  } rows[] = {
      {"D:\\Windows", "D:\\Windows\\explorer.exe"},
      {"E:\\", "E:\\explorer.exe"},
      {"C:\\Программы\\Windows", "C:\\Программы\\Windows\\explorer.exe"},
      {longest, longest + "\\explorer.exe"},
      {longest + "w", ""},
      {"C:\\" + std::string(397, 'w'), ""},  // 400 units: not read
      {"", ""},
  };
  for (const Row& row : rows) {
    fake::SetWindowsFolder(row.folder);
    for (const char* tail : {"", "/?"}) {
      fake::StartedPrograms().clear();
      fake::Boxes().clear();
      const bool opens = !row.started.empty();
      EXPECT_EQ(RunTail(tail), opens ? 0 : 1) << row.folder << " / " << tail;
      if (opens) {
        ASSERT_EQ(fake::StartedPrograms().size(), 1u) << row.folder;
        EXPECT_EQ(fake::StartedPrograms()[0].file, row.started);
        EXPECT_EQ(fake::StartedPrograms()[0].parameters, "dowtrane.txt");
        EXPECT_TRUE(fake::Boxes().empty()) << row.folder;
      } else {
        EXPECT_TRUE(fake::StartedPrograms().empty()) << row.folder;
        ASSERT_EQ(fake::Boxes().size(), 1u) << row.folder;
        EXPECT_EQ(fake::Boxes()[0].text, "Can't open the help file: the Windows folder can't be read");
        EXPECT_EQ(fake::Boxes()[0].caption, "Dowtrane Error");
        EXPECT_EQ(fake::Boxes()[0].type, plat::MB_ICONERROR);
      }
    }
  }
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

// The client asked to come forward tries to take the foreground itself,
// which Windows allows it only with the run's right handed on.
TEST_F(Dispatch, CommandsThatBringTheClientForwardHandItTheRight) {
  struct Row {
    const char* tail;
    Lines sent;
  } rows[] = {
      {"pref", {"main command 40010", "main flashes"}},
      {"top", {"main command 1000", "main foreground"}},
      {"showbuddy", {"main command 3001", "main foreground"}},
      {"sendmessage aim", {"aim console command 4029", "main foreground"}},
  };
  for (const Row& row : rows) {
    fake::Reset();
    fake::Top("aim console", "x", "aim console");
    plat::Window main = fake::Top("main", "quenvale", "Quenvale");
    const auto comeForward = [main](plat::Window, uint32_t, uintptr_t, intptr_t) -> intptr_t {
      fake::ClientBringsForward(main);
      return 0;
    };
    fake::SetHandler(main, comeForward);
    fake::SetHandler(plat::FindWindowUtf8("x", "aim console"), comeForward);
    RunTail(row.tail);
    EXPECT_EQ(fake::Journal(), row.sent) << row.tail;
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
  EXPECT_EQ(app::RunCommandTail(tail), 0);
  // Without the wide elements the medium word alone goes to the consoles.
  EXPECT_EQ(fake::Journal(), Lines{"console command 4029"});
}

namespace {

// The record a command line gives, in words: the command and what it reads.
std::string Describe(const app::CommandRecord& r) {
  using app::Command;
  static const std::map<Command, const char*> kCommands = {
      {Command::OpenHelp, "OpenHelp"},
      {Command::LaunchClient, "LaunchClient"},
      {Command::LaunchWinamp, "LaunchWinamp"},
      {Command::ListWindows, "ListWindows"},
      {Command::MenuCommand, "MenuCommand"},
      {Command::ForwardMenuCommand, "ForwardMenuCommand"},
      {Command::Exit, "Exit"},
      {Command::ToggleContactList, "ToggleContactList"},
      {Command::SendMessage, "SendMessage"},
      {Command::MultiIm, "MultiIm"},
      {Command::WalkAction, "WalkAction"},
      {Command::CurrentWindowAction, "CurrentWindowAction"},
      {Command::OfflineContacts, "OfflineContacts"},
      {Command::Dock, "Dock"},
      {Command::Nothing, "Nothing"}};
  static const std::map<inventory::Target, const char*> kTargets = {
      {inventory::Target::ContactList, "ContactList"}, {inventory::Target::Container, "Container"},
      {inventory::Target::Console, "Console"},         {inventory::Target::Private, "Private"},
      {inventory::Target::Channel, "Channel"},         {inventory::Target::All, "All"},
      {inventory::Target::Current, "Current"},         {inventory::Target::StartNode, "StartNode"}};
  static const char* const kMedia[] = {"Unknown", "AimIcq", "Irc", "Msn", "Yahoo"};
  static const char* const kModes[] = {"On", "Off", "Toggle"};
  std::string s = kCommands.at(r.command);
  switch (r.command) {
    case Command::MenuCommand:
    case Command::ForwardMenuCommand:
      s += " " + std::to_string(r.menuId);
      break;
    case Command::Exit:
      s += " " + std::to_string(r.menuId);
      if (r.delayed) s += " after " + std::to_string(r.delaySeconds);
      break;
    case Command::SendMessage:
      s += std::string(" ") + kMedia[static_cast<int>(r.medium)] + " '" + r.mediumWord + "' '" +
           r.messageText + "'";
      break;
    case Command::MultiIm:
    case Command::WalkAction: {
      s += std::string(" ") + r.actionWord->literal + " on ";
      s += r.unknownTarget != nullptr ? "unknown '" + std::string(r.unknownTarget) + "'"
                                      : kTargets.at(r.target);
      if (r.containerName != nullptr) s += " '" + std::string(r.containerName) + "'";
      if (r.firstContainer) s += " (the first)";
      const app::Arguments form = r.actionWord->arguments;
      if (form == app::Arguments::TargetMode)
        s += std::string(" ") + kModes[static_cast<int>(r.walk.timestampMode)];
      if (form == app::Arguments::TargetLevel) s += " level " + std::to_string(r.walk.level);
      if (form == app::Arguments::TargetNumber) s += " to " + std::to_string(r.walk.containerNumber);
      if (r.command == Command::MultiIm) s += " asking '" + std::string(r.multiImTarget) + "'";
      break;
    }
    case Command::CurrentWindowAction:
      s += std::string(" ") + r.actionWord->literal;
      break;
    case Command::Dock:
      s += std::string(" ") + static_cast<char>(r.dockPosition);  // the option letter
      break;
    default:
      break;
  }
  return s;
}

std::string Read(const std::string& tail) {
  const std::string line = "dowtrane.exe " + tail;
  fake::SetCommandLine(fake::Wide(line), WideSplit(line));
  std::string text = app::FindTail(line.c_str());
  app::CommandRecord record;
  app::ReadCommand(text.data(), record);
  return Describe(record);
}

// How the help file spells a word: the characters that must match in
// capitals, the rest as the literal has them; a word typed whole as it is.
std::string Spelled(const char* literal, size_t count) {
  std::string s = literal;
  if (count > s.size()) return s;
  for (size_t i = 0; i < count && i < s.size(); ++i)
    if (s[i] >= 'a' && s[i] <= 'z') s[i] = static_cast<char>(s[i] - 'a' + 'A');
  return s;
}

}  // namespace

TEST(CommandTable, EachCommandLineGivesItsRecord) {
  fake::Reset();
  struct Row {
    const char* tail;
    const char* record;
  } rows[] = {
      {"/?", "OpenHelp"},
      {"/? top", "OpenHelp"},
      {"launcher", "LaunchClient"},
      {"launc", "Nothing"},
      {"WINAMP5", "LaunchWinamp"},
      {"/Windows", "ListWindows"},
      {"/windowsx", "Nothing"},
      {"AWAY+NOW", "MenuCommand 40019"},
      {"awayx", "MenuCommand 40027"},
      {"connect", "MenuCommand 40006"},
      {"topmost", "ForwardMenuCommand 1000"},
      {"exit", "Exit 40002"},
      {"exit 5x", "Exit 40002 after 5"},
      {"exit soon", "Exit 40002 after 0"},
      {"exit\t5", "Exit 40002"},
      {"togglebuddy", "ToggleContactList"},
      {"togglebudd", "Nothing"},
      {"sendmessage aim Bob", "SendMessage AimIcq 'aim' 'aim Bob'"},
      {"send Irc x", "SendMessage Irc 'Irc' 'Irc x'"},
      {"sendmessage icq", "SendMessage AimIcq 'icq' 'icq'"},
      {"sendmessage AIM John Smith", "SendMessage AimIcq 'AIM' 'AIM John'"},
      {"sendmessage msn \"John Smith\"", "SendMessage Msn 'msn' 'msn John Smith'"},
      {"sendmessage yahoo", "SendMessage Yahoo 'yahoo' 'yahoo'"},
      {"sendmessage jabber", "SendMessage Unknown 'jabber' 'jabber'"},
      {"sen", "Nothing"},
      {"hide", "WalkAction hide on ContactList"},
      {"hide contacts", "WalkAction hide on ContactList"},
      {"hide cont", "WalkAction hide on unknown 'cont'"},
      {"hide container", "WalkAction hide on Container"},
      {"hide container CURRENT", "WalkAction hide on Container 'CURRENT' (the first)"},
      {"hide container currently", "WalkAction hide on Container 'currently'"},
      {"showb container work x", "WalkAction show on Container 'work'"},
      {"mint all", "WalkAction minimize on All"},
      {"mi", "Nothing"},
      {"clickthrough priv", "WalkAction clickthrough on Private"},
      {"timestamp", "WalkAction timestamp on ContactList Toggle"},
      {"timestamp container on Work", "WalkAction timestamp on Container 'Work' On"},
      {"time chan OF", "WalkAction timestamp on Channel Off"},
      {"trans current 75", "WalkAction trans on Current level 7"},
      {"trans", "WalkAction trans on ContactList level 0"},
      {"tran", "Nothing"},
      {"attach private 3", "WalkAction attach on Private to 3"},
      {"attach all -2", "WalkAction attach on All to 1"},
      {"attach container", "WalkAction attach on Container '0' to 1"},
      {"multiim", "MultiIm multiim on ContactList asking 'contact'"},
      {"multiim bogus", "MultiIm multiim on unknown 'bogus' asking 'bogus'"},
      {"multiim cons", "MultiIm multiim on Console asking 'cons'"},
      {"log", "CurrentWindowAction log"},
      {"information", "CurrentWindowAction info"},
      {"off", "OfflineContacts"},
      {"dock", "Dock o"},
      {"dock Top", "Dock t"},
      {"dock R", "Dock r"},
      {"dock x", "Dock o"},
      {"foo", "Nothing"},
  };
  for (const Row& row : rows) EXPECT_EQ(Read(row.tail), row.record) << row.tail;
}

TEST(CommandTable, TheHelpFileListsEveryWordWithItsShortestForm) {
  std::ifstream file(DOWTRANE_SOURCE_DIR "/docs/dowtrane.txt");
  ASSERT_TRUE(file.good());
  // The words that open a line of the lists, indented by four blanks: up to
  // two blanks, an argument in brackets, or the line's end; several words
  // of one line are separated by commas.
  std::set<std::string> documented;
  for (std::string line; std::getline(file, line);) {
    if (line.size() < 5 || line.compare(0, 4, "    ") != 0) continue;
    const char first = line[4];
    if (!((first >= 'A' && first <= 'Z') || first == '/' || first == '(')) continue;
    std::string words = line.substr(4);
    for (const char* end : {"  ", " [", " <"}) words = words.substr(0, words.find(end));
    for (size_t start = 0; start <= words.size();) {
      size_t comma = words.find(", ", start);
      std::string word = words.substr(start, comma - start);
      if (word != "(none)") documented.insert(word);
      if (comma == std::string::npos) break;
      start = comma + 2;
    }
  }
  std::set<std::string> expected;
  for (const app::CommandWord& word : app::kCommandWords.words)
    expected.insert(Spelled(app::Literal(word), word.count));
  for (size_t i = 0; i < app::kWindowActionWordCount; ++i)
    expected.insert(
        Spelled(app::kWindowActionWords[i].literal, app::kWindowActionWords[i].count));
  for (size_t i = 0; i < app::kTargetWordCount; ++i)
    expected.insert(Spelled(app::kTargetWords[i].literal, app::kTargetWords[i].count));
  EXPECT_EQ(documented, expected);
}

namespace {

// Whether a word of the command line names a command, as the reader finds it.
bool NamesACommand(const std::string& word) {
  std::string text = word;
  app::CommandRecord record;
  return app::ReadCommand(text.data(), record) && record.command != app::Command::Nothing;
}

}  // namespace

// The command lines kept outside the program: the bench's families, the fuzz
// seeds' lists (make_corpus.py, whose seeds take their words from these) and
// the fuzz dictionary's command words. In each file, a list runs from a
// marker to the next end marker; a quoted text in it is a line, whose first
// word must name a command (or, for the seeds that name none, must not).
TEST(CommandTable, TheFilesBesideTheTableUseItsWords) {
  const std::string quoted = R"re("([^"]*)"|'([^']*)')re";
  struct Row {
    const char* file;
    const char* from;
    const char* to;
    std::string line;  // a line of the list: its first group that takes part
    bool command;
  } rows[] = {
      {"bench/hung_client.sh", "\nfamilies=(", "\n)", R"re("[^|"]*\|([^"]*)")re", true},
      {"tests/fuzz/make_corpus.py", "\nACTIONS = [", "]", quoted, true},
      {"tests/fuzz/make_corpus.py", "\nWORDS = [", "]", quoted, true},
      {"tests/fuzz/make_corpus.py", "\nNO_COMMAND = [", "]", quoted, false},
      {"tests/fuzz/dowtrane.dict", "\n# Command words", "\n#", quoted, true},
  };
  for (const Row& row : rows) {
    std::ifstream file(std::string(DOWTRANE_SOURCE_DIR "/") + row.file);
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    const size_t from = all.find(row.from);
    ASSERT_NE(from, std::string::npos) << row.file << " has no " << row.from;
    const size_t start = from + strlen(row.from);
    const std::string list = all.substr(start, all.find(row.to, start) - start);
    const std::regex pattern(row.line);
    size_t lines = 0;
    for (std::sregex_iterator m(list.begin(), list.end(), pattern), end; m != end; ++m, ++lines) {
      const std::string line = (*m)[1].matched ? (*m)[1].str() : (*m)[2].str();
      const std::string word = line.substr(0, line.find(' '));
      EXPECT_EQ(NamesACommand(word), row.command)
          << row.file << ": \"" << word << "\" (of \"" << line << "\") "
          << (row.command ? "names no command of the table" : "names a command");
    }
    EXPECT_GT(lines, 0u) << row.file << ": no line after " << row.from;
  }
}
