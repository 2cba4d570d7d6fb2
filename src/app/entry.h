// The program's entry: from the process's command line to the command's
// exit status.
#pragma once

namespace app {

// The text after the program's name in the process's command line.
const char* FindTail(const char* commandLine);

// Runs the command in tail (the command line after the program's name),
// which it may change in place, and returns the exit status.
int RunCommandTail(char* tail);

// What the process entry does before it ends: the tail of the process's
// command line, in UTF-8 in a buffer of the run's own, goes to
// RunCommandTail; returns its status.
int RunProcessCommandLine();

// Opens the help file with the shell of the Windows folder; returns the
// run's status.
int OpenHelpFile();

}  // namespace app
