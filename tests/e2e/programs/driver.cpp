// Runs dowtrane.exe against the test client, case by case, and checks what
// the client's windows received, the message boxes shown, the exit status,
// the windows' states and the programs started.
//
//   driver.exe <dowtrane.exe> <testclient.exe> <recorder.exe> <work dir> <suite>...
//
// A suite file holds scenarios and cases, and may name the ANSI code page
// its cases need:
//   codepage <n>                         the driver runs no case unless the
//                                        ANSI code page is n, and fails
//   scenario <name> [extends <name>]     window lines for the test client
//   window ...                           (see testclient.cpp)
//   end
//   case <name>
//   client <scenario>|none               default: none
//   window ...                           extra windows for this case only
//   hang                                 the client stops reading its queue
//                                        before the first run, until the last
//                                        has ended; the runs start once the
//                                        window system counts it as hung
//   registry user|32|64 client|player sz|expand|sz-noterm|dword|binary <data>
//                                        the uninstall entry, under
//                                        HKEY_CURRENT_USER or in that view of
//                                        HKEY_LOCAL_MACHINE; expand is REG_EXPAND_SZ
//   environment <name> <value>           a variable of dowtrane's environment
//                                        during the case (an expand entry's)
//   program <name>                       a recorder copy at $WORK\<name>
//   run <tail>                           command line "dowtrane.exe <tail>"
//   raw <command line>                   the command line exactly
//     answer ok|cancel                   answers to the boxes, in order
//     box <caption> <text> <kind>        kind: error|warning|information|none ok|okcancel
//     status <n>
//     stdout <line>                      what dowtrane wrote to its standard
//                                        output, line by line, each line ending
//                                        in CR LF; implies "redirect file"
//                                        unless a pipe is asked for
//     stderr <line>                      the same of its standard error, which
//                                        a file takes when there is a redirect
//     after <ms> / within <ms>           dowtrane ran at least / at most this long
//     timeout <ms>                       stop dowtrane after this long (20000)
//   expect <journal line>                the journal, line by line, exactly;
//                                        a line whose data holds line breaks
//                                        stands for several: $(3*x%n) is x,
//                                        x and x
//   state <label> visible|hidden|minimized
//   exstyle <label> <hex>
//   foreground <label>
//   started <image path>|<command line>[|<file>]
//                                        programs started, in order (started.h):
//                                        <file> is the full path of the argument.
//                                        dowtrane runs as a debuggee, and so does
//                                        every program it starts: a recorder copy
//                                        of the case runs and writes its own line;
//                                        any other program is ended at its first
//                                        debug event, before it runs, and the
//                                        driver writes its line
//   dir <path>                           dowtrane's current directory (made when
//                                        missing; default $WORK)
//   exe <folder>                         run a copy of dowtrane.exe put in this
//                                        folder (made when missing; default $WORK)
//   file <path>                          an empty file that exists during the case
//   shortcut <path> <hotkey>             a shortcut to $WORK\recorder.exe with the hotkey
//                                        word (hexadecimal: virtual key in the low byte,
//                                        HOTKEYF_* in the high byte) that exists during
//                                        the case, made with IShellLinkW
//   hold <hotkey>                        the driver holds the keys of the hotkey word
//                                        (RegisterHotKey) during the case
//   link <path> <description>|none       after the last run, the shortcut read back
//                                        with IShellLinkW is <target>|<arguments>|
//                                        <working folder>|<hotkey word, 4 hex digits>,
//                                        or there is no such file
//   redirect file|pipe|closed-pipe       dowtrane's standard output goes to a new
//                                        file or a pipe (default: it has none);
//                                        closed-pipe: one whose reader has closed
//                                        it, so that every write fails
//   show                                 print what happened instead of checking
//   end
// A case may hold several runs, one after the other against the same
// client; the indented lines belong to the run above them (or, before the
// first run, to it), the others to the case, checked after the last run.
// Suite files are UTF-8: paths, command lines, registry texts, box texts
// and started lines are read as UTF-8 and handed to Windows as Unicode, box
// texts and started lines are compared in UTF-8. A text that is not valid
// UTF-8 (bytes written as %xHH, as in the suites for 8-bit programs) is read
// in the ANSI code page instead. Standard output is compared byte for byte.
// In data, $WORK is the work dir, $WINDIR the Windows folder
// (GetSystemWindowsDirectoryW), $(N*text) is N copies of the text and
// $THREAD(<label>) the thread of the client's window with that label, in
// decimal; $PROGRAMS, $DESKTOP, $COMMONPROGRAMS and $PUBLICDESKTOP are the
// user's Start-menu programs, the user's and the public Desktop, the
// all-users Start-menu programs; the escapes of words.h apply. Before each
// case and after it, the files of $PROGRAMS\Dowtrane (dowtrane's bindings)
// are removed. A case without expect lines
// expects an empty journal; without box lines, no box; without started
// lines, no start; with redirect and without stdout or stderr lines, no
// output there. The windows of the client marked "thread=hung"
// (testclient.cpp) count as hung before the first run.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <winternl.h>

#include <stddef.h>

#include <set>

#include "protocol.h"
#include "shortcuts.h"
#include "started.h"
#include "words.h"

namespace {

using protocol::kControlClass;
using protocol::kHangMessage;
using protocol::kHangThreadsMessage;
using protocol::kQuitMessage;
using protocol::kRestackMessage;
using protocol::kSyncMessage;
constexpr DWORD kRunTimeoutMs = 20000;
// How long a hung client stays hung at most, should the driver not release
// it (a benchmark may stop several runs in turn when their time is up).
constexpr DWORD kHangMs = 600000;
// The window system counts a thread as hung after 5 s of not reading its queue.
constexpr DWORD kBecomeHungMs = 15000;

struct RegistryValue {
  std::string place;  // "user", "32" or "64"
  std::string key, type, data;
};

struct Run {
  std::string commandLine;
  std::vector<std::string> answers;
  std::vector<std::string> boxes;
  int status = -1;
  std::vector<std::string> output;
  std::vector<std::string> errors;
  long afterMs = -1, withinMs = -1;
  DWORD timeoutMs = kRunTimeoutMs;
};

struct Case {
  std::string name, file;
  int line = 0;
  std::string scenario = "none";
  std::vector<std::string> extraWindows;
  bool hang = false;
  std::vector<Run> runs;
  std::vector<RegistryValue> registry;
  std::vector<std::pair<std::string, std::string>> environment;
  std::vector<std::string> programs;
  std::vector<std::string> expect;
  std::vector<std::pair<std::string, std::string>> states, exstyles;
  std::string foreground;
  std::vector<std::string> started;
  std::string dir = "$WORK", exeFolder = "$WORK";
  std::vector<std::string> files;
  std::vector<std::pair<std::string, std::string>> shortcuts, links;  // path, hotkey | description
  std::vector<std::string> held;  // hotkey words
  std::string redirect;  // "", "file", "pipe" or "closed-pipe"
  bool show = false;
};

// The run that a run's own lines belong to: the last one.
Run& LastRun(Case* c) {
  if (c->runs.empty()) c->runs.emplace_back();
  return c->runs.back();
}

// A run or raw line starts a run, unless lines of its own came before it.
Run& NewRun(Case* c) {
  if (c->runs.empty() || !c->runs.back().commandLine.empty()) c->runs.emplace_back();
  return c->runs.back();
}

struct Paths {
  std::string dowtrane, client, recorder, work;
};

std::map<std::string, std::vector<std::string>> g_scenarios;
std::map<std::string, std::string> g_scenarioPlaces;  // name -> "file:line"
std::vector<Case> g_cases;
UINT g_codePage = 0;  // the ANSI code page the suites need; 0: any
std::string g_codePagePlace;
Paths g_paths;
// The running client's windows by label, for $THREAD(); null without client.
const std::map<std::string, HWND>* g_clientWindows = nullptr;

std::string ThreadOf(const std::string& label) {
  if (g_clientWindows == nullptr) return "(no client)";
  auto it = g_clientWindows->find(label);
  if (it == g_clientWindows->end()) return "(no window " + label + ")";
  return std::to_string(GetWindowThreadProcessId(it->second, nullptr));
}

std::string Utf8(const std::wstring& w);

const shortcuts::Folder* KnownFolderAt(const std::string& in, size_t i) {
  for (const shortcuts::Folder& folder : shortcuts::kFolders)
    if (in.compare(i, strlen(folder.name), folder.name) == 0) return &folder;
  return nullptr;
}

// The Windows folder, in UTF-8, as dowtrane reads it.
std::string WindowsFolder() {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemWindowsDirectoryW(folder, MAX_PATH);
  return n > 0 && n < MAX_PATH ? Utf8(std::wstring(folder, n)) : "(no Windows folder)";
}

std::string Expand(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size();) {
    if (in.compare(i, 5, "$WORK") == 0) {
      out += g_paths.work;
      i += 5;
    } else if (const shortcuts::Folder* folder = KnownFolderAt(in, i)) {
      out += Utf8(shortcuts::FolderPath(folder->csidl));
      i += strlen(folder->name);
    } else if (in.compare(i, 7, "$WINDIR") == 0) {
      out += WindowsFolder();
      i += 7;
    } else if (in.compare(i, 8, "$THREAD(") == 0 && in.find(')', i) != std::string::npos) {
      size_t close = in.find(')', i);
      out += ThreadOf(in.substr(i + 8, close - i - 8));
      i = close + 1;
    } else if (in.compare(i, 2, "$(") == 0 && in.find(')', i) != std::string::npos) {
      size_t close = in.find(')', i);
      std::string inner = in.substr(i + 2, close - i - 2);
      size_t star = inner.find('*');
      if (star != std::string::npos)
        for (unsigned long n = strtoul(inner.c_str(), nullptr, 10); n > 0; --n)
          out += inner.substr(star + 1);
      i = close + 1;
    } else {
      out += in[i++];
    }
  }
  return out;
}

// The rest of a line after its first word, escapes undone, quotes kept.
std::string Rest(const std::string& line) {
  size_t a = line.find_first_of(" \t");
  if (a == std::string::npos) return "";
  a = line.find_first_not_of(" \t", a);
  return a == std::string::npos ? "" : testfiles::Unescape(line.substr(a));
}

bool Fail(const std::string& file, int line, const std::string& why) {
  fprintf(stderr, "%s:%d: %s\n", file.c_str(), line, why.c_str());
  return false;
}

bool ReadSuite(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return Fail(path, 0, "cannot open");
  char buf[8192];
  int lineNo = 0;
  std::vector<std::string>* scenario = nullptr;
  Case* c = nullptr;
  bool ok = true;
  while (fgets(buf, sizeof buf, f) != nullptr) {
    ++lineNo;
    std::string line = testfiles::Trim(buf);
    if (line.empty() || line[0] == '#') continue;
    std::string why;
    if (!testfiles::CheckEscapes(line, &why)) {
      ok = Fail(path, lineNo, why);
      continue;
    }
    std::vector<std::string> w = testfiles::Words(line);
    const std::string& d = w[0];
    if (scenario != nullptr) {
      if (d == "end") scenario = nullptr;
      else if (d == "window") scenario->push_back(line);
      else ok = Fail(path, lineNo, "unknown scenario line");
      continue;
    }
    if (c == nullptr) {
      const std::string here = path + ":" + std::to_string(lineNo);
      if (d == "scenario" && (w.size() == 2 || (w.size() == 4 && w[2] == "extends"))) {
        if (g_scenarioPlaces.count(w[1]) != 0)
          ok = Fail(path, lineNo, "scenario " + w[1] + " is already defined at " + g_scenarioPlaces[w[1]]);
        g_scenarioPlaces[w[1]] = here;
        scenario = &g_scenarios[w[1]];
        scenario->clear();
        if (w.size() == 4) {
          if (g_scenarios.count(w[3]) == 0) ok = Fail(path, lineNo, "unknown base " + w[3]);
          else *scenario = g_scenarios[w[3]];
        }
      } else if (d == "codepage" && w.size() == 2) {
        const UINT wanted = strtoul(w[1].c_str(), nullptr, 10);
        if (g_codePage != 0 && g_codePage != wanted)
          ok = Fail(path, lineNo, "code page " + w[1] + " besides " + std::to_string(g_codePage) +
                                      " at " + g_codePagePlace);
        g_codePage = wanted;
        g_codePagePlace = here;
      } else if (d == "case" && w.size() == 2) {
        for (const Case& other : g_cases)
          if (other.name == w[1])
            ok = Fail(path, lineNo, "case " + w[1] + " is already defined at " + other.file + ":" +
                                        std::to_string(other.line));
        g_cases.emplace_back();
        c = &g_cases.back();
        c->name = w[1];
        c->file = path;
        c->line = lineNo;
      } else {
        ok = Fail(path, lineNo, "expected scenario or case");
      }
      continue;
    }
    if (d == "end") {
      bool commandless = c->runs.empty();
      for (const Run& r : c->runs) commandless = commandless || r.commandLine.empty();
      if (commandless) ok = Fail(path, lineNo, "case or run without run or raw");
      if (c->scenario != "none" && g_scenarios.count(c->scenario) == 0)
        ok = Fail(path, lineNo, "unknown scenario " + c->scenario);
      c = nullptr;
    } else if (d == "client" && w.size() == 2) {
      c->scenario = w[1];
    } else if (d == "window") {
      c->extraWindows.push_back(line);
    } else if (d == "run") {
      NewRun(c).commandLine = "dowtrane.exe " + Rest(line);
    } else if (d == "raw") {
      NewRun(c).commandLine = Rest(line);
    } else if (d == "answer" && w.size() == 2) {
      LastRun(c).answers.push_back(w[1]);
    } else if (d == "registry" && w.size() >= 4 &&
               (w[1] == "user" || w[1] == "32" || w[1] == "64")) {
      RegistryValue v;
      v.place = w[1];
      v.key = w[2];
      v.type = w[3];
      size_t at = line.find(w[3]) + w[3].size();
      at = line.find_first_not_of(" \t", at);
      v.data = at == std::string::npos ? "" : testfiles::Unescape(line.substr(at));
      c->registry.push_back(v);
    } else if (d == "environment" && w.size() >= 3) {
      const size_t at = line.find_first_not_of(" \t", line.find(w[1], d.size()) + w[1].size());
      c->environment.emplace_back(w[1], testfiles::Unescape(line.substr(at)));
    } else if (d == "program" && w.size() == 2) {
      c->programs.push_back(w[1]);
    } else if (d == "expect") {
      c->expect.push_back(Rest(line));
    } else if (d == "box" && w.size() == 5) {
      LastRun(c).boxes.push_back(w[1] + "|" + w[2] + "|" + w[3] + " " + w[4]);
    } else if (d == "status" && w.size() == 2) {
      LastRun(c).status = atoi(w[1].c_str());
    } else if (d == "state" && w.size() == 3) {
      c->states.emplace_back(w[1], w[2]);
    } else if (d == "exstyle" && w.size() == 3) {
      c->exstyles.emplace_back(w[1], w[2]);
    } else if (d == "foreground" && w.size() == 2) {
      c->foreground = w[1];
    } else if (d == "after" && w.size() == 2) {
      LastRun(c).afterMs = atol(w[1].c_str());
    } else if (d == "within" && w.size() == 2) {
      LastRun(c).withinMs = atol(w[1].c_str());
    } else if (d == "timeout" && w.size() == 2) {
      LastRun(c).timeoutMs = strtoul(w[1].c_str(), nullptr, 10);
    } else if (d == "hang" && w.size() == 1) {
      c->hang = true;
    } else if (d == "show") {
      c->show = true;
    } else if (d == "started") {
      c->started.push_back(Rest(line));
    } else if (d == "dir") {
      c->dir = Rest(line);
    } else if (d == "exe") {
      c->exeFolder = Rest(line);
    } else if (d == "file") {
      c->files.push_back(Rest(line));
    } else if (d == "shortcut" && w.size() == 3) {
      c->shortcuts.emplace_back(w[1], w[2]);
    } else if (d == "hold" && w.size() == 2) {
      c->held.push_back(w[1]);
    } else if (d == "link" && w.size() == 3) {
      c->links.emplace_back(w[1], w[2]);
    } else if (d == "redirect" && w.size() == 2 &&
               (w[1] == "file" || w[1] == "pipe" || w[1] == "closed-pipe")) {
      c->redirect = w[1];
    } else if (d == "stdout") {
      LastRun(c).output.push_back(Rest(line));
      if (c->redirect.empty()) c->redirect = "file";
    } else if (d == "stderr") {
      LastRun(c).errors.push_back(Rest(line));
      if (c->redirect.empty()) c->redirect = "file";
    } else {
      ok = Fail(path, lineNo, "unknown case line: " + line);
    }
  }
  fclose(f);
  if (c != nullptr || scenario != nullptr) ok = Fail(path, lineNo, "missing end");
  return ok;
}

// ---------------------------------------------------------------- texts

bool IsUtf8(const std::string& s) {
  return s.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s.data(),
                                          static_cast<int>(s.size()), nullptr, 0) > 0;
}

// A text of the suites as Windows takes it: UTF-8, or when it is not valid
// UTF-8, bytes of the ANSI code page.
std::wstring Wide(const std::string& s) {
  const UINT from = IsUtf8(s) ? CP_UTF8 : CP_ACP;
  int n = MultiByteToWideChar(from, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(from, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
  return w;
}

std::string Utf8(const std::wstring& w) {
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
  return s;
}

// A text of the suites in UTF-8, to compare with what Windows gave.
std::string AsUtf8(const std::string& s) { return Utf8(Wide(s)); }

// ---------------------------------------------------------------- files

std::string ReadFile(const std::string& path) {
  std::string out;
  FILE* f = _wfopen(Wide(path).c_str(), L"rb");
  if (f == nullptr) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  fclose(f);
  return out;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string l = text.substr(start, end - start);
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
    start = end + 1;
  }
  return lines;
}

bool WriteFile(const std::string& path, const std::string& text) {
  FILE* f = _wfopen(Wide(path).c_str(), L"wb");
  if (f == nullptr) return false;
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
  return true;
}

// Makes the folder and those above it that are missing. Paths are cut at
// their backslashes as Unicode: a byte 0x5C may be half of a character.
bool MakeFolders(const std::string& path) {
  const std::wstring wide = Wide(path);
  for (size_t at = wide.find(L'\\', 3); ; at = wide.find(L'\\', at + 1)) {
    std::wstring part = wide.substr(0, at);
    if (!CreateDirectoryW(part.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
    if (at == std::wstring::npos) return true;
  }
}

std::string FolderOf(const std::string& path) {
  const std::wstring wide = Wide(path);
  size_t slash = wide.find_last_of(L'\\');
  return slash == std::wstring::npos ? "." : Utf8(wide.substr(0, slash));
}

bool CopyTo(const std::string& from, const std::string& to) {
  return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE) != 0;
}

void Delete(const std::string& path) { DeleteFileW(Wide(path).c_str()); }

// What a program wrote, line by line as it ended them with CR LF; other
// line ends show as %r and %n inside a line, and a last line without an
// end is marked.
std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    bool ended = end != std::string::npos;
    if (!ended) end = text.size();
    std::string line;
    for (char ch : text.substr(start, end - start))
      line += ch == '\r' ? std::string("%r") : ch == '\n' ? std::string("%n") : std::string(1, ch);
    lines.push_back(ended ? line : line + " (no line end)");
    start = ended ? end + 2 : end;
  }
  return lines;
}

// ---------------------------------------------------------------- registry

const char* KeyPath(const std::string& which) {
  return which == "client" ? "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quenvale"
                           : "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp";
}

void CleanRegistry() {
  for (const char* which : {"client", "player"}) {
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY})
      RegDeleteKeyExA(HKEY_LOCAL_MACHINE, KeyPath(which), view, 0);
    RegDeleteKeyA(HKEY_CURRENT_USER, KeyPath(which));
  }
}

bool SetRegistry(const RegistryValue& v, std::string* why) {
  HKEY key;
  // The current user's Software key is one for both views.
  const HKEY root = v.place == "user" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  const REGSAM view = v.place == "user" ? 0 : v.place == "64" ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
  if (RegCreateKeyExA(root, KeyPath(v.key), 0, nullptr, 0, KEY_SET_VALUE | view,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    *why = "cannot create registry key";
    return false;
  }
  std::string data = Expand(v.data);
  std::string bytes;
  DWORD type = REG_SZ;
  // Texts as Unicode, as RegSetValueExW stores them.
  const std::wstring text = Wide(data);
  if (v.type == "sz" || v.type == "expand") {
    type = v.type == "sz" ? REG_SZ : REG_EXPAND_SZ;
    bytes.assign(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * sizeof(wchar_t));
  } else if (v.type == "sz-noterm") {
    bytes.assign(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  } else if (v.type == "dword") {
    type = REG_DWORD;
    DWORD d = strtoul(data.c_str(), nullptr, 0);
    bytes.assign(reinterpret_cast<const char*>(&d), sizeof d);
  } else if (v.type == "binary") {
    type = REG_BINARY;
    for (size_t i = 0; i + 1 < data.size(); i += 2)
      bytes += static_cast<char>(strtoul(data.substr(i, 2).c_str(), nullptr, 16));
  } else {
    *why = "unknown registry type " + v.type;
    RegCloseKey(key);
    return false;
  }
  LONG r = RegSetValueExW(key, L"UninstallString", 0, type,
                          reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
  if (r != ERROR_SUCCESS) *why = "cannot set registry value";
  return r == ERROR_SUCCESS;
}

// ---------------------------------------------------------------- boxes

struct BoxSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK FindBoxes(HWND hwnd, LPARAM lp) {
  BoxSearch* s = reinterpret_cast<BoxSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[64];
  if (pid == s->pid && GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0 &&
      IsWindowVisible(hwnd))
    s->found.push_back(hwnd);
  return TRUE;
}

// The icon of a box, told from its pixels on the screen: the error icon is
// mostly red, the warning icon mostly yellow, the information icon blue.
std::string IconKind(HWND box) {
  HWND icon = GetDlgItem(box, 0x440);
  if (icon == nullptr) return "none";
  RECT r;
  GetWindowRect(icon, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return "none";
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  int red = 0, yellow = 0, blue = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      COLORREF c = GetPixel(mem, x, y);
      int R = GetRValue(c), G = GetGValue(c), B = GetBValue(c);
      if (R > 160 && G < 90 && B < 90) ++red;
      if (R > 160 && G > 160 && B < 90) ++yellow;
      if (B > 160 && R < 90) ++blue;
    }
  SelectObject(mem, old);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  if (red > 20 && red > yellow) return "error";
  if (yellow > 20) return "warning";
  if (blue > 20) return "information";
  return "unknown";
}

std::string DescribeBox(HWND box) {
  wchar_t caption[512], text[16384];
  GetWindowTextW(box, caption, 512);
  GetDlgItemTextW(box, 0xFFFF, text, 16384);
  std::string kind = "unknown";
  // The box paints itself shortly after it appears.
  for (int i = 0; i < 50 && (kind == "unknown" || kind == "none"); ++i) {
    RedrawWindow(box, nullptr, nullptr, RDW_UPDATENOW);
    kind = IconKind(box);
    if (kind == "unknown" || kind == "none") Sleep(20);
  }
  std::string buttons = GetDlgItem(box, IDCANCEL) != nullptr ? "okcancel" : "ok";
  return Utf8(caption) + "|" + Utf8(text) + "|" + kind + " " + buttons;
}

// ---------------------------------------------------------------- processes

// With ownOutput, the program's standard output is output (inheritable), or
// none when that is null, as when the shell starts it from a shortcut;
// otherwise it gets whatever Wine hands on. flags: creation flags besides.
bool Start(const std::string& exe, const std::string& commandLine, HANDLE job,
           PROCESS_INFORMATION* pi, const std::string& folder, bool ownOutput = false,
           HANDLE output = nullptr, HANDLE errors = nullptr, DWORD flags = 0) {
  std::wstring app = Wide(exe), line = Wide(commandLine), dir = Wide(folder);
  std::vector<wchar_t> mutableLine(line.begin(), line.end());
  mutableLine.push_back(L'\0');
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (ownOutput) {
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output;
    si.hStdError = errors;
  }
  if (!CreateProcessW(app.c_str(), mutableLine.data(), nullptr, nullptr, output != nullptr,
                      CREATE_SUSPENDED | flags, nullptr, dir.c_str(), &si, pi))
    return false;
  if (job != nullptr) AssignProcessToJobObject(job, pi->hProcess);
  ResumeThread(pi->hThread);
  return true;
}

// Wine now and then fails to start a process with an internal error (seen
// while another process, the test client, does not read its queue, and on a
// busy host); a second attempt starts it. Sets *error when all attempts
// failed, and *begin to the time of the attempt that counts.
bool StartWithRetries(const std::string& name, const std::string& exe,
                      const std::string& commandLine, HANDLE job, PROCESS_INFORMATION* pi,
                      const std::string& folder, bool ownOutput, HANDLE output, HANDLE errors,
                      DWORD* error, ULONGLONG* begin, DWORD flags = 0) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) Sleep(100);
    *begin = GetTickCount64();
    if (Start(exe, commandLine, job, pi, folder, ownOutput, output, errors, flags)) {
      if (attempt > 0) fprintf(stderr, "note: %s: started at attempt %d\n", name.c_str(), attempt + 1);
      return true;
    }
    *error = GetLastError();
    if (*error != ERROR_INTERNAL_ERROR) break;
  }
  return false;
}

// ---------------------------------------------------------------- started programs

// The start of RTL_USER_PROCESS_PARAMETERS as Windows lays it out: winternl.h
// names only the last two of these fields, and counts the current directory
// among the reserved ones.
struct ProcessParameters {
  BYTE reserved1[16];
  PVOID reserved2[5];
  UNICODE_STRING currentDirectory;
  HANDLE currentDirectoryHandle;
  UNICODE_STRING dllPath;
  UNICODE_STRING imagePathName;
  UNICODE_STRING commandLine;
};

bool ReadText(HANDLE process, const UNICODE_STRING& text, std::wstring* out) {
  out->assign(text.Length / sizeof(wchar_t), L'\0');
  SIZE_T got = 0;
  return text.Length == 0 || (ReadProcessMemory(process, text.Buffer, &(*out)[0], text.Length, &got) &&
                              got == text.Length);
}

// What a program was started as: the image path it was created from, its
// command line and its current directory, from its process parameters. They
// are read in the driver's own bitness, and a 32-bit driver cannot read a
// 64-bit program's (the Windows folder's shell is one): wine.sh runs the
// 64-bit driver, which reads the 64-bit copy that a 32-bit program has too.
bool ReadStart(HANDLE process, std::wstring* image, std::wstring* line, std::wstring* folder) {
  PROCESS_BASIC_INFORMATION basic = {};
  ULONG size = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &size) != 0 ||
      basic.PebBaseAddress == nullptr)
    return false;
  PVOID where = nullptr;
  ProcessParameters parameters = {};
  SIZE_T got = 0;
  return ReadProcessMemory(process,
                           reinterpret_cast<const BYTE*>(basic.PebBaseAddress) +
                               offsetof(PEB, ProcessParameters),
                           &where, sizeof where, &got) &&
         where != nullptr && ReadProcessMemory(process, where, &parameters, sizeof parameters, &got) &&
         ReadText(process, parameters.imagePathName, image) &&
         ReadText(process, parameters.commandLine, line) &&
         ReadText(process, parameters.currentDirectory, folder);
}

// The full path of the command line's argument as the program would resolve
// it in folder, its current directory (which ends in a backslash): a path
// from a drive or a share as it is, one from the root on the folder's drive,
// any other below the folder. Empty without an argument.
std::wstring FullPathIn(const std::wstring& folder, const std::wstring& line) {
  wchar_t argument[1024];
  started::Argument(line.c_str(), argument, 1024);
  std::wstring path = argument;
  if (path.empty()) return path;
  const bool share = path.compare(0, 2, L"\\\\") == 0;
  const bool fromDrive = path.size() >= 2 && path[1] == L':';
  if (!share && !fromDrive) path = (path[0] == L'\\' ? folder.substr(0, 2) : folder) + path;
  wchar_t full[1024];
  const DWORD n = GetFullPathNameW(path.c_str(), 1024, full, nullptr);
  return n > 0 && n < 1024 ? std::wstring(full, n) : L"";
}

// True when file is one of the case's recorder copies: the same file, not
// merely one of the same name.
bool IsPlanted(HANDLE file, const std::vector<std::string>& planted) {
  BY_HANDLE_FILE_INFORMATION started = {};
  if (file == nullptr || !GetFileInformationByHandle(file, &started)) return false;
  for (const std::string& path : planted) {
    HANDLE copy = CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (copy == INVALID_HANDLE_VALUE) continue;
    BY_HANDLE_FILE_INFORMATION info = {};
    const bool same = GetFileInformationByHandle(copy, &info) &&
                      info.dwVolumeSerialNumber == started.dwVolumeSerialNumber &&
                      info.nFileIndexHigh == started.nFileIndexHigh &&
                      info.nFileIndexLow == started.nFileIndexLow;
    CloseHandle(copy);
    if (same) return true;
  }
  return false;
}

// One run of dowtrane as its debugger sees it. Debug events go to the thread
// that started the debuggee, so a thread of its own starts dowtrane and
// answers each event at once, whatever the driver's thread is waiting for (a
// debuggee held at an event would not answer the messages that read its
// boxes).
struct Watch {
  std::string name, exe, commandLine, folder;
  HANDLE job = nullptr, output = nullptr, errors = nullptr;
  std::wstring log;                  // the record of started programs
  std::vector<std::string> planted;  // the case's recorder copies
  HANDLE ready = nullptr;            // set once the start has been tried
  volatile LONG stop = 0;            // set: the run is over, whatever is left
  // Set before ready.
  bool started = false;
  PROCESS_INFORMATION pi = {};
  DWORD error = 0;
  ULONGLONG begin = 0;
  std::string failures;  // read once the thread has ended
};

// The exception code of the breakpoint at which a 32-bit program's own
// loader stops for a 64-bit debugger (STATUS_WX86_BREAKPOINT).
constexpr DWORD kWow64Breakpoint = 0x4000001F;

// Writes the line of a program that the run started and the driver ends.
void RecordEnded(Watch* w, HANDLE process) {
  std::wstring image, line, folder;
  if (!ReadStart(process, &image, &line, &folder)) {
    wchar_t path[1024];
    DWORD n = 1024;
    image = QueryFullProcessImageNameW(process, 0, path, &n) ? std::wstring(path, n) : L"?";
    line = L"(the driver could not read its command line)";
  }
  if (!started::AppendLine(w->log.c_str(), image.c_str(), line.c_str(),
                           FullPathIn(folder, line).c_str()))
    w->failures += "    cannot write the record of started programs\n";
}

DWORD WINAPI WatchRun(LPVOID context) {
  Watch* w = static_cast<Watch*>(context);
  w->started = StartWithRetries(w->name, w->exe, w->commandLine, w->job, &w->pi, w->folder, true,
                                w->output, w->errors, &w->error, &w->begin, DEBUG_PROCESS);
  SetEvent(w->ready);
  if (!w->started) return 0;
  std::set<DWORD> running;  // debuggees between their first and their last event
  bool ended = false;       // dowtrane's last event has come
  while (!(ended && running.empty()) && w->stop == 0) {
    DEBUG_EVENT e;
    if (!WaitForDebugEvent(&e, 100)) continue;
    DWORD reply = DBG_CONTINUE;
    switch (e.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT: {
        const CREATE_PROCESS_DEBUG_INFO& info = e.u.CreateProcessInfo;
        running.insert(e.dwProcessId);
        // Nothing of the program has run yet.
        if (e.dwProcessId != w->pi.dwProcessId && !IsPlanted(info.hFile, w->planted)) {
          RecordEnded(w, info.hProcess);
          TerminateProcess(info.hProcess, 9);
        }
        if (info.hFile != nullptr) CloseHandle(info.hFile);
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        // Also of a program that failed before its first event.
        running.erase(e.dwProcessId);
        ended = ended || e.dwProcessId == w->pi.dwProcessId;
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (e.u.LoadDll.hFile != nullptr) CloseHandle(e.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT: {
        // The loaders' breakpoints are the debugger's (the programs have none
        // of their own); any other exception is the program's to handle.
        const DWORD code = e.u.Exception.ExceptionRecord.ExceptionCode;
        if (code != EXCEPTION_BREAKPOINT && code != kWow64Breakpoint) reply = DBG_EXCEPTION_NOT_HANDLED;
        break;
      }
      default:
        break;
    }
    ContinueDebugEvent(e.dwProcessId, e.dwThreadId, reply);
  }
  // A debuggee that is left ends with this thread.
  return 0;
}

struct Client {
  PROCESS_INFORMATION pi = {};
  HWND control = nullptr;
  std::map<std::string, HWND> windows;
};

std::string LabelOf(const Client& client, HWND h);

// The client's "<label> <handle>" lines, rewritten when it opens windows.
void ReadMap(Client* client) {
  for (const std::string& l : Lines(ReadFile(g_paths.work + "\\map.txt"))) {
    char label[256];
    unsigned long long handle;
    if (sscanf(l.c_str(), "%255s %llx", label, &handle) == 2)
      client->windows[label] = reinterpret_cast<HWND>(static_cast<UINT_PTR>(handle));
  }
}

// Waits until the window system counts the thread of the window as hung.
bool AwaitHung(HWND window, const std::string& what, std::string* why) {
  for (DWORD waited = 0; waited < kBecomeHungMs; waited += 100) {
    if (IsHungAppWindow(window)) return true;
    Sleep(100);
  }
  *why = what + " did not count as hung within " + std::to_string(kBecomeHungMs) + " ms";
  return false;
}

bool StartClient(const Case& c, const std::string& token, Client* client, std::string* why) {
  std::string scenario;
  for (const std::string& l : g_scenarios[c.scenario]) scenario += Expand(l) + "\n";
  for (const std::string& l : c.extraWindows) scenario += Expand(l) + "\n";
  std::string dir = g_paths.work + "\\";
  if (!WriteFile(dir + "scenario.txt", scenario)) {
    *why = "cannot write the scenario";
    return false;
  }
  Delete(dir + "journal.txt");
  Delete(dir + "map.txt");
  std::string line = "\"" + g_paths.client + "\" \"" + dir + "scenario.txt\" \"" + dir +
                     "journal.txt\" \"" + dir + "map.txt\" " + token;
  DWORD error = 0;
  ULONGLONG begin = 0;
  if (!StartWithRetries(c.name + ": the test client", g_paths.client, line, nullptr, &client->pi,
                        g_paths.work, false, nullptr, nullptr, &error, &begin)) {
    *why = "cannot start the test client (error " + std::to_string(error) + ")";
    return false;
  }
  for (int i = 0; i < 1000 && client->control == nullptr; ++i) {
    client->control = FindWindowExA(HWND_MESSAGE, nullptr, kControlClass, token.c_str());
    if (client->control == nullptr) {
      if (WaitForSingleObject(client->pi.hProcess, 10) == WAIT_OBJECT_0) break;
    }
  }
  if (client->control == nullptr) {
    *why = "the test client did not get ready";
    return false;
  }
  ReadMap(client);
  // The cases rely on the stacking order of the scenario: the visible
  // top-level windows, first listed on top. The window system may still
  // move a window just after start; have the client restack until it holds.
  std::vector<HWND> wanted;
  std::vector<std::string> hungThreads;  // labels
  std::vector<std::string> all = g_scenarios[c.scenario];
  all.insert(all.end(), c.extraWindows.begin(), c.extraWindows.end());
  for (const std::string& l : all) {
    std::vector<std::string> w = testfiles::Words(l);
    bool shownTopLevel = true;
    for (const std::string& word : w)
      if (word.compare(0, 7, "parent=") == 0 || word == "later" || word == "hidden")
        shownTopLevel = false;
    auto it = client->windows.find(w.size() > 1 ? w[1] : "");
    if (shownTopLevel && it != client->windows.end()) wanted.push_back(it->second);
    if (std::find(w.begin(), w.end(), "thread=hung") != w.end()) hungThreads.push_back(w[1]);
  }
  auto order = [&wanted] {
    std::vector<HWND> seen;
    for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
      if (std::find(wanted.begin(), wanted.end(), h) != wanted.end()) seen.push_back(h);
    return seen;
  };
  // The order must hold at two readings in a row, 30 ms apart.
  int held = 0, restacks = 0;
  for (int attempt = 0; attempt < 40 && held < 2; ++attempt) {
    if (attempt > 0) Sleep(30);
    if (order() == wanted) {
      ++held;
      continue;
    }
    held = 0;
    ++restacks;
    DWORD_PTR r = 0;
    SendMessageTimeoutA(client->control, kRestackMessage, 0, 0, SMTO_NORMAL, 5000, &r);
  }
  if (held == 2 && restacks > 0)
    fprintf(stderr, "note: %s: the client's windows were restacked\n", c.name.c_str());
  // Those threads stop reading only once their windows are in place: nothing
  // restacks them after.
  if (held == 2 && !hungThreads.empty()) {
    PostMessageA(client->control, kHangThreadsMessage, 0, 0);
    for (const std::string& label : hungThreads)
      if (!AwaitHung(client->windows.count(label) ? client->windows[label] : nullptr,
                     "the window " + label, why))
        return false;
    if (order() != wanted) held = 0;
  }
  if (held == 2) return true;
  std::string seen;
  for (HWND h = GetTopWindow(nullptr); h != nullptr; h = GetWindow(h, GW_HWNDNEXT))
    if (std::find(wanted.begin(), wanted.end(), h) != wanted.end()) seen += " " + LabelOf(*client, h);
  *why = "the client's windows are not stacked as listed:" + seen;
  return false;
}

void StopClient(Client* client) {
  if (client->pi.hProcess == nullptr) return;
  if (client->control != nullptr) PostMessageA(client->control, kQuitMessage, 0, 0);
  if (WaitForSingleObject(client->pi.hProcess, 5000) != WAIT_OBJECT_0)
    TerminateProcess(client->pi.hProcess, 9);
  WaitForSingleObject(client->pi.hProcess, 5000);
  CloseHandle(client->pi.hProcess);
  CloseHandle(client->pi.hThread);
  client->pi = {};
}

std::string WindowState(HWND h) {
  if (!IsWindow(h)) return "gone";
  // The window's own flags: a child of a hidden window keeps WS_VISIBLE.
  LONG style = GetWindowLongA(h, GWL_STYLE);
  if (style & WS_MINIMIZE) return "minimized";
  return (style & WS_VISIBLE) ? "visible" : "hidden";
}

std::string LabelOf(const Client& client, HWND h) {
  for (const auto& [label, hwnd] : client.windows)
    if (hwnd == h) return label;
  wchar_t cls[128] = L"", title[128] = L"";
  GetClassNameW(h, cls, 128);
  GetWindowTextW(h, title, 128);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return "a window of class \"" + Utf8(cls) + "\" titled \"" + Utf8(title) + "\"" +
         (pid == client.pi.dwProcessId ? " of the client" : " of another process");
}

std::string Numbered(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += "      " + l + "\n";
  return out.empty() ? "      (nothing)\n" : out;
}

// The journal lines that the expect lines stand for.
std::vector<std::string> JournalLines(const std::vector<std::string>& expect) {
  std::vector<std::string> lines;
  for (const std::string& e : expect) {
    const std::string all = Expand(e);
    size_t start = 0;
    for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(all.substr(start, end - start));
    if (start < all.size() || all.empty()) lines.push_back(all.substr(start));
  }
  return lines;
}

// With asText, the lines wanted are texts compared in UTF-8 (see the top);
// otherwise bytes.
void CompareLists(const char* what, std::vector<std::string> want,
                  const std::vector<std::string>& got, std::string* failures, bool asText = true) {
  for (std::string& w : want) w = asText ? AsUtf8(Expand(w)) : Expand(w);
  if (want == got) return;
  *failures += std::string("    ") + what + " expected:\n" + Numbered(want) + "    got:\n" +
               Numbered(got);
}

// Waits until every process of the job has ended (dowtrane and what it
// started), or the time is up.
void WaitForJob(HANDLE job, DWORD ms) {
  for (DWORD waited = 0; waited < ms; waited += 10) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info = {};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &info, sizeof info,
                                   nullptr))
      return;
    if (info.ActiveProcesses == 0) return;
    Sleep(10);
  }
}

// What one run of dowtrane did.
struct Outcome {
  std::vector<std::string> boxes;
  DWORD status = 0;
  ULONGLONG wallMs = 0;
  bool ended = true;    // false: stopped when its time was up
  std::string written;  // to its standard output
  std::string errors;   // to its standard error
};

// Runs dowtrane once, from runDir, answering its boxes; with the case's
// standard output.
Outcome RunDowtrane(const Case& c, const Run& run, const std::string& exe,
                    const std::string& runDir, const std::string& startedLog,
                    std::string* failures) {
  Outcome out;
  // The standard output: a new file, or a pipe read while dowtrane runs.
  const std::string outputFile = g_paths.work + "\\stdout.txt";
  const std::string errorFile = g_paths.work + "\\stderr.txt";
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE output = nullptr, pipeEnd = nullptr, errors = nullptr;
  if (!c.redirect.empty()) {
    errors = CreateFileW(Wide(errorFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (errors == INVALID_HANDLE_VALUE) {
      *failures += "    cannot make " + errorFile + "\n";
      return out;
    }
  }
  if (c.redirect == "file") {
    output = CreateFileW(Wide(outputFile).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
      output = nullptr;
      *failures += "    cannot make " + outputFile + "\n";
      return out;
    }
  } else if (c.redirect == "pipe" || c.redirect == "closed-pipe") {
    if (!CreatePipe(&pipeEnd, &output, &inherited, 0)) {
      *failures += "    cannot make a pipe\n";
      CloseHandle(errors);
      return out;
    }
    SetHandleInformation(pipeEnd, HANDLE_FLAG_INHERIT, 0);
    if (c.redirect == "closed-pipe") {
      CloseHandle(pipeEnd);
      pipeEnd = nullptr;
    }
  }
  auto drainPipe = [&] {
    DWORD available = 0;
    char buf[4096];
    while (pipeEnd != nullptr && PeekNamedPipe(pipeEnd, nullptr, 0, nullptr, &available, nullptr) &&
           available > 0) {
      DWORD got = 0;
      if (!::ReadFile(pipeEnd, buf, sizeof buf, &got, nullptr) || got == 0) break;
      out.written.append(buf, got);
    }
  };

  HANDLE job = CreateJobObjectA(nullptr, nullptr);
  Watch watch;
  watch.name = c.name + ": dowtrane";
  watch.exe = exe;
  watch.commandLine = Expand(run.commandLine);
  watch.folder = runDir;
  watch.job = job;
  watch.output = output;
  watch.errors = errors;
  watch.log = Wide(startedLog);
  for (const std::string& p : c.programs) watch.planted.push_back(g_paths.work + "\\" + p);
  watch.ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE watcher =
      watch.ready != nullptr ? CreateThread(nullptr, 0, WatchRun, &watch, 0, nullptr) : nullptr;
  if (watcher != nullptr) WaitForSingleObject(watch.ready, INFINITE);
  PROCESS_INFORMATION& pi = watch.pi;
  const ULONGLONG begin = watch.begin;
  // Only dowtrane holds the writing end now: the pipe ends when it does.
  if (output != nullptr) CloseHandle(output);
  if (errors != nullptr) CloseHandle(errors);
  if (watcher == nullptr) {
    *failures += "    cannot start the thread that watches dowtrane\n";
  } else if (!watch.started) {
    *failures += "    cannot start dowtrane (error " + std::to_string(watch.error) + ")\n";
  } else {
    std::vector<HWND> answered;
    size_t nextAnswer = 0;
    for (;;) {
      const bool ended = WaitForSingleObject(pi.hProcess, 10) == WAIT_OBJECT_0;
      drainPipe();
      if (ended) break;
      if (GetTickCount64() - begin > run.timeoutMs) {
        out.ended = false;
        TerminateJobObject(job, 9);
        WaitForSingleObject(pi.hProcess, 5000);
        break;
      }
      BoxSearch search = {pi.dwProcessId, {}};
      EnumWindows(FindBoxes, reinterpret_cast<LPARAM>(&search));
      for (HWND box : search.found) {
        if (std::find(answered.begin(), answered.end(), box) != answered.end()) continue;
        answered.push_back(box);
        out.boxes.push_back(DescribeBox(box));
        std::string answer = nextAnswer < run.answers.size() ? run.answers[nextAnswer++] : "ok";
        int id = answer == "cancel" ? IDCANCEL : IDOK;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(box, id)), SMTO_NORMAL, 5000, &ignored);
      }
    }
    GetExitCodeProcess(pi.hProcess, &out.status);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
  }
  out.wallMs = GetTickCount64() - begin;
  // Programs that dowtrane started run on in the job: let them end.
  WaitForJob(job, 5000);
  TerminateJobObject(job, 9);
  CloseHandle(job);
  if (watcher != nullptr) {
    // Its last events come as the job's processes end.
    if (WaitForSingleObject(watcher, 5000) != WAIT_OBJECT_0) {
      InterlockedExchange(&watch.stop, 1);
      WaitForSingleObject(watcher, INFINITE);
      *failures += "    the debug events of the run did not end\n";
    }
    CloseHandle(watcher);
    *failures += watch.failures;
  }
  if (watch.ready != nullptr) CloseHandle(watch.ready);
  drainPipe();
  if (pipeEnd != nullptr) CloseHandle(pipeEnd);
  if (c.redirect == "file") out.written = ReadFile(outputFile);
  Delete(outputFile);
  if (!c.redirect.empty()) out.errors = ReadFile(errorFile);
  Delete(errorFile);
  return out;
}

void CheckRun(const Case& c, const Run& run, const Outcome& out, const std::string& prefix,
              std::string* failures) {
  const std::string took = std::to_string(out.wallMs) + " ms";
  if (!out.ended) *failures += "    " + prefix + "dowtrane did not end in time (" + took + ")\n";
  if (run.afterMs >= 0 && out.wallMs < static_cast<ULONGLONG>(run.afterMs))
    *failures += "    " + prefix + "ended after " + took + ", before " + std::to_string(run.afterMs) + " ms\n";
  if (run.withinMs >= 0 && out.wallMs > static_cast<ULONGLONG>(run.withinMs))
    *failures += "    " + prefix + "ended after " + took + ", later than " + std::to_string(run.withinMs) + " ms\n";
  if (run.status >= 0 && static_cast<int>(out.status) != run.status)
    *failures += "    " + prefix + "status expected " + std::to_string(run.status) + ", got " +
                 std::to_string(static_cast<int>(out.status)) + "\n";
  CompareLists((prefix + "boxes").c_str(), run.boxes, out.boxes, failures);
  if (!c.redirect.empty()) {
    CompareLists((prefix + "standard output").c_str(), run.output, CrLfLines(out.written), failures,
                 false);
    CompareLists((prefix + "standard error").c_str(), run.errors, CrLfLines(out.errors), failures);
  }
}

// Has the client stop reading its queue, and waits until the window system
// counts it as hung.
bool Hang(const Client& client, std::string* why) {
  PostMessageA(client.control, kHangMessage, kHangMs, 0);
  return AwaitHung(client.control, "the client", why);
}

bool RunCase(const Case& c, int index) {
  std::string failures;
  const std::string dir = g_paths.work + "\\";
  const std::string startedLog = dir + "started.txt";
  Delete(startedLog);
  CleanRegistry();
  for (const RegistryValue& v : c.registry) {
    std::string why;
    if (!SetRegistry(v, &why)) failures += "    " + why + "\n";
  }
  for (const std::string& p : c.programs)
    if (!MakeFolders(FolderOf(dir + p)) || !CopyTo(g_paths.recorder, dir + p))
      failures += "    cannot copy the recorder to " + p + "\n";
  const std::string runDir = Expand(c.dir);
  const std::string exe = Expand(c.exeFolder) + "\\dowtrane.exe";
  const bool ownCopy = lstrcmpiW(Wide(exe).c_str(), Wide(dir + "dowtrane.exe").c_str()) != 0;
  if (!MakeFolders(runDir)) failures += "    cannot make the folder " + runDir + "\n";
  if (ownCopy && (!MakeFolders(FolderOf(exe)) || !CopyTo(dir + "dowtrane.exe", exe)))
    failures += "    cannot copy dowtrane.exe to " + exe + "\n";
  for (const std::string& f : c.files)
    if (!MakeFolders(FolderOf(Expand(f))) || !WriteFile(Expand(f), ""))
      failures += "    cannot make the file " + Expand(f) + "\n";
  const std::wstring bindings = Wide(Expand("$PROGRAMS\\Dowtrane"));
  shortcuts::EmptyFolder(bindings);
  for (const auto& [path, hotkey] : c.shortcuts)
    if (!MakeFolders(FolderOf(Expand(path))) ||
        !shortcuts::Make(Wide(Expand(path)), Wide(g_paths.recorder),
                         static_cast<WORD>(strtoul(hotkey.c_str(), nullptr, 16))))
      failures += "    cannot make the shortcut " + Expand(path) + "\n";
  for (size_t i = 0; i < c.held.size(); ++i)
    if (!shortcuts::Hold(static_cast<int>(i + 1), static_cast<WORD>(strtoul(c.held[i].c_str(), nullptr, 16))))
      failures += "    cannot hold the keys " + c.held[i] + "\n";

  Client client;
  HANDLE release = nullptr;  // set, it ends the client's stalls
  if (c.scenario != "none") {
    std::string why;
    char token[64];
    snprintf(token, sizeof token, "dowtrane-test-%lu-%d", GetCurrentProcessId(), index);
    if (!StartClient(c, token, &client, &why)) failures += "    " + why + "\n";
    g_clientWindows = &client.windows;
    release = OpenEventA(EVENT_MODIFY_STATE, FALSE, (std::string(token) + "-release").c_str());
    if (failures.empty() && release == nullptr)
      failures += "    cannot open the client's release event\n";
  }

  SetEnvironmentVariableA("DOWTRANE_TEST_STARTED", startedLog.c_str());
  for (const auto& [name, value] : c.environment)
    SetEnvironmentVariableW(Wide(name).c_str(), Wide(Expand(value)).c_str());

  // The client's stalls last no longer than each run (for a hung client,
  // than the last run).
  std::vector<Outcome> outcomes;
  if (release != nullptr) ResetEvent(release);
  if (failures.empty() && c.hang) {
    std::string why;
    if (!Hang(client, &why)) failures += "    " + why + "\n";
  }
  for (size_t i = 0; i < c.runs.size() && failures.empty(); ++i) {
    if (release != nullptr && !c.hang) ResetEvent(release);
    outcomes.push_back(RunDowtrane(c, c.runs[i], exe, runDir, startedLog, &failures));
    if (release != nullptr && !c.hang) SetEvent(release);
  }
  if (release != nullptr) {
    SetEvent(release);
    CloseHandle(release);
  }
  for (const std::string& f : c.files) Delete(Expand(f));
  for (const auto& variable : c.environment)
    SetEnvironmentVariableW(Wide(variable.first).c_str(), nullptr);
  if (ownCopy) Delete(exe);
  for (const auto& [path, want] : c.links) {
    const std::string got = Utf8(shortcuts::Describe(Wide(Expand(path))));
    if (got != AsUtf8(Expand(want)))
      failures += "    shortcut " + Expand(path) + ": expected " + Expand(want) + ", got " + got + "\n";
  }
  for (const auto& shortcut : c.shortcuts) Delete(Expand(shortcut.first));
  for (size_t i = 0; i < c.held.size(); ++i) UnregisterHotKey(nullptr, static_cast<int>(i + 1));
  shortcuts::EmptyFolder(bindings);

  if (c.show) {
    for (size_t i = 0; i < outcomes.size(); ++i) {
      const Outcome& o = outcomes[i];
      printf("command line: %s\n", c.runs[i].commandLine.c_str());
      for (const std::string& b : o.boxes) printf("message box: %s\n", b.c_str());
      if (!c.redirect.empty()) {
        printf("standard output (%s):%s\n", c.redirect.c_str(), o.written.empty() ? " nothing" : "");
        for (const std::string& l : CrLfLines(o.written)) printf("  %s\n", l.c_str());
        printf("standard error:%s\n", o.errors.empty() ? " nothing" : "");
        for (const std::string& l : CrLfLines(o.errors)) printf("  %s\n", l.c_str());
      }
      printf("exit status: %d (%llu ms)%s\n", static_cast<int>(o.status), o.wallMs,
             o.ended ? "" : ", stopped: it did not end in time");
    }
    if (client.control != nullptr) {
      DWORD_PTR r = 0;
      SendMessageTimeoutA(client.control, kSyncMessage, 0, 0, SMTO_NORMAL, 5000, &r);
      std::vector<std::string> journal = Lines(ReadFile(dir + "journal.txt"));
      printf("the client received:%s\n", journal.empty() ? " nothing" : "");
      for (const std::string& l : journal) printf("  %s\n", l.c_str());
    }
    for (const std::string& l : Lines(ReadFile(startedLog))) printf("started: %s\n", l.c_str());
    if (!failures.empty()) printf("the case could not run as written:\n%s", failures.c_str());
    fflush(stdout);
    StopClient(&client);
    g_clientWindows = nullptr;
    return true;
  }
  for (size_t i = 0; i < outcomes.size(); ++i)
    CheckRun(c, c.runs[i], outcomes[i],
             c.runs.size() > 1 ? "run " + std::to_string(i + 1) + ": " : "", &failures);

  // A client that quit during the command has closed its journal.
  bool clientEnded = false, answered = true;
  if (client.control != nullptr) {
    DWORD_PTR r = 0;
    answered = SendMessageTimeoutA(client.control, kSyncMessage, 0, 0, SMTO_NORMAL, 5000, &r) != 0;
    if (!answered) clientEnded = WaitForSingleObject(client.pi.hProcess, 5000) == WAIT_OBJECT_0;
  }
  if (clientEnded) {
    CompareLists("journal", JournalLines(c.expect), Lines(ReadFile(dir + "journal.txt")), &failures);
  } else if (client.control != nullptr) {
    if (!answered) failures += "    the test client does not answer\n";
    ReadMap(&client);
    CompareLists("journal", JournalLines(c.expect), Lines(ReadFile(dir + "journal.txt")), &failures);
    for (const auto& [label, want] : c.states) {
      auto it = client.windows.find(label);
      std::string got = it == client.windows.end() ? "unknown label" : WindowState(it->second);
      if (got != want) failures += "    state of " + label + ": expected " + want + ", got " + got + "\n";
    }
    for (const auto& [label, want] : c.exstyles) {
      auto it = client.windows.find(label);
      char got[32] = "unknown label";
      if (it != client.windows.end())
        snprintf(got, sizeof got, "%lx", static_cast<unsigned long>(GetWindowLongA(it->second, GWL_EXSTYLE)));
      if (want != got) failures += "    exstyle of " + label + ": expected " + want + ", got " + got + "\n";
    }
    if (!c.foreground.empty()) {
      std::string got = LabelOf(client, GetForegroundWindow());
      if (got != c.foreground)
        failures += "    foreground expected " + c.foreground + ", got " + got + "\n";
    }
  } else if (!c.expect.empty() || !c.states.empty() || !c.exstyles.empty()) {
    failures += "    journal or window checks without a client\n";
  }
  CompareLists("started", c.started, Lines(ReadFile(startedLog)), &failures);
  StopClient(&client);
  g_clientWindows = nullptr;
  for (const std::string& p : c.programs) Delete(dir + p);

  ULONGLONG wallMs = 0;
  for (const Outcome& o : outcomes) wallMs += o.wallMs;
  if (failures.empty()) {
    printf("ok   %s (%llu ms)\n", c.name.c_str(), wallMs);
  } else {
    printf("FAIL %s (%s:%d)\n%s", c.name.c_str(), c.file.c_str(), c.line, failures.c_str());
  }
  fflush(stdout);
  return failures.empty();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    fprintf(stderr, "usage: driver <dowtrane.exe> <testclient.exe> <recorder.exe> <work dir> <suite>... [-only name]\n");
    return 100;
  }
  g_paths = {argv[1], argv[2], argv[3], argv[4]};
  std::string only;
  bool ok = true;
  for (int i = 5; i < argc; ++i) {
    if (lstrcmpA(argv[i], "-only") == 0 && i + 1 < argc) {
      only = argv[++i];
      continue;
    }
    ok = ReadSuite(argv[i]) && ok;
  }
  if (!ok) return 100;
  bool onlyFound = only.empty();
  for (const Case& c : g_cases) onlyFound = onlyFound || c.name == only;
  if (!onlyFound) {
    fprintf(stderr, "-only %s: no case of that name in the suites given\n", only.c_str());
    return 100;
  }
  // A suite for a code page must not pass under another one, where its
  // bytes name other characters.
  if (g_codePage != 0) {
    if (GetACP() != g_codePage) {
      fprintf(stderr, "%s: the cases need the ANSI code page %u, and this Wine gives %u\n",
              g_codePagePlace.c_str(), g_codePage, GetACP());
      return 100;
    }
    printf("ANSI code page %u, as %s asks\n", GetACP(), g_codePagePlace.c_str());
  }
  // For the shell's shortcut object.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  CreateDirectoryA(g_paths.work.c_str(), nullptr);
  // dowtrane runs from the work dir, so that the programs it starts by bare
  // name are found there first (the shell searches the program's own folder).
  if (!CopyFileA(g_paths.dowtrane.c_str(), (g_paths.work + "\\dowtrane.exe").c_str(), FALSE)) {
    fprintf(stderr, "cannot copy %s into the work dir\n", g_paths.dowtrane.c_str());
    return 100;
  }
  int failed = 0, run = 0;
  for (size_t i = 0; i < g_cases.size(); ++i) {
    if (!only.empty() && g_cases[i].name != only) continue;
    ++run;
    if (!RunCase(g_cases[i], static_cast<int>(i))) ++failed;
  }
  CleanRegistry();
  printf("%d of %d cases passed\n", run - failed, run);
  return failed > 99 ? 99 : failed;
}
