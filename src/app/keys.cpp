// The one table of the words of KEYS, read and written by the same rows.
#include "app/keys.h"

#include "platform/platform.h"

namespace app {
namespace {

// In the order they are written back.
struct ModifierWord {
  char word[6];
  uint8_t flag;
};
constexpr ModifierWord kModifierWords[] = {
    {"Ctrl", plat::HOTKEYF_CONTROL}, {"Alt", plat::HOTKEYF_ALT}, {"Shift", plat::HOTKEYF_SHIFT}};

// The keys named by a word besides the letters, digits and function keys;
// all are gray keys (HOTKEYF_EXT).
struct KeyWord {
  char word[7];
  uint8_t key;  // virtual key
};
constexpr KeyWord kKeyWords[] = {
    {"PgUp", 0x21}, {"PgDn", 0x22}, {"End", 0x23},    {"Home", 0x24},   {"Left", 0x25},
    {"Up", 0x26},   {"Right", 0x27}, {"Down", 0x28}, {"Insert", 0x2D}, {"Delete", 0x2E},
};
constexpr char kNumpadWord[] = "Num";  // then the digit
constexpr uint8_t kNumpad0 = 0x60;     // VK_NUMPAD0
constexpr uint8_t kF1 = 0x70;          // VK_F1, and on to VK_F24
constexpr uint8_t kFunctionKeys = 24;
// The longest word of KEYS with its terminator ("Insert", "Shift").
constexpr size_t kWordSize = 7;

uint8_t Count(uint8_t flags) { return (flags & 1) + (flags >> 1 & 1) + (flags >> 2 & 1); }

// A function key from its word ("F1" to "F24", no leading zero); 0 if none.
uint8_t FunctionKey(const char* word) {
  if ((word[0] | 0x20) != 'f' || word[1] < '1' || word[1] > '9') return 0;
  unsigned number = static_cast<unsigned>(word[1] - '0');
  if (word[2] != '\0') {
    if (word[2] < '0' || word[2] > '9' || word[3] != '\0') return 0;
    number = number * 10 + static_cast<unsigned>(word[2] - '0');
  }
  return number <= kFunctionKeys ? static_cast<uint8_t>(kF1 + number - 1) : 0;
}

// The hotkey word (key and HOTKEYF_EXT) of a key's word; 0 if none.
uint16_t Key(const char* word) {
  const char c = word[0];
  if (word[1] == '\0') {
    if (c >= '0' && c <= '9') return static_cast<uint8_t>(c);
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') return static_cast<uint8_t>(c & ~0x20);
  }
  for (const KeyWord& row : kKeyWords)
    if (utf8::EqualsIgnoreCase(word, row.word)) return static_cast<uint16_t>(plat::HOTKEYF_EXT << 8 | row.key);
  if (utf8::PrefixMatch(word, kNumpadWord, sizeof kNumpadWord - 1) && word[3] >= '0' &&
      word[3] <= '9' && word[4] == '\0')
    return static_cast<uint8_t>(kNumpad0 + word[3] - '0');
  return FunctionKey(word);
}

}  // namespace

uint16_t ReadKeys(const char* text) {
  uint8_t modifiers = 0;
  for (const char* part = text;;) {
    // One word up to the next '+' or the end.
    char word[kWordSize];
    size_t length = 0;
    while (part[length] != '\0' && part[length] != '+') {
      if (length + 1 >= sizeof word) return 0;
      word[length] = part[length];
      ++length;
    }
    word[length] = '\0';
    if (part[length] == '\0') {
      const uint16_t key = Key(word);
      const uint8_t virtualKey = key & 0xFFu;
      const bool functionKey = virtualKey >= kF1 && virtualKey < kF1 + kFunctionKeys;
      if (key == 0 || (!functionKey && Count(modifiers) < 2)) return 0;
      return static_cast<uint16_t>(key | modifiers << 8);
    }
    uint8_t flag = 0;
    for (const ModifierWord& row : kModifierWords)
      if (utf8::EqualsIgnoreCase(word, row.word)) flag = row.flag;
    if (flag == 0 || (modifiers & flag) != 0) return 0;
    modifiers = static_cast<uint8_t>(modifiers | flag);
    part += length + 1;
  }
}

void WriteKeys(utf8::Builder& b, uint16_t hotkey) {
  const unsigned flags = hotkey >> 8;
  for (const ModifierWord& row : kModifierWords) {
    if ((flags & row.flag) == 0) continue;
    utf8::Append(b, row.word);
    utf8::AppendChar(b, '+');
  }
  const uint8_t key = hotkey & 0xFFu;
  if (key >= kF1 && key < kF1 + kFunctionKeys) {
    utf8::AppendChar(b, 'F');
    utf8::AppendDecimal(b, key - kF1 + 1u);
    return;
  }
  if (key >= kNumpad0 && key <= kNumpad0 + 9) {
    utf8::Append(b, kNumpadWord);
    utf8::AppendChar(b, static_cast<char>('0' + key - kNumpad0));
    return;
  }
  for (const KeyWord& row : kKeyWords)
    if (row.key == key) {
      utf8::Append(b, row.word);
      return;
    }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
    utf8::AppendChar(b, static_cast<char>(key));
    return;
  }
  // A key no word names, as a shortcut made elsewhere may hold: its number.
  utf8::AppendChar(b, '#');
  utf8::AppendDecimal(b, key);
}

bool SameKeys(uint16_t a, uint16_t b) {
  constexpr uint16_t kExtended = plat::HOTKEYF_EXT << 8;
  return (a | kExtended) == (b | kExtended);
}

}  // namespace app
