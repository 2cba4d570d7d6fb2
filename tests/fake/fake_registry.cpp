// The registry side of the fake platform: values are kept as raw bytes, so
// tests can store what a careless installer might.
#include <string.h>

#include "fake_windows.h"
#include "platform/registry_text.h"

namespace fake {
bool LookUpRegistry(const std::string& key, uint32_t* type, std::string* bytes);
}

namespace plat {

RegistryRead ReadMachineText(const char* keyPath, const char* valueName, char* buffer,
                             size_t capacity, size_t* length) {
  *length = 0;
  if (capacity == 0) return RegistryRead::TooLarge;
  buffer[0] = '\0';
  uint32_t type = 0;
  std::string bytes;
  if (!fake::LookUpRegistry(std::string(keyPath) + "|" + valueName, &type, &bytes))
    return RegistryRead::Missing;
  // As RegQueryValueExA: the bytes are copied only when they all fit.
  if (bytes.size() > capacity) return RegistryRead::TooLarge;
  memcpy(buffer, bytes.data(), bytes.size());
  return TextFromRegistryValue(type, buffer, capacity, bytes.size(), length);
}

}  // namespace plat
