// /windows: the client's windows as the window commands see them; and the
// showing of lines that it and the list of hotkeys share.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "text/utf8_text.h"

namespace app {

// Lists the client's windows, in a box or, when the standard output is a
// file or a pipe, there. Sends the client nothing; returns 0, or
// kStatusListCut when the list could not be written whole.
int ListWindows();

// Lines for the user, each within kListingLineSize with its terminator: in
// a box of at most 40 lines, the line after them saying how many more there
// are, or, when the standard output is a file or a pipe, written there, in
// full, with Windows line ends, until a write fails.
struct Lines {
  utf8::Builder box;
  uint32_t count;  // all the lines offered, shown or not
  bool toOutput;
  bool written;    // every write so far succeeded
};
void StartLines(Lines& lines);
int AddLine(const char* line, intptr_t lines);  // a LineProc (listing.h): 0 once a write failed
// Shows the box, its last line "... and <n><moreEnd>" when lines were left
// out; or, when a write failed, says writeFailed (TellError). Returns the
// status: 0, or kStatusListCut after writeFailed.
int EndLines(Lines& lines, const char* caption, const char* moreEnd, const char* writeFailed);

}  // namespace app
