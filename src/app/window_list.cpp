#include "app/window_commands.h"
#include "app/messages.h"

#include "text/ansi_text.h"
#include "inventory/inventory.h"
#include "app/listing.h"

namespace app {
namespace {

constexpr char kLineEnd[] = "\r\n";  // in a file or a pipe; the box breaks lines at '\n'

// The box shows at most this many lines, then one saying how many more there are.
constexpr size_t kBoxLines = 40;
// Each line with its '\n' or terminator takes at most kListingLineSize.
constexpr size_t kBoxTextSize = (kBoxLines + 1) * app::kListingLineSize;
static_assert(sizeof kMoreStart - 1 + 10 + sizeof kMoreEnd <= app::kListingLineSize,
              "the last line of the box fits");

struct BoxText {
  ansi::Builder builder;
  uint32_t lines;  // all the lines offered, shown or not
};

int AddToBox(const char* line, intptr_t context) {
  BoxText* box = reinterpret_cast<BoxText*>(context);
  if (box->lines < kBoxLines) {
    if (box->lines > 0) ansi::AppendChar(box->builder, '\n');
    ansi::Append(box->builder, line);
  }
  ++box->lines;
  return 1;
}

int WriteLine(const char* line, intptr_t context) {
  bool* written = reinterpret_cast<bool*>(context);
  char out[app::kListingLineSize + sizeof kLineEnd];
  ansi::Builder b = ansi::Start(out, sizeof out);
  ansi::Append(b, line);
  ansi::Append(b, kLineEnd);
  *written = plat::WriteStandardOutput(out, b.length);
  return *written ? 1 : 0;
}

void ShowInBox(const inventory::WindowNode* first) {
  char buffer[kBoxTextSize];
  BoxText box = {ansi::Start(buffer, sizeof buffer), 0};
  app::ListInventory(first, AddToBox, reinterpret_cast<intptr_t>(&box));
  if (box.lines > kBoxLines) {
    ansi::AppendChar(box.builder, '\n');
    ansi::Append(box.builder, kMoreStart);
    ansi::AppendDecimal(box.builder, box.lines - static_cast<uint32_t>(kBoxLines));
    ansi::Append(box.builder, kMoreEnd);
  }
  plat::MessageBoxA(buffer, kListCaption, plat::MB_ICONINFORMATION);
}

}  // namespace

int TellListError(const char* text, int status) {
  if (!plat::StandardOutputIsFileOrPipe()) {
    plat::MessageBoxA(text, kErrorCaption, plat::MB_ICONERROR);
    return status;
  }
  char out[ansi::kBufferSize];
  ansi::Builder b = ansi::Start(out, sizeof out);
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '\n') ansi::AppendChar(b, '\r');
    ansi::AppendChar(b, *p);
  }
  ansi::Append(b, kLineEnd);
  // Nothing else is left to say it with when this fails; the status still tells.
  plat::WriteStandardError(out, b.length);
  return status;
}

int ListWindows() {
  inventory::WindowNode* root = inventory::BuildInventory();
  // No box in a redirected run, for this either.
  if (root == nullptr) return TellListError(kOutOfMemory, kStatusRefused);
  int status = kStatusDone;
  if (plat::StandardOutputIsFileOrPipe()) {
    // Line by line, so that any number of windows is listed.
    bool written = true;
    app::ListInventory(root->next, WriteLine, reinterpret_cast<intptr_t>(&written));
    if (!written) status = TellListError(kWriteFailed, kStatusListCut);
  } else {
    ShowInBox(root->next);
  }
  inventory::FreeWindowTree(root);
  return status;
}

}  // namespace app
