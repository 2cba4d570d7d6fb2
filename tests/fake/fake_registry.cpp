// The registry side of the fake platform: values are kept as bytes, so
// tests can store what a careless installer might, at each of the places
// the program reads; and the environment that expands their variables.
#include <string.h>

#include "fake_windows.h"
#include "platform/registry_text.h"

namespace fake {
std::string RegistryName(plat::RegistryPlace place, const std::string& key,
                         const std::string& value);
bool LookUpRegistry(const std::string& name, uint32_t* type, std::string* bytes);
bool LookUpEnvironment(const std::string& name, std::string* value);
}

namespace plat {

RegistryQuery QueryRegistryValue(RegistryPlace place, const char* keyPath, const char* valueName,
                                 uint32_t* type, WideChar* wide, size_t* stored) {
  std::string bytes;
  uint32_t found = 0;
  if (!fake::LookUpRegistry(fake::RegistryName(place, keyPath, valueName), &found, &bytes))
    return RegistryQuery::Absent;
  // A text as the registry keeps it: UTF-16.
  if (found == kRegistryString || found == kRegistryExpandString) {
    std::u16string units;
    for (size_t start = 0;; ++start) {  // zeros and all
      const size_t zero = bytes.find('\0', start);
      units += fake::Wide(bytes.substr(start, zero - start));
      if (zero == std::string::npos) break;
      units += u'\0';
      start = zero;
    }
    bytes.assign(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(WideChar));
  }
  // As RegQueryValueExW: the bytes are copied only when they all fit.
  if (bytes.size() > kRegistryUnits * sizeof(WideChar)) return RegistryQuery::TooLarge;
  memcpy(wide, bytes.data(), bytes.size());
  *type = found;
  *stored = bytes.size();
  return RegistryQuery::Read;
}

uint32_t ExpandEnvironmentStringsW(const WideChar* text, WideChar* out, uint32_t capacity) {
  std::u16string source(text), result;
  for (size_t i = 0; i < source.size();) {
    const size_t close = source[i] == u'%' ? source.find(u'%', i + 1) : std::u16string::npos;
    std::string value;
    if (close != std::u16string::npos && close > i + 1 &&
        fake::LookUpEnvironment(fake::Narrow(source.substr(i + 1, close - i - 1)), &value)) {
      result += fake::Wide(value);
      i = close + 1;
    } else {
      result += source[i++];
    }
  }
  const size_t needed = result.size() + 1;
  if (needed <= capacity) {
    result.copy(out, result.size());
    out[result.size()] = 0;
  }
  return static_cast<uint32_t>(needed);
}

}  // namespace plat
