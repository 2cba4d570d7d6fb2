#include "app/window_list.h"

#include "app/dispatcher.h"
#include "app/messages.h"

#include "text/utf8_text.h"
#include "inventory/inventory.h"
#include "app/listing.h"

namespace app {
namespace {


// The box shows at most this many lines, then one saying how many more there are.
constexpr size_t kBoxLines = 40;
// Each line with its '\n' or terminator takes at most kListingLineSize.
constexpr size_t kBoxTextSize = (kBoxLines + 1) * app::kListingLineSize;
static_assert(sizeof kMoreStart - 1 + 10 + sizeof kMoreEnd <= app::kListingLineSize,
              "the last line of the box fits");
static_assert(kBoxTextSize <= plat::kBoxTextUnits, "the box shows the whole text");

struct BoxText {
  utf8::Builder builder;
  uint32_t lines;  // all the lines offered, shown or not
};

int AddToBox(const char* line, intptr_t context) {
  BoxText* box = reinterpret_cast<BoxText*>(context);
  if (box->lines < kBoxLines) {
    if (box->lines > 0) utf8::AppendChar(box->builder, '\n');
    utf8::Append(box->builder, line);
  }
  ++box->lines;
  return 1;
}

int WriteLine(const char* line, intptr_t context) {
  bool* written = reinterpret_cast<bool*>(context);
  char out[app::kListingLineSize + sizeof kLineEnd];
  utf8::Builder b = utf8::Start(out, sizeof out);
  utf8::Append(b, line);
  utf8::Append(b, kLineEnd);
  *written = plat::WriteStandardOutput(out, b.length);
  return *written ? 1 : 0;
}

void ShowInBox(const inventory::WindowNode* first) {
  char buffer[kBoxTextSize];
  BoxText box = {utf8::Start(buffer, sizeof buffer), 0};
  app::ListInventory(first, AddToBox, reinterpret_cast<intptr_t>(&box));
  if (box.lines > kBoxLines) {
    utf8::AppendChar(box.builder, '\n');
    utf8::Append(box.builder, kMoreStart);
    utf8::AppendDecimal(box.builder, box.lines - static_cast<uint32_t>(kBoxLines));
    utf8::Append(box.builder, kMoreEnd);
  }
  plat::MessageBoxUtf8(buffer, kListCaption, plat::MB_ICONINFORMATION);
}

}  // namespace

int ListWindows() {
  inventory::WindowNode* root = inventory::BuildInventory();
  // No box in a redirected run, for this either.
  if (root == nullptr) return TellError(kOutOfMemory, kStatusRefused);
  int status = kStatusDone;
  if (plat::StandardOutputIsFileOrPipe()) {
    // Line by line, so that any number of windows is listed.
    bool written = true;
    app::ListInventory(root->next, WriteLine, reinterpret_cast<intptr_t>(&written));
    if (!written) status = TellError(kWriteFailed, kStatusListCut);
  } else {
    ShowInBox(root->next);
  }
  inventory::FreeWindowTree(root);
  return status;
}

}  // namespace app
