// Runs one command line of the program against the fake window system.
#pragma once

#include <string>
#include <vector>

#include "app/command.h"
#include "app/entry.h"
#include "inventory/client_windows.h"
#include "fake_windows.h"
#include "platform/bounded_calls.h"
#include "words.h"

namespace testing_support {

// The wide elements of a command line (in UTF-8), split as the platform
// splits the simple cases the tests use.
inline std::vector<std::u16string> WideSplit(const std::string& line) {
  std::vector<std::u16string> out;
  for (const std::string& word : testfiles::SplitQuoted(line)) out.push_back(fake::Wide(word));
  return out;
}

// The whole command line as typed (in UTF-8), program name first; returns
// the status, also when the program ends its process (out of memory).
inline int RunLine(const std::string& line) {
  fake::SetCommandLine(fake::Wide(line), WideSplit(line));
  inventory::g_clientWindows = inventory::ClientWindows{};
  plat::g_calls = plat::CallsRecord{};
  static char tail[32768];
  std::string t = app::FindTail(line.c_str());
  tail[t.copy(tail, sizeof tail - 1)] = '\0';
  return fake::RunProcess([](void* text) { return app::RunCommandTail(static_cast<char*>(text)); }, tail,
                          nullptr);
}

inline int RunTail(const std::string& tail) { return RunLine("dowtrane.exe " + tail); }

using Lines = std::vector<std::string>;

}  // namespace testing_support
