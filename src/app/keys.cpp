// The one table of the words of KEYS. A key's word is read by writing each
// key's word in turn and comparing: one place says how a key is spelled.
#include "app/keys.h"

#include "platform/platform.h"

namespace app {
namespace {

// In the order they are written back.
struct ModifierWord {
  char word[6];
  uint8_t length;
  uint8_t flag;
};
// As packed as their rows, not the ABI's 16 bytes (app/messages.h).
alignas(ModifierWord) constexpr ModifierWord kModifierWords[] = {
    {"Ctrl", 4, plat::HOTKEYF_CONTROL}, {"Alt", 3, plat::HOTKEYF_ALT}, {"Shift", 5, plat::HOTKEYF_SHIFT}};

// The gray keys, by their virtual keys from VK_PRIOR (0x21) to VK_DOWN
// (0x28), then VK_INSERT and VK_DELETE (0x2D, 0x2E).
[[gnu::aligned(1)]] constexpr char kGrayWords[][7] = {"PgUp", "PgDn", "End",   "Home",
                                                     "Left", "Up",   "Right", "Down"};
constexpr char kInsertDelete[][7] = {"Insert", "Delete"};
constexpr uint8_t kPrior = 0x21;
constexpr uint8_t kInsert = 0x2D;
constexpr char kNumpadWord[] = "Num";  // then the digit
constexpr uint8_t kNumpad0 = 0x60;     // VK_NUMPAD0
constexpr uint8_t kF1 = 0x70;          // VK_F1, and on to VK_F24
constexpr uint8_t kFunctionKeys = 24;
// The longest word of a key with its terminator ("Insert").
constexpr size_t kWordSize = 7;

bool IsFunctionKey(uint8_t key) { return key >= kF1 && key < kF1 + kFunctionKeys; }

// The key's word; false (nothing written) for a key that has none.
bool WriteKey(utf8::Builder& b, uint8_t key) {
  if (IsFunctionKey(key)) {
    utf8::AppendChar(b, 'F');
    utf8::AppendDecimal(b, key - kF1 + 1u);
  } else if (key >= kNumpad0 && key <= kNumpad0 + 9) {
    utf8::Append(b, kNumpadWord);
    utf8::AppendChar(b, static_cast<char>('0' + key - kNumpad0));
  } else if (key >= kPrior && key < kPrior + 8) {
    utf8::Append(b, kGrayWords[key - kPrior]);
  } else if (key == kInsert || key == kInsert + 1) {
    utf8::Append(b, kInsertDelete[key - kInsert]);
  } else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    utf8::AppendChar(b, static_cast<char>(key));
  } else {
    return false;
  }
  return true;
}

}  // namespace

uint16_t ReadKeys(const char* text) {
  // The modifiers, each a word and its '+'.
  unsigned modifiers = 0;
  const char* part = text;
  for (const char* before = nullptr; before != part;) {
    before = part;
    for (const ModifierWord& row : kModifierWords) {
      if (!utf8::PrefixMatch(part, row.word, row.length) || part[row.length] != '+') continue;
      if ((modifiers & row.flag) != 0) return 0;
      modifiers |= row.flag;
      part += row.length + 1;
    }
  }
  // Then the key, the rest of the text.
  for (unsigned key = 1; key < 256; ++key) {
    char name[kWordSize];
    utf8::Builder b = utf8::Start(name, sizeof name);
    if (!WriteKey(b, static_cast<uint8_t>(key)) || !utf8::EqualsIgnoreCase(part, name)) continue;
    // Fewer than two modifiers: at most one bit set.
    if (!IsFunctionKey(static_cast<uint8_t>(key)) && (modifiers & (modifiers - 1)) == 0) return 0;
    // The gray keys are extended keys, as the shell's hotkey control says.
    if (key >= kPrior && key <= kInsert + 1) modifiers |= plat::HOTKEYF_EXT;
    return static_cast<uint16_t>(modifiers << 8 | key);
  }
  return 0;
}

void WriteKeys(utf8::Builder& b, uint16_t hotkey) {
  const unsigned flags = hotkey >> 8;
  for (const ModifierWord& row : kModifierWords) {
    if ((flags & row.flag) == 0) continue;
    utf8::Append(b, row.word);
    utf8::AppendChar(b, '+');
  }
  // A key no word names (a shortcut made by hand may hold one) shows none.
  WriteKey(b, static_cast<uint8_t>(hotkey));
}

bool SameKeys(uint16_t a, uint16_t b) {
  constexpr uint16_t kExtended = plat::HOTKEYF_EXT << 8;
  return (a | kExtended) == (b | kExtended);
}

}  // namespace app
