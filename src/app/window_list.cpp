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

// In .bss: one list is shown a run.
char g_box[kBoxTextSize];

}  // namespace

void StartLines(Lines& lines) {
  lines = Lines{utf8::Start(g_box, sizeof g_box), 0, plat::StandardOutputIsFileOrPipe(), true};
}

int AddLine(const char* line, intptr_t context) {
  Lines* lines = reinterpret_cast<Lines*>(context);
  if (lines->toOutput) {
    // Line by line, so that any number of lines is written.
    char out[app::kListingLineSize + sizeof kLineEnd];
    utf8::Builder b = utf8::Start(out, sizeof out);
    utf8::Append(b, line);
    utf8::Append(b, kLineEnd);
    lines->written = plat::WriteStandardOutput(out, b.length);
    return lines->written ? 1 : 0;
  }
  if (lines->count < kBoxLines) {
    if (lines->count > 0) utf8::AppendChar(lines->box, '\n');
    utf8::Append(lines->box, line);
  }
  ++lines->count;
  return 1;
}

int EndLines(Lines& lines, const char* caption, const char* moreEnd, const char* writeFailed) {
  if (lines.toOutput) return lines.written ? kStatusDone : TellError(writeFailed, kStatusListCut);
  if (lines.count > kBoxLines) {
    utf8::AppendChar(lines.box, '\n');
    utf8::Append(lines.box, kMoreStart);
    utf8::AppendDecimal(lines.box, lines.count - static_cast<uint32_t>(kBoxLines));
    utf8::Append(lines.box, moreEnd);
  }
  plat::MessageBoxUtf8(g_box, caption, plat::MB_ICONINFORMATION);
  return kStatusDone;
}

int ListWindows() {
  inventory::WindowNode* root = inventory::BuildInventory();
  // No box in a redirected run, for this either.
  if (root == nullptr) return TellError(kOutOfMemory, kStatusRefused);
  Lines lines;
  StartLines(lines);
  app::ListInventory(root->next, AddLine, reinterpret_cast<intptr_t>(&lines));
  const int status = EndLines(lines, kListCaption, kMoreEnd, kWriteFailed);
  inventory::FreeWindowTree(root);
  return status;
}

}  // namespace app
