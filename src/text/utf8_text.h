// How Dowtrane compares and builds its texts: command words, option words,
// the client's titles and class names, and the bounded buffers that messages
// and child commands are built in. Texts are UTF-8 (platform/utf8.h says
// why); the comparisons go byte by byte, folding only ASCII letters, so a
// character outside ASCII matches itself alone. Counts and limits are in
// characters, and no cut ever ends inside a character.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace utf8 {

// Every bounded text of the program (box texts, the text of sendmessage,
// child commands, paths) holds at most this many characters...
inline constexpr size_t kTextCharacters = 399;
// ...and fits, whatever its characters, in a buffer of this many bytes.
inline constexpr size_t kBufferSize = kTextCharacters * 4 + 1;

// Compares at most count characters, folding only the ASCII letters a-z
// onto A-Z; every other byte must be the same. Texts that both end before
// count characters match; a text that ends where the other goes on does not.
bool PrefixMatch(const char* text, const char* literal, size_t count);

// The same comparison over the whole of both texts.
bool EqualsIgnoreCase(const char* a, const char* b);

// Exact, case-sensitive comparison over the whole of both texts.
bool Equals(const char* a, const char* b);

size_t Length(const char* text);  // in bytes

// The characters among the first bytes bytes of text (up to its end).
size_t CountCharacters(const char* text, size_t bytes);
size_t Characters(const char* text);
// The bytes that the first count characters of text take (all of it when it
// has fewer): where a cut after count characters goes.
size_t CharacterPrefix(const char* text, size_t count);
// Cuts text after count characters.
void KeepCharacters(char* text, size_t count);

// A bounded text under construction in a caller's buffer. Appends add whole
// characters only, never more than capacity - 1 bytes nor limit characters,
// and always leave the text terminated; cut records that something did not
// fit.
struct Builder {
  char* data;
  size_t capacity;    // bytes, with the terminator
  size_t length;      // bytes
  size_t characters;
  size_t limit;       // characters
  bool cut;
};

// capacity must be at least 1. Without a limit, only the bytes bound the text.
Builder Start(char* buffer, size_t capacity, size_t limit = SIZE_MAX);
void Append(Builder& builder, const char* text);
void AppendChar(Builder& builder, char c);
void AppendDecimal(Builder& builder, uint32_t value);
// Appends text but leaves room for ending, so that a fixed ending still fits
// after an argument of any length.
void AppendReserving(Builder& builder, const char* text, const char* ending);

// Reads a signed decimal integer as the C library's atol does (leading white
// space, an optional sign, digits up to the first non-digit; no digits give
// 0), saturating at the 32-bit limits instead of overflowing.
int32_t ParseDecimal(const char* text);

}  // namespace utf8
