// Splitting the lines of the test files: blank-separated words, double
// quotes group, and the escapes %n (line break) %t (tab) %s (blank)
// %q (double quote) %% and %xHH stand for the characters they name. The
// escape character is not the backslash, so Windows paths need no escaping.
#pragma once

#include <ctype.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace testfiles {

// Checks the escapes of a line; false, with the reason, on a malformed one:
// a lone % at the end, an unknown letter, %x without two hexadecimal digits.
inline bool CheckEscapes(const std::string& in, std::string* why) {
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '%') continue;
    if (i + 1 >= in.size()) {
      *why = "a lone % at the end of the line (write %% for a percent sign)";
      return false;
    }
    const char c = in[++i];
    if (c == 'x') {
      if (i + 2 >= in.size() || !isxdigit(static_cast<unsigned char>(in[i + 1])) ||
          !isxdigit(static_cast<unsigned char>(in[i + 2]))) {
        *why = "%x needs two hexadecimal digits";
        return false;
      }
      i += 2;
    } else if (std::string("ntsq%").find(c) == std::string::npos) {
      *why = std::string("unknown escape %") + c;
      return false;
    }
  }
  return true;
}

// Undoes the escapes of a line that CheckEscapes accepted; a malformed
// escape is kept as it stands.
inline std::string Unescape(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '%' || i + 1 >= in.size()) {
      out += in[i];
      continue;
    }
    char c = in[++i];
    switch (c) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 's': out += ' '; break;
      case 'q': out += '"'; break;
      case '%': out += '%'; break;
      case 'x':
        if (i + 2 < in.size() && isxdigit(static_cast<unsigned char>(in[i + 1])) &&
            isxdigit(static_cast<unsigned char>(in[i + 2]))) {
          out += static_cast<char>(strtoul(in.substr(i + 1, 2).c_str(), nullptr, 16));
          i += 2;
          break;
        }
        [[fallthrough]];
      default: out += '%'; out += c; break;
    }
  }
  return out;
}

// The words of a line, split as the platform splits a command line in the
// simple cases: blanks and tabs separate, double quotes group (and go).
inline std::vector<std::string> SplitQuoted(const std::string& line) {
  std::vector<std::string> words;
  std::string current;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) words.push_back(current);
  return words;
}

// Words of a test-file line; quoted words keep their blanks. Escapes are undone.
inline std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words = SplitQuoted(line);
  for (std::string& w : words) w = Unescape(w);
  return words;
}

inline std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

// "key=value" -> value when the word starts with key=.
inline bool Option(const std::string& word, const char* key, std::string* value) {
  std::string prefix = std::string(key) + "=";
  if (word.compare(0, prefix.size(), prefix) != 0) return false;
  *value = word.substr(prefix.size());
  return true;
}

}  // namespace testfiles
