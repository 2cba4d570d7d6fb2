#include "client/text.h"

#include <gtest/gtest.h>

#include <string>

TEST(PrefixMatch, ComparesOnlyTheCountFoldingAsciiLetters) {
  EXPECT_TRUE(text::PrefixMatch("topmost", "top", 3));
  EXPECT_TRUE(text::PrefixMatch("PREFS", "preferences", 4));
  EXPECT_FALSE(text::PrefixMatch("to", "top", 3));  // shorter text never matches
  EXPECT_TRUE(text::PrefixMatch("anything", "x", 0));
  EXPECT_TRUE(text::PrefixMatch("ab", "ab", 5));  // both end together
  EXPECT_FALSE(text::PrefixMatch("abc", "ab", 5));
  // Bytes above 127 and punctuation are compared unchanged.
  EXPECT_FALSE(text::PrefixMatch("\xe9t", "\xc9t", 2));
  EXPECT_FALSE(text::PrefixMatch("[", "{", 1));  // '[' is not a folded '{'
  EXPECT_TRUE(text::PrefixMatch("away+x", "away+", 5));
}

TEST(EqualsIgnoreCase, WholeTexts) {
  EXPECT_TRUE(text::EqualsIgnoreCase("CURRENT", "current"));
  EXPECT_FALSE(text::EqualsIgnoreCase("curren", "current"));
  EXPECT_FALSE(text::EqualsIgnoreCase("currents", "current"));
  EXPECT_TRUE(text::EqualsIgnoreCase("", ""));
}

TEST(Builder, NeverOverrunsAndKeepsTheEndingWhenReserving) {
  char buffer[8];
  text::Builder b = text::Start(buffer, sizeof buffer);
  text::Append(b, "abc");
  text::AppendChar(b, 'd');
  text::Append(b, "efghij");
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_TRUE(b.cut);

  b = text::Start(buffer, sizeof buffer);
  text::Append(b, "<");
  text::AppendReserving(b, "long argument", 2);
  text::Append(b, "/>");
  EXPECT_STREQ(buffer, "<long/>");
}

TEST(ParseDecimal, ReadsLikeAtolAndSaturates) {
  EXPECT_EQ(text::ParseDecimal("  42abc"), 42);
  EXPECT_EQ(text::ParseDecimal("-4"), -4);
  EXPECT_EQ(text::ParseDecimal("+7"), 7);
  EXPECT_EQ(text::ParseDecimal("soon"), 0);
  EXPECT_EQ(text::ParseDecimal("\t\n 3"), 3);
  EXPECT_EQ(text::ParseDecimal("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(text::ParseDecimal("-99999999999999999999"), INT32_MIN);
}
