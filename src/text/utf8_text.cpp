#include "text/utf8_text.h"

#include "platform/utf8.h"

namespace utf8 {
namespace {

unsigned char Fold(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

size_t CharacterLength(const char* text) { return plat::DecodeUtf8(text).length; }

struct Span {
  size_t bytes;
  size_t characters;
};

// The start of text up to its end, limit bytes or count characters,
// whichever comes first.
Span Measure(const char* text, size_t limit, size_t count) {
  Span s = {0, 0};
  for (; s.characters < count && s.bytes < limit && text[s.bytes] != '\0'; ++s.characters)
    s.bytes += CharacterLength(text + s.bytes);
  return s;
}

// Appends text's characters while they fit with room for reserveBytes bytes
// and reserveCharacters characters after them.
void AppendBounded(Builder& b, const char* text, size_t reserveBytes, size_t reserveCharacters) {
  for (const char* p = text; *p != '\0';) {
    const size_t n = CharacterLength(p);
    if (b.length + n + reserveBytes >= b.capacity ||
        b.characters + 1 + reserveCharacters > b.limit) {
      b.cut = true;
      break;
    }
    for (size_t i = 0; i < n; ++i) b.data[b.length++] = p[i];
    ++b.characters;
    p += n;
  }
  b.data[b.length] = '\0';
}

}  // namespace

bool PrefixMatch(const char* text, const char* literal, size_t count) {
  // Character by character of text: the same character has the same bytes.
  for (size_t i = 0; count > 0; --count) {
    const size_t n = CharacterLength(text + i);
    for (const size_t end = i + (n == 0 ? 1 : n); i < end; ++i) {
      if (Fold(text[i]) != Fold(literal[i])) return false;
      if (text[i] == '\0') return true;  // both ended together
    }
  }
  return true;
}

bool EqualsIgnoreCase(const char* a, const char* b) {
  for (size_t i = 0;; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
    if (a[i] == '\0') return true;
  }
}

bool Equals(const char* a, const char* b) {
  for (size_t i = 0;; ++i) {
    if (a[i] != b[i]) return false;
    if (a[i] == '\0') return true;
  }
}

size_t Length(const char* text) {
  size_t n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

size_t CountCharacters(const char* text, size_t bytes) {
  return Measure(text, bytes, SIZE_MAX).characters;
}

size_t Characters(const char* text) { return CountCharacters(text, SIZE_MAX); }

size_t CharacterPrefix(const char* text, size_t count) {
  return Measure(text, SIZE_MAX, count).bytes;
}

void KeepCharacters(char* text, size_t count) { text[CharacterPrefix(text, count)] = '\0'; }

Builder Start(char* buffer, size_t capacity, size_t limit) {
  buffer[0] = '\0';
  return Builder{buffer, capacity, 0, 0, limit, false};
}

void AppendChar(Builder& builder, char c) {
  const char text[2] = {c, '\0'};
  if (c != '\0') AppendBounded(builder, text, 0, 0);
}

void Append(Builder& builder, const char* text) { AppendBounded(builder, text, 0, 0); }

void AppendDecimal(Builder& builder, uint32_t value) {
  char digits[11];  // 4294967295 has ten
  size_t count = sizeof digits - 1;
  digits[count] = '\0';
  do {
    digits[--count] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  Append(builder, digits + count);
}

void AppendReserving(Builder& builder, const char* text, const char* ending) {
  AppendBounded(builder, text, Length(ending), Characters(ending));
}

int32_t ParseDecimal(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + (*p - '0');
    if (value > 2147483648LL) value = 2147483648LL;  // saturate; keeps the loop bounded
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace utf8
