// The Windows build's own memcpy, memmove, memset, memcmp and strlen
// (src/platform/win32/runtime.cpp), compiled here under other names so that
// the C library's stay in place.
#include <gtest/gtest.h>

#include <stddef.h>

#include <string>

extern "C" {
void* runtime_memcpy(void* destination, const void* source, size_t count);
void* runtime_memmove(void* destination, const void* source, size_t count);
void* runtime_memset(void* destination, int value, size_t count);
int runtime_memcmp(const void* a, const void* b, size_t count);
size_t runtime_strlen(const char* text);
}

namespace {

std::string Bytes(const char* data, size_t count) { return std::string(data, count); }

TEST(Runtime, CopyAndFillTouchExactlyCountBytes) {
  char to[8] = {'.', '.', '.', '.', '.', '.', '.', '.'};
  EXPECT_EQ(runtime_memcpy(to + 1, "abcdef", 5), to + 1);
  EXPECT_EQ(Bytes(to, 8), ".abcde..");
  EXPECT_EQ(runtime_memcpy(to, "zz", 0), to);
  EXPECT_EQ(Bytes(to, 8), ".abcde..");

  // The value is cut to its low byte, as the C library does.
  EXPECT_EQ(runtime_memset(to + 2, 0x141, 3), to + 2);
  EXPECT_EQ(Bytes(to, 8), ".aAAAe..");
  runtime_memset(to, 0, 0);
  EXPECT_EQ(to[0], '.');
}

TEST(Runtime, MoveHandlesOverlapInBothDirections) {
  char up[] = "abcdefgh";
  EXPECT_EQ(runtime_memmove(up + 2, up, 5), up + 2);  // forward copy would repeat "ab"
  EXPECT_EQ(Bytes(up, 8), "ababcdeh");

  char down[] = "abcdefgh";
  EXPECT_EQ(runtime_memmove(down, down + 2, 5), down);
  EXPECT_EQ(Bytes(down, 8), "cdefgfgh");

  char same[] = "abc";
  runtime_memmove(same, same, 3);
  EXPECT_EQ(Bytes(same, 3), "abc");
}

TEST(Runtime, CompareReadsUnsignedBytesUpToCount) {
  EXPECT_EQ(runtime_memcmp("abc", "abc", 3), 0);
  EXPECT_EQ(runtime_memcmp("abX", "abY", 2), 0);  // the difference lies past count
  EXPECT_EQ(runtime_memcmp("a", "b", 0), 0);
  EXPECT_LT(runtime_memcmp("abc", "abd", 3), 0);
  EXPECT_GT(runtime_memcmp("abd", "abc", 3), 0);
  // 0x80 is above 0x7f: bytes compare as unsigned even where char is signed.
  EXPECT_GT(runtime_memcmp("\x80", "\x7f", 1), 0);
  EXPECT_LT(runtime_memcmp("\x7f", "\xff", 1), 0);
}

TEST(Runtime, LengthStopsAtTheFirstZero) {
  EXPECT_EQ(runtime_strlen(""), 0u);
  EXPECT_EQ(runtime_strlen("top"), 3u);
  EXPECT_EQ(runtime_strlen("ab\0cd"), 2u);
  EXPECT_EQ(runtime_strlen("\xe9t\xe9"), 3u);
}

}  // namespace
