// The command of one run and its reader. The command line is read once,
// before anything is sent, into a CommandRecord; what carries the command
// out reads only the record. The tables of command_table.cpp say which words
// the program has, and each window action's facts.
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
  Bind,               // /bind: makes a binding, or lists them; works without the client
  Unbind,             // /unbind: removes a binding; works without the client
  MenuCommand,        // one menu command to the main window
  ForwardMenuCommand,  // one that brings a window of the client forward
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

// A command word: the first count characters of the word must match its
// literal (Literal), ASCII letters in any case. A count that takes in the
// literal's terminating zero asks for the whole word, no longer and no
// shorter.
struct CommandWord {
  uint16_t literalAt;  // in kCommandWords.literals
  uint16_t menuId;     // MenuCommand and Exit
  uint8_t count;
  Command command;
};

// The command words, and their literals one after the other: laid out at
// compile time from rows that hold their literals (command_table.cpp), so
// that a word names its literal in two bytes rather than by a pointer,
// eight bytes on x86-64. command_table.cpp checks both sizes.
inline constexpr size_t kCommandWordCount = 19;
inline constexpr size_t kCommandLiteralBytes = 166;
struct CommandWords {
  CommandWord words[kCommandWordCount];
  char literals[kCommandLiteralBytes];
};

// How a window action reads the arguments after its word. Argument 1 is the
// target (absent: the contact list); with the target "container", the
// argument said below names the container (absent: every container).
enum class Arguments : uint8_t {
  Medium,        // sendmessage: argument 1 the medium, then the contact
  None,          // the current window; no argument is read
  Target,        // the container's name is argument 2
  TargetLevel,   // argument 2's first character the level (absent: 0); the name argument 3
  TargetMode,    // argument 2 the TimestampMode ("on", "off", else Toggle); the name argument 3
  TargetNumber,  // argument 2 the container number (absent: "0") and also the name
};

// A window action's word and all its facts: what the reader reads, and the
// row the walk carries out.
struct WindowActionWord {
  char literal[13];  // the longest word and its zero, held in the row
  uint8_t count;
  Command command;  // SendMessage, MultiIm, WalkAction or CurrentWindowAction
  Arguments arguments;
  inventory::WindowAction action;
};

// In the order in which a word is tested: the first row that matches wins,
// kCommandWords before kWindowActionWords (no word of the one table is
// shadowed by a row of the other that comes before it).
extern const CommandWords kCommandWords;
inline const char* Literal(const CommandWord& word) {
  return kCommandWords.literals + word.literalAt;
}
extern const WindowActionWord kWindowActionWords[];
extern const size_t kWindowActionWordCount;
// The MultiIM's first step, on the current window, before the target's.
extern const inventory::WindowAction kMultiImFirstStep;

// Target words (argument 1 of the walk's actions and of MultiIM), likewise.
struct TargetWord {
  char literal[10];  // the longest word and its zero, held in the row
  uint8_t count;
  inventory::Target target;
};
extern const TargetWord kTargetWords[];
extern const size_t kTargetWordCount;
// The container name that names the first container, whatever its title.
extern const char kFirstContainerName[];

// The medium of SendMessage, by the first letter of argument 1.
enum class Medium : uint8_t { Unknown, AimIcq, Irc, Msn, Yahoo };

struct CommandRecord {
  Command command;
  uint32_t menuId;        // MenuCommand and Exit
  bool delayed;           // Exit: the menu command waits delaySeconds first
  int32_t delaySeconds;
  // The window action's row: SendMessage, MultiIm (the action on the
  // target), WalkAction, CurrentWindowAction; null for the other commands.
  const WindowActionWord* actionWord;
  inventory::Target target;  // MultiIm, WalkAction; Current for CurrentWindowAction
  const char* unknownTarget;   // argument 1 when it names no target; else null
  // With Target::Container: the container named (null: every container),
  // or the first one when firstContainer.
  const char* containerName;
  bool firstContainer;
  const char* multiImTarget;   // the target as the MultiIM question names it
  // What the walk reads besides the action's row: the level (TargetLevel),
  // the mode (TargetMode), the container number (TargetNumber).
  inventory::WalkArguments walk;
  Medium medium;            // SendMessage
  const char* mediumWord;   // argument 1 as typed ("" when absent)
  char messageText[utf8::kBufferSize];  // SendMessage: the medium, a blank and the contact
  inventory::DockPosition dockPosition;
  // Bind and Unbind: argument 1 (null: none) and, for Bind, the rest of the
  // command line after it as typed (null: nothing follows).
  const char* keysWord;
  const char* boundCommand;
};

// Reads the tail (changed in place: the tokens are cut out of it, and the
// record points into it) into the record; false when it holds no word.
bool ReadCommand(char* tail, CommandRecord& record);

// True when the text's first word (up to a blank or its end) names a
// command, as ReadCommand reads it.
bool NamesCommand(const char* text);

// Takes the next blank-delimited token at *cursor, writing a zero over the
// blank that ends it; null when only blanks are left.
char* NextToken(char** cursor);

}  // namespace app
