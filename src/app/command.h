// The command of one run: the command line split into the command word and
// its arguments, and the working values the window commands hand on.
#pragma once

#include <stdint.h>

#include "text/utf8_text.h"
#include "platform/platform.h"

namespace app {

struct CommandState {
  const char* word;       // never null and never empty
  const char* firstArg;   // null when absent
  const char* secondArg;
  const char* thirdArg;
  plat::WideChar** wideArgs;  // the whole wide command line; null when it cannot be split
  int32_t wideArgCount;
  char action[2];
  int32_t number;
  char text[utf8::kBufferSize];
  bool foregroundMain;
  bool actionSet;
};

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

// Decides what the command word asks for and carries it out.
int Dispatch(CommandState& state);

// Says that the client is not responding; returns kStatusNotResponding.
int NotResponding();

// Opens the help file with the shell.
void OpenHelpFile();

}  // namespace app
