// The command of one run. The command line is read once, before anything is
// sent, into a CommandRecord; what carries the command out reads only the
// record. kCommandWords says which words the program has.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "inventory/scanner.h"
#include "inventory/walk.h"
#include "text/utf8_text.h"

namespace app {

// Every command the program has.
enum class Command : uint8_t {
  OpenHelp,           // also an empty command line
  LaunchClient,       // works without the client
  LaunchWinamp,       // works without the client
  ListWindows,        // /windows
  MenuCommand,        // one menu command to the main window
  Exit,               // the exit menu command, after the delay when one is given
  ToggleContactList,  // shows the contact list, or hides it
  SendMessage,        // opens the send dialog through the consoles and fills it in
  MultiIm,            // asks, runs the MultiIM on the current window, then on the target
  WalkAction,         // the walk's action on the target
  CurrentWindowAction,  // the walk's action on the current window
  OfflineContacts,
  Dock,
  Nothing,  // a word that names no command: the inventory is built, nothing is sent
};

// A command word: the first count characters of the word must match the
// literal, ASCII letters in any case. A count that takes in the literal's
// terminating zero asks for the whole word, no longer and no shorter.
struct CommandWord {
  const char* literal;
  uint16_t menuId;           // MenuCommand and Exit
  uint8_t count;
  Command command;
  inventory::Action action;  // MultiIm, WalkAction and CurrentWindowAction
};

// In the order in which a word is tested: the first row that matches wins.
extern const CommandWord kCommandWords[];
extern const size_t kCommandWordCount;

// Target words (argument 1 of the walk's actions and of MultiIM), likewise.
struct TargetWord {
  const char* literal;
  uint8_t count;
  inventory::Target target;
};
extern const TargetWord kTargetWords[];
extern const size_t kTargetWordCount;

// The medium of SendMessage, by the first letter of argument 1.
enum class Medium : uint8_t { Unknown, AimIcq, Irc, Msn, Yahoo };

struct CommandRecord {
  Command command;
  uint32_t menuId;        // MenuCommand and Exit
  bool delayed;           // Exit: the menu command waits delaySeconds first
  int32_t delaySeconds;
  inventory::Action action;  // MultiIm (the action on the target), WalkAction,
                             // CurrentWindowAction
  inventory::Target target;  // MultiIm, WalkAction; Current for CurrentWindowAction
  const char* unknownTarget;   // argument 1 when it names no target; else null
  const char* containerName;   // with Target::Container: that container alone; null: all
  const char* multiImTarget;   // the target as the MultiIM question names it
  inventory::TimestampMode timestampMode;  // Timestamp
  int32_t number;  // Transparency: the level (0 to 9; any other sends nothing);
                   // Attach: the container number, 1 or more
  Medium medium;            // SendMessage
  const char* mediumWord;   // argument 1 as typed ("" when absent)
  char messageText[utf8::kBufferSize];  // SendMessage: the medium, a blank and the contact
  inventory::DockPosition dockPosition;
};

// Reads the tail (changed in place: the tokens are cut out of it, and the
// record points into it) into the record; false when it holds no word.
bool ReadCommand(char* tail, CommandRecord& record);

// The text after the program's name in the process's command line.
const char* FindTail(const char* commandLine);

// Takes the next blank-delimited token at *cursor, writing a zero over the
// blank that ends it; null when only blanks are left.
char* NextToken(char** cursor);

// The program's own entry: runs the command in tail, which it may change in
// place, and returns the exit status.
int WinMain(char* tail);

// What the process entry does before it ends: the tail of the process's
// command line, in UTF-8 in a buffer of the run's own, goes to WinMain;
// returns its status.
int RunProcessCommandLine();

// Carries out the command of the record (the main window looked up).
int Dispatch(const CommandRecord& record);

// Says that the client is not responding; returns kStatusNotResponding.
int NotResponding();

// Opens the help file with the shell.
void OpenHelpFile();

}  // namespace app
