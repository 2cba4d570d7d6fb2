// What Dowtrane relies on in the Quenvale client: its window classes, titles
// and menu-command identifiers. Nothing else in the program spells them out.
// Texts and tables are laid out as app/messages.h says of its texts: inline
// where several files read them, packed as their elements need.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace client {

// Window classes and titles.
inline constexpr const char kMainClass[] = "quenvale";
[[gnu::aligned(1)]] constexpr const char kMainTitle[] = "Quenvale";
[[gnu::aligned(1)]] constexpr const char kIconHolderClass[] = "iconholder";
[[gnu::aligned(1)]] constexpr const char kListClass[] = "Quenvale - List";
[[gnu::aligned(1)]] constexpr const char kDisplayClass[] = "quenvale display";
[[gnu::aligned(1)]] constexpr const char kConsoleTitleSuffix[] = "console";
inline constexpr const char kSendDialogTitle[] = "Sending an Instant Message...";
[[gnu::aligned(1)]] constexpr const char kEditClass[] = "Edit";
[[gnu::aligned(1)]] constexpr const char kButtonClass[] = "Button";
[[gnu::aligned(1)]] constexpr const char kOkButtonTitle[] = "OK";

// Not the client's windows: those that Windows and its libraries make on
// every GUI thread that uses them, which EnumThreadWindows reports among the
// client's own. The inventory passes over every window of these classes.
// Windows compares class names without regard to case, and so does the
// inventory (the letters A to Z). A table of pointers, which the 64-bit
// program's relocation table needs (tests/e2e/check_imports.sh says why).
alignas(const char*) constexpr const char* kSystemWindowClasses[] = {
    // The default IME window, "Default IME", that the system makes for every
    // GUI thread and stacks just above the window it serves (Input Method
    // Manager: "IME Window Class", ImmGetDefaultIMEWnd).
    "IME",
    // The window of the text services framework's IME (msctfime.ime), titled
    // alike, beside the default IME window wherever text services run.
    "MSCTFIME UI",
    // GDI+'s notification window, "GDI+ Window", on the thread of a program
    // that runs GDI+'s hook itself (GdiplusStartupInput's
    // SuppressBackgroundThread, GdiplusStartupOutput).
    "GDI+ Hook Window Class",
    // COM's window of a single-threaded apartment, "OleMainThreadWndName",
    // made by CoInitialize and OleInitialize to carry calls between apartments.
    "OleMainThreadWndClass",
};

// A text joined from two at compile time, so that the child commands below
// are built from the class names above rather than spelling them again.
template <size_t Size>
struct JoinedText {
  char text[Size];
};
template <size_t A, size_t B>
constexpr JoinedText<A + B - 1> Join(const char (&a)[A], const char (&b)[B]) {
  JoinedText<A + B - 1> joined{};
  for (size_t i = 0; i + 1 < A; ++i) joined.text[i] = a[i];
  for (size_t i = 0; i < B; ++i) joined.text[A - 1 + i] = b[i];
  return joined;
}

// Child commands of the scanner (inventory/scanner.h): action letter,
// option letter, mode digit, then the class-name prefix of the controls.
[[gnu::aligned(1)]] constexpr auto kOfflineContactsCommand = Join("o00", kListClass);
[[gnu::aligned(1)]] constexpr auto kEnterDisplaysCommand = Join("U00", kDisplayClass);
// What the send dialog's controls get: the contact name follows it.
[[gnu::aligned(1)]] constexpr char kFillSendDialogCommand[] = "D02";
// The dock command; its second letter is the position ("o": none).
[[gnu::aligned(1)]] constexpr auto kDockCommand = Join("do0", kListClass);
inline constexpr size_t kDockPositionIndex = 1;

// Menu commands of the main window.
inline constexpr uint32_t kAwayPlus = 40019;
inline constexpr uint32_t kAwayEdit = 40027;
inline constexpr uint32_t kPreferences = 40010;
inline constexpr uint32_t kConnectionManager = 40006;
inline constexpr uint32_t kReconnect = 40023;
inline constexpr uint32_t kDisconnect = 40024;
inline constexpr uint32_t kExit = 40002;
inline constexpr uint32_t kSound = 40026;
inline constexpr uint32_t kShowBuddy = 3001;
inline constexpr uint32_t kTop = 1000;

// Menu commands of a console that open the send dialog, by medium.
inline constexpr uint32_t kSendAimIcq = 4029;
inline constexpr uint32_t kSendIrc = 4028;
inline constexpr uint32_t kSendMsn = 4041;
inline constexpr uint32_t kSendYahoo = 4007;

// Menu commands of the windows in the inventory.
// on, off, other
alignas(uint16_t) constexpr uint16_t kTimestampCommands[3] = {40024, 40025, 40026};
alignas(uint16_t) constexpr uint16_t kTransparencyCommands[10] = {
    43994, 43987, 43993, 43988, 43995, 43989, 43996, 43990, 43997, 43991};
inline constexpr uint32_t kLog = 40027;
inline constexpr uint32_t kInfo = 4041;
inline constexpr uint32_t kMultiImCurrentFirst = 40039;
inline constexpr uint32_t kMultiImCurrentSecond = 40037;
inline constexpr uint32_t kMultiImTarget = 40032;
inline constexpr uint32_t kAttachBase = 44499;  // plus the container number

// Menu commands of the contact-list control.
inline constexpr uint32_t kOfflineContacts = 30006;
inline constexpr uint32_t kDock = 30045;
inline constexpr uint32_t kDockLeft = 30032;
inline constexpr uint32_t kDockTop = 30033;
inline constexpr uint32_t kDockRight = 30034;
inline constexpr uint32_t kDockBottom = 30035;

// Uninstall entries of the client and of the media player, and what is
// started when they cannot be used.
[[gnu::aligned(1)]] constexpr const char kClientUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quenvale";
[[gnu::aligned(1)]] constexpr const char kPlayerUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp";
[[gnu::aligned(1)]] constexpr const char kUninstallValue[] = "UninstallString";
[[gnu::aligned(1)]] constexpr const char kClientProgram[] = "quenvale.exe";
[[gnu::aligned(1)]] constexpr const char kPlayerClass[] = "Winamp v1.x";
[[gnu::aligned(1)]] constexpr const char kPlayerProgram[] = "winamp.exe";
inline constexpr uint32_t kPlayerCommand = 40001;

}  // namespace client
