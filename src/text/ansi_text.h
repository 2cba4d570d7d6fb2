// How Dowtrane compares and builds its 8-bit texts: command words, option
// words, the client's titles and class names, and the bounded buffers that
// messages and child commands are built in.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace ansi {

// Every fixed text buffer of the program: 399 characters and the terminator.
inline constexpr size_t kBufferSize = 400;

// Compares at most count characters, folding only the ASCII letters a-z onto
// A-Z. Texts that both end before count characters match; a text that ends
// where the other goes on does not.
bool PrefixMatch(const char* text, const char* literal, size_t count);

// The same comparison over the whole of both texts.
bool EqualsIgnoreCase(const char* a, const char* b);

// Exact, case-sensitive comparison over the whole of both texts.
bool Equals(const char* a, const char* b);

size_t Length(const char* text);

// A bounded text under construction in a caller's buffer. Appends never
// write past capacity - 1 characters and always leave the text terminated;
// cut records that something did not fit.
struct Builder {
  char* data;
  size_t capacity;
  size_t length;
  bool cut;
};

Builder Start(char* buffer, size_t capacity);  // capacity must be at least 1
void Append(Builder& builder, const char* text);
void AppendChar(Builder& builder, char c);
void AppendDecimal(Builder& builder, uint32_t value);
// Appends text but leaves room for reserve more characters, so that a fixed
// ending still fits after an argument of any length.
void AppendReserving(Builder& builder, const char* text, size_t reserve);

// Reads a signed decimal integer as the C library's atol does (leading white
// space, an optional sign, digits up to the first non-digit; no digits give
// 0), saturating at the 32-bit limits instead of overflowing.
int32_t ParseDecimal(const char* text);

}  // namespace ansi
