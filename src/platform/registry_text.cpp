#include "platform/registry_text.h"

namespace plat {

RegistryRead TextFromRegistryValue(uint32_t type, char* buffer, size_t capacity, size_t stored,
                                   size_t* length) {
  *length = 0;
  if (capacity == 0) return RegistryRead::TooLarge;
  RegistryRead result = RegistryRead::Ok;
  size_t n = 0;
  if (type != kRegistryString && type != kRegistryExpandString) {
    result = RegistryRead::WrongType;
  } else if (stored > capacity) {
    result = RegistryRead::TooLarge;
  } else {
    while (n < stored && buffer[n] != '\0') ++n;
    if (n >= capacity) result = RegistryRead::TooLarge;  // no room left for the terminator
  }
  if (result != RegistryRead::Ok) n = 0;
  buffer[n] = '\0';
  *length = n;
  return result;
}

}  // namespace plat
