// The dispatcher: carries out the command of a record.
#pragma once

#include "app/command.h"

namespace app {

// Carries out the command of the record (the main window looked up).
int Dispatch(const CommandRecord& record);

// True when the calls to the client stopped with their last call not
// delivered: the client did not answer, Windows refused the call, or the
// run could not make its helper thread. (A busy client had the last call in
// hand: it was delivered.)
bool CallsFailed();

// When the calls failed, says why and returns the status that says it;
// otherwise returns status.
int TellIfCallsFailed(int status);

// Writes a text of the program (of at most utf8::kBufferSize bytes) and a
// line end to the standard output, or standard error, each '\n' as CR LF;
// a write that fails is not told.
void WriteText(const char* text, bool standardError);

// Says what went wrong: in a box, or, when the standard output is a file or
// a pipe, in the same words on standard error, since a box would stop the
// script until someone clicks it. Returns status.
int TellError(const char* text, int status);

}  // namespace app
