#include "text/utf8_text.h"

#include <gtest/gtest.h>

#include <string>

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
