// Runs one command line of the program against the fake window system.
#pragma once

#include <string>
#include <vector>

#include "app/command.h"
#include "client/windows.h"
#include "fake_windows.h"

namespace testing_support {

// Splits like the platform for the simple cases the tests use: blanks
// separate, double quotes group.
inline std::vector<std::u16string> WideSplit(const std::string& line) {
  std::vector<std::u16string> out;
  std::u16string current;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (any) out.push_back(current);
      current.clear();
      any = false;
    } else {
      current.push_back(static_cast<unsigned char>(c));
      any = true;
    }
  }
  if (any) out.push_back(current);
  return out;
}

// The whole command line as typed, program name first; returns the status.
inline int RunLine(const std::string& line) {
  fake::SetCommandLine(line, WideSplit(line));
  client::g_windows = client::ClientWindows{};
  static char tail[32768];
  std::string t = app::FindTail(line.c_str());
  t.copy(tail, sizeof tail - 1);
  tail[t.size()] = '\0';
  return app::WinMain(tail);
}

inline int RunTail(const std::string& tail) { return RunLine("dowtrane.exe " + tail); }

using Lines = std::vector<std::string>;

}  // namespace testing_support
