// The registry side of the fake platform: values are kept as bytes, so
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
  // A text as the registry keeps it: UTF-16.
  if (type == kRegistryString || type == kRegistryExpandString) {
    std::u16string wide;
    for (size_t start = 0;; ++start) {  // zeros and all
      const size_t zero = bytes.find('\0', start);
      wide += fake::Wide(bytes.substr(start, zero - start));
      if (zero == std::string::npos) break;
      wide += u'\0';
      start = zero;
    }
    bytes.assign(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(WideChar));
  }
  // As RegQueryValueExW: the bytes are copied only when they all fit.
  WideChar value[kRegistryUnits];
  if (bytes.size() > sizeof value) return RegistryRead::TooLarge;
  memcpy(value, bytes.data(), bytes.size());
  return RegistryTextInUtf8(type, value, bytes.size(), buffer, capacity, length);
}

}  // namespace plat
