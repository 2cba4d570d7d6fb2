// What Dowtrane says to its user and how a run ends: every caption, box
// text and exit status of the program, each named once. (The client's
// classes, titles and menu ids are in client/contract.h.)
#pragma once

namespace app {

// ---------------------------------------------------------------- captions

inline constexpr char kErrorCaption[] = "Dowtrane Error";
inline constexpr char kSendCaption[] = "Dowtrane - Send message";
inline constexpr char kMultiImCaption[] = "Dowtrane - MultiIM";
inline constexpr char kListCaption[] = "Dowtrane - Windows";

// ---------------------------------------------------------------- box texts

// Ends a line written to a file or a pipe; a box breaks lines at '\n'.
inline constexpr char kLineEnd[] = "\r\n";

inline constexpr char kMissingClient[] =
    "Can't find Quenvale window\n\nUse 'Dowtrane launch' to start Quenvale";
inline constexpr char kNotResponding[] = "Quenvale is not responding";
inline constexpr char kOutOfMemory[] = "Out of memory";
inline constexpr char kHigherRights[] =
    "Quenvale runs with higher rights than Dowtrane (as administrator): "
    "start Dowtrane the same way.";
inline constexpr char kNoWindowsFolder[] = "Can't open the help file: the Windows folder can't be read";
// Around an argument, which is cut so that the ending always shows.
inline constexpr char kUnknownMediumStart[] = "Unknown chat medium:\n\t";
inline constexpr char kUnknownMediumEnd[] = "\nUse AIM, ICQ, IRC, YAHOO! or MSN";
inline constexpr char kUnknownContainer[] = "Unknown container\n";
inline constexpr char kUnknownOption[] = "Unknown option\n";
inline constexpr char kMultiImStart[] = "Sending ";
inline constexpr char kMultiImEnd[] = " MultiIM";
// The target the question names when the command gives none.
inline constexpr char kMultiImDefaultTarget[] = "contact";
// The list of windows (/windows): the line after the 40 a box shows, and
// what a failed write to the standard output says.
inline constexpr char kMoreStart[] = "... and ";
inline constexpr char kMoreEnd[] = " more: dowtrane /windows > windows.txt lists them all";
inline constexpr char kWriteFailed[] = "Can't write the list of windows to the standard output";

// ---------------------------------------------------------------- starting programs

// A program that the shell could not start (launch, winamp): start, its
// path, the reason's start, then the system's words for the error or, when
// it has none, number and the error's code. Only launchers.cpp reads them
// (so not inline, as the listing's pieces below).
namespace starting {
constexpr char kCannotStart[] = "Can't start:\n\t";
constexpr char kReason[] = "\n\n";
constexpr char kErrorNumber[] = "Error ";
}  // namespace starting

// ---------------------------------------------------------------- the list of windows

// Pieces of the lines of /windows (app/listing.h). Only listing.cpp reads
// them, so they are not inline: as inline variables each would take a
// section of its own in the executable.
namespace listing {
constexpr char kMainStart[] = "Main window: ";
constexpr char kThread[] = ", thread ";
constexpr char kContactListStart[] = "Contact list: ";
constexpr char kNone[] = "none";
constexpr char kWindowsFollow[] = "Windows, in the order the commands visit them:";
constexpr char kNoWindows[] = "Windows: none";
constexpr char kIndent[] = "    ";
constexpr char kVisible[] = "visible";
constexpr char kHidden[] = "hidden";
constexpr char kMinimized[] = "minimized";
constexpr char kClickThrough[] = ", click-through";
constexpr char kCut[] = "...";
constexpr char kUnknownKind[] = "unknown";

// By WindowKind.
constexpr const char* kKindNames[] = {"contact list", "container", "console",    "private",
                                             "channel",      "plain",     "send dialog"};
}  // namespace listing

// ---------------------------------------------------------------- exit statuses

// The help file was opened; no client (after kMissingClient); a window
// command ran to its end, also for a word that matches nothing.
inline constexpr int kStatusDone = 0;
// A main-window command was sent; launch and winamp, whatever happened
// (also after starting::kCannotStart).
inline constexpr int kStatusSent = 1;
// An unknown chat medium or target word (after its box); out of memory
// while building the inventory, or no helper thread for the calls (after
// kOutOfMemory); the help file not opened, for want of the Windows folder's
// shell (after kNoWindowsFolder).
inline constexpr int kStatusRefused = 1;
// The MultiIM question was not answered with OK.
inline constexpr int kStatusCancelled = 3;
// No container has the given title (after kUnknownContainer).
inline constexpr int kStatusUnknownContainer = 5;
// The client did not answer: its thread was hung, or a call ran out of time
// (after kNotResponding).
inline constexpr int kStatusNotResponding = 6;
// The list of windows could not be written whole to the standard output
// (after kWriteFailed).
inline constexpr int kStatusListCut = 7;
// Windows refused a call to the client, which runs with higher rights
// (after kHigherRights); nothing more was sent.
inline constexpr int kStatusHigherRights = 8;

}  // namespace app
