// /windows: the client's windows as the window commands see them.
#pragma once

namespace app {

// Lists the client's windows, in a box or, when the standard output is a
// file or a pipe, there. Sends the client nothing; returns 0, or
// kStatusListCut when the list could not be written whole.
int ListWindows();

}  // namespace app
