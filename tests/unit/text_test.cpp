#include "text/ansi_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(PrefixMatch, ComparesOnlyTheCountFoldingAsciiLetters) {
  EXPECT_TRUE(ansi::PrefixMatch("topmost", "top", 3));
  EXPECT_TRUE(ansi::PrefixMatch("PREFS", "preferences", 4));
  EXPECT_FALSE(ansi::PrefixMatch("to", "top", 3));  // shorter text never matches
  EXPECT_TRUE(ansi::PrefixMatch("anything", "x", 0));
  EXPECT_TRUE(ansi::PrefixMatch("ab", "ab", 5));  // both end together
  EXPECT_FALSE(ansi::PrefixMatch("abc", "ab", 5));
  // Bytes above 127 and punctuation are compared unchanged.
  EXPECT_FALSE(ansi::PrefixMatch("\xe9t", "\xc9t", 2));
  EXPECT_FALSE(ansi::PrefixMatch("[", "{", 1));  // '[' is not a folded '{'
  EXPECT_TRUE(ansi::PrefixMatch("away+x", "away+", 5));
}

TEST(EqualsIgnoreCase, WholeTexts) {
  EXPECT_TRUE(ansi::EqualsIgnoreCase("CURRENT", "current"));
  EXPECT_FALSE(ansi::EqualsIgnoreCase("curren", "current"));
  EXPECT_FALSE(ansi::EqualsIgnoreCase("currents", "current"));
  EXPECT_TRUE(ansi::EqualsIgnoreCase("", ""));
}

TEST(Builder, NeverOverrunsAndKeepsTheEndingWhenReserving) {
  char buffer[8];
  ansi::Builder b = ansi::Start(buffer, sizeof buffer);
  ansi::Append(b, "abc");
  ansi::AppendChar(b, 'd');
  ansi::Append(b, "efghij");
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_TRUE(b.cut);

  b = ansi::Start(buffer, sizeof buffer);
  ansi::Append(b, "<");
  ansi::AppendReserving(b, "long argument", 2);
  ansi::Append(b, "/>");
  EXPECT_STREQ(buffer, "<long/>");
}

TEST(ParseDecimal, ReadsLikeAtolAndSaturates) {
  EXPECT_EQ(ansi::ParseDecimal("  42abc"), 42);
  EXPECT_EQ(ansi::ParseDecimal("-4"), -4);
  EXPECT_EQ(ansi::ParseDecimal("+7"), 7);
  EXPECT_EQ(ansi::ParseDecimal("soon"), 0);
  EXPECT_EQ(ansi::ParseDecimal("\t\n 3"), 3);
  EXPECT_EQ(ansi::ParseDecimal("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(ansi::ParseDecimal("-99999999999999999999"), INT32_MIN);
}
