// The KEYS of /bind and /unbind, between the user's text ("ctrl+alt+b")
// and the shell's hotkey word (platform.h: the virtual key in the low byte,
// HOTKEYF_* in the high byte).
#pragma once

#include <stdint.h>

#include "text/utf8_text.h"

namespace app {

// Reads the modifiers Ctrl, Alt and Shift, each at most once, in any order
// and case, joined by '+', then one key: a letter, a digit, F1 to F24, Home,
// End, PgUp, PgDn, Insert, Delete, Left, Right, Up, Down, Num0 to Num9. A
// function key may stand alone; every other key needs two modifiers at
// least, as the shell's Shortcut key field asks, so that no hotkey takes a
// key (or Ctrl+key) that programs use. The gray keys get HOTKEYF_EXT, as
// the shell's hotkey control gives them. Returns 0 for anything else.
uint16_t ReadKeys(const char* text);

// The keys in the one form the program writes ("Ctrl+Alt+B"), whatever
// form was typed; HOTKEYF_EXT shows nothing.
void WriteKeys(utf8::Builder& builder, uint16_t hotkey);

// Two hotkeys take the same keys when they differ at most in HOTKEYF_EXT.
bool SameKeys(uint16_t a, uint16_t b);

}  // namespace app
