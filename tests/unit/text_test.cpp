#include "text/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/utf8.h"

TEST(PrefixMatch, ComparesOnlyTheCountFoldingAsciiLetters) {
  EXPECT_TRUE(utf8::PrefixMatch("topmost", "top", 3));
  EXPECT_TRUE(utf8::PrefixMatch("PREFS", "preferences", 4));
  EXPECT_FALSE(utf8::PrefixMatch("to", "top", 3));  // shorter text never matches
  EXPECT_TRUE(utf8::PrefixMatch("anything", "x", 0));
  EXPECT_TRUE(utf8::PrefixMatch("ab", "ab", 5));  // both end together
  EXPECT_FALSE(utf8::PrefixMatch("abc", "ab", 5));
  // Bytes above 127 and punctuation are compared unchanged.
  EXPECT_FALSE(utf8::PrefixMatch("\xe9t", "\xc9t", 2));
  EXPECT_FALSE(utf8::PrefixMatch("[", "{", 1));  // '[' is not a folded '{'
  EXPECT_TRUE(utf8::PrefixMatch("away+x", "away+", 5));
  // The count is in characters; a character's bytes are all compared.
  EXPECT_TRUE(utf8::PrefixMatch("Дмитрий", "Дм", 2));
  EXPECT_FALSE(utf8::PrefixMatch("Дмитрий", "Дж", 2));  // Ж and м share their first byte
  EXPECT_FALSE(utf8::PrefixMatch("дм", "Дм", 2));       // no folding outside ASCII
}

TEST(Conversion, RoundTripsEveryUnitIncludingUnpairedSurrogates) {
  struct Row {
    std::u16string wide;
    std::string utf8;
  } rows[] = {
      {u"top", "top"},
      {u"Работа", "\xd0\xa0\xd0\xb0\xd0\xb1\xd0\xbe\xd1\x82\xd0\xb0"},
      {u"\u30bd\u0041", "\xe3\x82\xbd" "A"},            // no byte of it a backslash
      {u"J\U0001F600", "J\xf0\x9f\x98\x80"},             // a pair: one character of four bytes
      {std::u16string(1, 0xD83D) + u"x", "\xed\xa0\xbdx"},  // a lone first half
      {std::u16string(1, 0xDE00), "\xed\xb8\x80"},          // a lone second half
      {std::u16string{0xDE00, 0xD83D}, "\xed\xb8\x80\xed\xa0\xbd"},  // halves out of order
  };
  for (const Row& row : rows) {
    char narrow[32];
    EXPECT_EQ(plat::WideToUtf8(row.wide.c_str(), narrow, sizeof narrow), row.utf8.size());
    EXPECT_EQ(std::string(narrow), row.utf8);
    plat::WideChar wide[32];
    const size_t units = plat::Utf8ToWide(narrow, wide, 32);
    EXPECT_EQ(std::u16string(wide, units), row.wide) << row.utf8;
  }
  // Cuts fall between characters: a pair does not fit in 4 bytes with the
  // terminator, nor in 2 units.
  char narrow[5];
  EXPECT_EQ(plat::WideToUtf8(u"ab\U0001F600", narrow, sizeof narrow), 2u);
  plat::WideChar wide[2];
  EXPECT_EQ(plat::Utf8ToWide("\xf0\x9f\x98\x80", wide, 2), 0u);
  // A byte outside a well-formed sequence is the character of its value.
  EXPECT_EQ(plat::DecodeUtf8("\xe9t").code, 0xE9u);
  EXPECT_EQ(plat::DecodeUtf8("\xc0\x80").length, 1u);  // an overlong zero
}

TEST(Characters, CountAndCutWholeCharacters) {
  const char text[] = "a\xd0\x96\U0001F600\xed\xa0\x80z";  // a Ж 😀 lone-surrogate z
  EXPECT_EQ(utf8::Characters(text), 5u);
  EXPECT_EQ(utf8::CountCharacters(text, 3), 2u);
  const size_t prefixes[] = {0, 1, 3, 7, 10, 11, 11};
  for (size_t count = 0; count < 7; ++count)
    EXPECT_EQ(utf8::CharacterPrefix(text, count), prefixes[count]) << count;
  // A builder with a limit in characters takes whole characters only.
  char buffer[16];
  utf8::Builder b = utf8::Start(buffer, sizeof buffer, 3);
  utf8::Append(b, text);
  EXPECT_STREQ(buffer, "a\xd0\x96\U0001F600");
  EXPECT_TRUE(b.cut);
  b = utf8::Start(buffer, 6);  // bytes alone: the four-byte character does not fit
  utf8::Append(b, text);
  EXPECT_STREQ(buffer, "a\xd0\x96");
}

TEST(EqualsIgnoreCase, WholeTexts) {
  EXPECT_TRUE(utf8::EqualsIgnoreCase("CURRENT", "current"));
  EXPECT_FALSE(utf8::EqualsIgnoreCase("curren", "current"));
  EXPECT_FALSE(utf8::EqualsIgnoreCase("currents", "current"));
  EXPECT_TRUE(utf8::EqualsIgnoreCase("", ""));
}

TEST(Builder, NeverOverrunsAndKeepsTheEndingWhenReserving) {
  char buffer[8];
  utf8::Builder b = utf8::Start(buffer, sizeof buffer);
  utf8::Append(b, "abc");
  utf8::AppendChar(b, 'd');
  utf8::Append(b, "efghij");
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_TRUE(b.cut);

  b = utf8::Start(buffer, sizeof buffer);
  utf8::Append(b, "<");
  utf8::AppendReserving(b, "long argument", "/>");
  utf8::Append(b, "/>");
  EXPECT_STREQ(buffer, "<long/>");
}

TEST(ParseDecimal, ReadsLikeAtolAndSaturates) {
  EXPECT_EQ(utf8::ParseDecimal("  42abc"), 42);
  EXPECT_EQ(utf8::ParseDecimal("-4"), -4);
  EXPECT_EQ(utf8::ParseDecimal("+7"), 7);
  EXPECT_EQ(utf8::ParseDecimal("soon"), 0);
  EXPECT_EQ(utf8::ParseDecimal("\t\n 3"), 3);
  EXPECT_EQ(utf8::ParseDecimal("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(utf8::ParseDecimal("-99999999999999999999"), INT32_MIN);
}
