#include "text/ansi_text.h"

namespace ansi {
namespace {

unsigned char Fold(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

}  // namespace

bool PrefixMatch(const char* text, const char* literal, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (Fold(text[i]) != Fold(literal[i])) return false;
    if (text[i] == '\0') return true;  // both ended together
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

Builder Start(char* buffer, size_t capacity) {
  buffer[0] = '\0';
  return Builder{buffer, capacity, 0, false};
}

void AppendChar(Builder& builder, char c) {
  if (builder.length + 1 >= builder.capacity) {
    builder.cut = true;
    return;
  }
  builder.data[builder.length++] = c;
  builder.data[builder.length] = '\0';
}

void Append(Builder& builder, const char* text) {
  for (const char* p = text; *p != '\0'; ++p) {
    if (builder.length + 1 >= builder.capacity) {
      builder.cut = true;
      break;
    }
    builder.data[builder.length++] = *p;
  }
  builder.data[builder.length] = '\0';
}

void AppendDecimal(Builder& builder, uint32_t value) {
  char digits[10];  // 4294967295 has ten
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) AppendChar(builder, digits[--count]);
}

void AppendReserving(Builder& builder, const char* text, size_t reserve) {
  for (const char* p = text; *p != '\0'; ++p) {
    if (builder.length + 1 + reserve >= builder.capacity) {
      builder.cut = true;
      break;
    }
    builder.data[builder.length++] = *p;
  }
  builder.data[builder.length] = '\0';
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

}  // namespace ansi
