// What ReadUserOrMachineText (platform.h) is built on: the query of one
// place of the registry and the expansion of a text's variables, which the
// Windows layer implements over advapi32 and kernel32 and the native tests
// over the fake's registry and environment. The order of the places, and
// turning the bytes of a value into a text that is safe to use (the
// registry promises neither a terminating zero nor a text type), are
// registry_text.cpp's, the same for both.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/platform.h"

namespace plat {

inline constexpr uint32_t kRegistryString = 1;          // REG_SZ
inline constexpr uint32_t kRegistryExpandString = 2;    // REG_EXPAND_SZ

// Where an installer writes its entry, in the order they are read.
enum class RegistryPlace : int {
  CurrentUser,  // HKEY_CURRENT_USER, whose Software key both views share
  Machine32,    // HKEY_LOCAL_MACHINE in its 32-bit view (KEY_WOW64_32KEY)
  Machine64,    // HKEY_LOCAL_MACHINE in its 64-bit view (KEY_WOW64_64KEY)
};
inline constexpr int kRegistryPlaces = 3;

enum class RegistryQuery {
  Absent,    // no such key, or no such value under it (or neither could be read)
  Read,      // the value's bytes are in wide, *stored of them
  TooLarge,  // the value is there, but more than kRegistryUnits units (ERROR_MORE_DATA)
};
// RegOpenKeyExW(KEY_QUERY_VALUE) of keyPath at place, then RegQueryValueExW
// of valueName into wide, which holds kRegistryUnits units. On Read, *type
// is the value's type and *stored the bytes the call reported.
RegistryQuery QueryRegistryValue(RegistryPlace place, const char* keyPath, const char* valueName,
                                 uint32_t* type, WideChar* wide, size_t* stored);

// ExpandEnvironmentStringsW: text with each %name% of a variable that is set
// replaced by its value (names in any case), into out if the result fits in
// capacity units with its terminator. Returns the units that the result
// takes with its terminator, whether it fitted or not; 0 on failure.
uint32_t ExpandEnvironmentStringsW(const WideChar* text, WideChar* out, uint32_t capacity);

}  // namespace plat
