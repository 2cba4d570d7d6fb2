// What the compiler may call on its own: it turns copies and fills of
// records and buffers, and loops that look for a text's end, into calls to
// memcpy, memmove, memset, memcmp and strlen, and the program links no C
// library to provide them. (64-bit division on i686 and the stack probe come
// from the compiler's own library, libgcc.)
// This file is built with -fno-builtin and without loop-pattern detection,
// or the compiler would turn these loops back into calls to themselves.
#include <stddef.h>

extern "C" {

void* memcpy(void* destination, const void* source, size_t count) {
  unsigned char* d = static_cast<unsigned char*>(destination);
  const unsigned char* s = static_cast<const unsigned char*>(source);
  while (count-- != 0) *d++ = *s++;
  return destination;
}

void* memmove(void* destination, const void* source, size_t count) {
  unsigned char* d = static_cast<unsigned char*>(destination);
  const unsigned char* s = static_cast<const unsigned char*>(source);
  if (d < s) {
    while (count-- != 0) *d++ = *s++;
  } else {
    while (count-- != 0) d[count] = s[count];
  }
  return destination;
}

void* memset(void* destination, int value, size_t count) {
  unsigned char* d = static_cast<unsigned char*>(destination);
  while (count-- != 0) *d++ = static_cast<unsigned char>(value);
  return destination;
}

int memcmp(const void* a, const void* b, size_t count) {
  const unsigned char* x = static_cast<const unsigned char*>(a);
  const unsigned char* y = static_cast<const unsigned char*>(b);
  for (; count != 0; --count, ++x, ++y) {
    if (*x != *y) return *x < *y ? -1 : 1;
  }
  return 0;
}

size_t strlen(const char* text) {
  size_t n = 0;
  while (text[n] != '\0') ++n;
  return n;
}

}  // extern "C"
