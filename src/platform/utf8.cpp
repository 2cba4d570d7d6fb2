#include "platform/utf8.h"

namespace plat {
namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

bool IsHighSurrogate(uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

}  // namespace

Utf8Character DecodeUtf8(const char* text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const uint32_t lead = p[0];
  if (lead >= 0xC2 && lead <= 0xF4) {
    const uint32_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    uint32_t code = lead & (0x7Fu >> length);
    // Continuation bytes are never zero, so this stops at the terminator.
    uint32_t i = 1;
    for (; i < length && IsContinuation(p[i]); ++i) code = code << 6 | (p[i] & 0x3Fu);
    // The shortest form only, and nothing past U+10FFFF; surrogates are allowed.
    const uint32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (i == length && code >= least && code <= 0x10FFFF) return {code, length};
  }
  return {lead, lead != 0};
}

size_t EncodeUtf16(uint32_t code, WideChar* units) {
  if (code < 0x10000) {
    units[0] = static_cast<WideChar>(code);
    return 1;
  }
  units[0] = static_cast<WideChar>(0xD800 + ((code - 0x10000) >> 10));
  units[1] = static_cast<WideChar>(0xDC00 + ((code - 0x10000) & 0x3FF));
  return 2;
}

size_t WideToUtf8(const WideChar* text, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  size_t used = 0;
  for (const WideChar* p = text; p != nullptr && *p != 0; ++p) {
    uint32_t code = *p;
    if (IsHighSurrogate(code) && IsLowSurrogate(p[1]))
      code = 0x10000 + ((code - 0xD800) << 10) + (p[1] - 0xDC00u);
    const size_t length = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    if (used + length >= capacity) break;
    if (code >= 0x10000) ++p;
    // Six bits a continuation byte, from the last; the lead byte has as many
    // high bits set as the character has bytes (none for ASCII).
    for (size_t i = length; --i > 0; code >>= 6)
      buffer[used + i] = static_cast<char>(0x80 | (code & 0x3F));
    buffer[used] = static_cast<char>((length == 1 ? 0 : 0xF00u >> length) | code);
    used += length;
  }
  buffer[used] = '\0';
  return used;
}

size_t Utf8ToWide(const char* text, WideChar* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  size_t used = 0;
  for (const char* p = text; p != nullptr && *p != '\0';) {
    const Utf8Character c = DecodeUtf8(p);
    WideChar units[2];
    const size_t n = EncodeUtf16(c.code, units);
    if (used + n >= capacity) break;
    for (size_t i = 0; i < n; ++i) buffer[used++] = units[i];
    p += c.length;
  }
  buffer[used] = 0;
  return used;
}

}  // namespace plat
