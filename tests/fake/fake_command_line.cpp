// The platform's splitting of a wide command line into its elements, as
// CommandLineToArgvW documents it, for the tests that give the program a
// whole command line.
#include "fake_windows.h"

namespace fake {
namespace {

constexpr char16_t kQuote = u'"';
constexpr char16_t kBackslash = u'\\';

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::vector<std::u16string> SplitCommandLine(const std::u16string& line) {
  if (line.empty()) return {u"C:\\dowtrane\\dowtrane.exe"};
  std::vector<std::u16string> out;
  size_t i = 0;
  // The program's name: no escapes, and a quoted one ends at the next quote
  // whatever follows it.
  std::u16string name;
  if (line[0] == kQuote) {
    for (i = 1; i < line.size() && line[i] != kQuote; ++i) name += line[i];
    if (i < line.size()) ++i;
  } else {
    for (; i < line.size() && !IsBlank(line[i]); ++i) name += line[i];
  }
  out.push_back(name);

  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i == line.size()) return out;
  std::u16string current;
  int quotes = 0;       // 1 inside a quoted part
  size_t backslashes = 0;
  while (i < line.size()) {
    const char16_t c = line[i];
    if (IsBlank(c) && quotes == 0) {
      out.push_back(current);
      current.clear();
      backslashes = 0;
      while (i < line.size() && IsBlank(line[i])) ++i;
      if (i == line.size()) return out;
      continue;
    }
    if (c == kBackslash) {
      current += c;
      ++backslashes;
      ++i;
      continue;
    }
    if (c != kQuote) {
      current += c;
      backslashes = 0;
      ++i;
      continue;
    }
    // A quote: the backslashes before it are halved; an odd one out makes
    // it a literal quote, else it opens or closes a quoted part.
    current.resize(current.size() - backslashes / 2);
    if (backslashes % 2 == 1) {
      current.back() = kQuote;
    } else {
      ++quotes;
    }
    backslashes = 0;
    // Of the quotes that follow at once, every third counting from the
    // opening one stands for itself and ends the quoted part.
    for (++i; i < line.size() && line[i] == kQuote; ++i) {
      if (++quotes == 3) {
        current += kQuote;
        quotes = 0;
      }
    }
    if (quotes == 2) quotes = 0;
  }
  out.push_back(current);
  return out;
}

}  // namespace fake
