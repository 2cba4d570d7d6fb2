#include "platform/registry_text.h"

#include "platform/utf8.h"

namespace plat {

RegistryRead RegistryTextInUtf8(uint32_t type, WideChar* wide, size_t stored, char* buffer,
                                size_t capacity, size_t* length) {
  *length = 0;
  if (capacity < kRegistryTextSize) return RegistryRead::TooLarge;
  buffer[0] = '\0';
  if (type != kRegistryString && type != kRegistryExpandString) return RegistryRead::WrongType;
  if (stored > kRegistryUnits * sizeof(WideChar)) return RegistryRead::TooLarge;
  size_t units = 0;
  while (units < stored / sizeof(WideChar) && wide[units] != 0) ++units;
  if (units >= kRegistryUnits) return RegistryRead::TooLarge;  // no room for the terminator
  wide[units] = 0;
  *length = WideToUtf8(wide, buffer, capacity);  // it always fits whole
  return RegistryRead::Ok;
}

}  // namespace plat
