// What Dowtrane says to its user and how a run ends: every caption, box
// text and exit status of the program, each named once. (The client's
// classes, titles and menu ids are in client/contract.h.)
//
// A text that one file reads is constexpr, laid out among that file's
// constants; one that several files read is inline, one copy in a section
// of its own, which the linker aligns to 16 bytes on x86-64. Texts are
// packed ([[gnu::aligned(1)]]): the x86-64 ABI would align each array of 16
// bytes or more to 16.
#pragma once

namespace app {

// ---------------------------------------------------------------- captions

inline constexpr char kErrorCaption[] = "Dowtrane Error";
[[gnu::aligned(1)]] constexpr char kSendCaption[] = "Dowtrane - Send message";
[[gnu::aligned(1)]] constexpr char kMultiImCaption[] = "Dowtrane - MultiIM";
[[gnu::aligned(1)]] constexpr char kListCaption[] = "Dowtrane - Windows";

// ---------------------------------------------------------------- box texts

// Ends a line written to a file or a pipe; a box breaks lines at '\n'. Two
// files read it, and a copy in each is smaller than a section of its own.
[[gnu::aligned(1)]] constexpr char kLineEnd[] = "\r\n";

[[gnu::aligned(1)]] constexpr char kMissingClient[] =
    "Can't find Quenvale window\n\nUse 'Dowtrane launch' to start Quenvale";
[[gnu::aligned(1)]] constexpr char kNotResponding[] = "Quenvale is not responding";
inline constexpr char kOutOfMemory[] = "Out of memory";
[[gnu::aligned(1)]] constexpr char kHigherRights[] =
    "Quenvale runs with higher rights than Dowtrane (as administrator): "
    "start Dowtrane the same way.";
[[gnu::aligned(1)]] constexpr char kNoWindowsFolder[] =
    "Can't open the help file: the Windows folder can't be read";
// Around an argument, which is cut so that the ending always shows.
[[gnu::aligned(1)]] constexpr char kUnknownMediumStart[] = "Unknown chat medium:\n\t";
[[gnu::aligned(1)]] constexpr char kUnknownMediumEnd[] = "\nUse AIM, ICQ, IRC, YAHOO! or MSN";
[[gnu::aligned(1)]] constexpr char kUnknownContainer[] = "Unknown container\n";
[[gnu::aligned(1)]] constexpr char kUnknownOption[] = "Unknown option\n";
[[gnu::aligned(1)]] constexpr char kMultiImStart[] = "Sending ";
[[gnu::aligned(1)]] constexpr char kMultiImEnd[] = " MultiIM";
// The target the question names when the command gives none.
[[gnu::aligned(1)]] constexpr char kMultiImDefaultTarget[] = "contact";
// The list of windows (/windows): the line after the 40 a box shows, and
// what a failed write to the standard output says.
[[gnu::aligned(1)]] constexpr char kMoreStart[] = "... and ";
[[gnu::aligned(1)]] constexpr char kMoreEnd[] =
    " more: dowtrane /windows > windows.txt lists them all";
[[gnu::aligned(1)]] constexpr char kWriteFailed[] =
    "Can't write the list of windows to the standard output";

// ---------------------------------------------------------------- starting programs

// A program that the shell could not start (launch, winamp): start, its
// path, the reason's start, then the system's words for the error or, when
// it has none, number and the error's code. Only launchers.cpp reads them.
namespace starting {
[[gnu::aligned(1)]] constexpr char kCannotStart[] = "Can't start:\n\t";
[[gnu::aligned(1)]] constexpr char kReason[] = "\n\n";
[[gnu::aligned(1)]] constexpr char kErrorNumber[] = "Error ";
}  // namespace starting

// ---------------------------------------------------------------- the list of windows

// Pieces of the lines of /windows (app/listing.h). Only listing.cpp reads
// them.
namespace listing {
[[gnu::aligned(1)]] constexpr char kMainStart[] = "Main window: ";
[[gnu::aligned(1)]] constexpr char kThread[] = ", thread ";
[[gnu::aligned(1)]] constexpr char kContactListStart[] = "Contact list: ";
[[gnu::aligned(1)]] constexpr char kNone[] = "none";
[[gnu::aligned(1)]] constexpr char kWindowsFollow[] =
    "Windows, in the order the commands visit them:";
[[gnu::aligned(1)]] constexpr char kNoWindows[] = "Windows: none";
[[gnu::aligned(1)]] constexpr char kIndent[] = "    ";
[[gnu::aligned(1)]] constexpr char kVisible[] = "visible";
[[gnu::aligned(1)]] constexpr char kHidden[] = "hidden";
[[gnu::aligned(1)]] constexpr char kMinimized[] = "minimized";
[[gnu::aligned(1)]] constexpr char kClickThrough[] = ", click-through";
[[gnu::aligned(1)]] constexpr char kCut[] = "...";
[[gnu::aligned(1)]] constexpr char kUnknownKind[] = "unknown";

// By WindowKind.
[[gnu::aligned(1)]] constexpr char kKindNames[][13] = {
    "contact list", "container", "console", "private", "channel", "plain", "send dialog"};
}  // namespace listing

// ---------------------------------------------------------------- hotkeys

// What /bind and /unbind say (app/bindings.cpp), and the names they give.
// Only bindings.cpp reads them. In the texts, kKeys stands for the keys in
// their one form, kCut for the text named, cut after 60 characters and then
// followed by "...", kWhole for it whole.
namespace hotkeys {
constexpr char kKeys = '\1';
constexpr char kCut = '\2';
constexpr char kWhole = '\3';
[[gnu::aligned(1)]] constexpr char kCaption[] = "Dowtrane - Hotkeys";
// The folder of the bindings, in the user's Start-menu programs, and the
// shortcut's file ending.
[[gnu::aligned(1)]] constexpr char kFolder[] = "Dowtrane";
[[gnu::aligned(1)]] constexpr char kShortcutEnding[] = ".lnk";
[[gnu::aligned(1)]] constexpr char kName[] = "\1 \2";  // then the ending
[[gnu::aligned(1)]] constexpr char kNowRuns[] = "\1 now runs: dowtrane \2";
[[gnu::aligned(1)]] constexpr char kRanBefore[] = "\nIt ran before: dowtrane \2";
[[gnu::aligned(1)]] constexpr char kAlsoTypes[] = "\n\nOn this keyboard \1 also types \3.";
[[gnu::aligned(1)]] constexpr char kNoLongerRuns[] = "\1 no longer runs: dowtrane \2";
// Refusals.
[[gnu::aligned(1)]] constexpr char kUnknownKeys[] = "Unknown keys: \2\nSee Hotkeys in dowtrane.txt.";
[[gnu::aligned(1)]] constexpr char kNoCommand[] = "No command after the keys.";
[[gnu::aligned(1)]] constexpr char kUnknownCommand[] = "Unknown command: \2";
[[gnu::aligned(1)]] constexpr char kTaken[] = "\1 is taken by the shortcut\n\t\3";
[[gnu::aligned(1)]] constexpr char kHeld[] = "\1 is held by a running program.";
[[gnu::aligned(1)]] constexpr char kNoBinding[] = "No binding has the keys \1";
// COM or the Start menu's folder not to be had.
[[gnu::aligned(1)]] constexpr char kUnavailable[] = "Windows' shortcuts cannot be used.";
[[gnu::aligned(1)]] constexpr char kCannotWrite[] = "Can't write\n\t\3";
[[gnu::aligned(1)]] constexpr char kCannotRemove[] = "Can't remove\n\t\3";
// The list, a line a binding; the line after the last a box shows.
[[gnu::aligned(1)]] constexpr char kLine[] = "\1  \2";
[[gnu::aligned(1)]] constexpr char kProgramGone[] = "  (dowtrane.exe is gone)";
[[gnu::aligned(1)]] constexpr char kNoBindings[] = "No bindings.";
[[gnu::aligned(1)]] constexpr char kMoreEnd[] = " more: dowtrane /bind > hotkeys.txt";
[[gnu::aligned(1)]] constexpr char kWriteFailed[] = "Can't write the list of hotkeys to the standard output";
}  // namespace hotkeys

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
// The list of windows, or of hotkeys, could not be written whole to the
// standard output (after kWriteFailed, hotkeys::kWriteFailed).
inline constexpr int kStatusListCut = 7;
// Windows refused a call to the client, which runs with higher rights
// (after kHigherRights); nothing more was sent.
inline constexpr int kStatusHigherRights = 8;
// /bind or /unbind changed nothing: unknown keys or command, keys taken by a
// shortcut or held by a program, no binding with the keys, or the shortcut
// could not be written or removed.
inline constexpr int kStatusNotBound = 9;

}  // namespace app
