// The one conversion between the platform's wide texts (UTF-16) and the
// program's own (UTF-8).
//
// Why UTF-8 inside: every text the program compares or builds (command
// words, the client's classes and titles, box texts, child commands) goes
// through byte-wise helpers (text/utf8_text.h) whose rules are those of the
// names: ASCII letters folded, every other byte exact. In UTF-8 no byte of
// a character outside ASCII is an ASCII byte, so those rules match whole
// characters exactly as they matched single bytes, every constant stays a
// narrow literal, and only this layer meets UTF-16: it converts each text
// once, on its way in from Windows or out to it. Nothing goes through the
// system's ANSI code page, which would turn what it lacks into '?' and, when
// it is a double-byte one, make byte-wise handling split characters.
//
// The form is generalized UTF-8, lossless both ways: an unpaired surrogate
// (which window titles may hold) is written as its three-byte form, so a
// title read back converts to the same units and matches itself.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/platform.h"

namespace plat {

// The most bytes one character takes (U+10000 and above); one UTF-16 unit
// takes three at most (an unpaired surrogate).
inline constexpr size_t kMostCharacterBytes = 4;
inline constexpr size_t kMostUnitBytes = 3;

struct Utf8Character {
  uint32_t code;    // the code point; a surrogate's own value for an unpaired one
  uint32_t length;  // bytes, 1 to 4; 0 at the terminator
};

// The character that text starts with. A byte that starts no well-formed
// sequence (a stray continuation byte, an overlong or cut form) is one
// character of its own value, so every byte string reads as characters and
// nothing is lost; the program's own conversions never make such bytes.
Utf8Character DecodeUtf8(const char* text);

// The UTF-16 units of a code point into units: one, or above U+FFFF a
// surrogate pair, high half first. Returns how many.
size_t EncodeUtf16(uint32_t code, WideChar* units);

// The wide text (up to its zero) in UTF-8, cut to capacity - 1 bytes at the
// start of a character (a surrogate pair is one). Returns the bytes written;
// buffer is always terminated (capacity 0: nothing written).
size_t WideToUtf8(const WideChar* text, char* buffer, size_t capacity);

// The UTF-8 text in UTF-16, cut to capacity - 1 units, never between the
// halves of a pair. Returns the units written; buffer is always terminated.
size_t Utf8ToWide(const char* text, WideChar* buffer, size_t capacity);

}  // namespace plat
