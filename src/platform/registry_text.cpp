#include "platform/registry_text.h"

#include "platform/utf8.h"

namespace plat {
namespace {

// wide holds the value's first min(stored, kRegistryUnits units) bytes, as
// RegQueryValueExW left them. The text is the units up to their first zero;
// it must leave room for a terminator within kRegistryUnits, and so must
// the expansion of an expandable one. Only Ok writes buffer.
RegistryRead TextInUtf8(uint32_t type, WideChar* wide, size_t stored, char* buffer,
                        size_t capacity, size_t* length) {
  if (type != kRegistryString && type != kRegistryExpandString) return RegistryRead::WrongType;
  if (stored > kRegistryUnits * sizeof(WideChar)) return RegistryRead::TooLarge;
  size_t units = 0;
  while (units < stored / sizeof(WideChar) && wide[units] != 0) ++units;
  if (units >= kRegistryUnits) return RegistryRead::TooLarge;  // no room for the terminator
  wide[units] = 0;
  const WideChar* text = wide;
  WideChar expanded[kRegistryUnits];
  if (type == kRegistryExpandString) {
    const uint32_t needed = ExpandEnvironmentStringsW(wide, expanded, kRegistryUnits);
    if (needed == 0 || needed > kRegistryUnits) return RegistryRead::TooLarge;
    expanded[needed - 1] = 0;  // where the call put it; set again, not trusted
    text = expanded;
  }
  *length = WideToUtf8(text, buffer, capacity);  // it always fits whole
  return RegistryRead::Ok;
}

}  // namespace

RegistryRead ReadUserOrMachineText(const char* keyPath, const char* valueName, char* buffer,
                                   size_t capacity, size_t* length) {
  *length = 0;
  if (capacity == 0) return RegistryRead::TooLarge;
  buffer[0] = '\0';
  if (capacity < kRegistryTextSize) return RegistryRead::TooLarge;
  WideChar wide[kRegistryUnits];
  for (int place = 0; place < kRegistryPlaces; ++place) {
    uint32_t type = 0;
    size_t stored = 0;
    const RegistryQuery query = QueryRegistryValue(static_cast<RegistryPlace>(place), keyPath,
                                                   valueName, &type, wide, &stored);
    if (query == RegistryQuery::Absent) continue;
    // The first place that holds the value decides, usable or not.
    if (query == RegistryQuery::TooLarge) return RegistryRead::TooLarge;
    return TextInUtf8(type, wide, stored, buffer, capacity, length);
  }
  return RegistryRead::Missing;
}

}  // namespace plat
