// Turns the bytes of a registry value into a text that is safe to use: the
// registry does not promise a terminating zero, nor a text type.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/platform.h"

namespace plat {

inline constexpr uint32_t kRegistryString = 1;          // REG_SZ
inline constexpr uint32_t kRegistryExpandString = 2;    // REG_EXPAND_SZ

// wide holds the value's first min(stored, kRegistryUnits units) bytes, as
// RegQueryValueExW left them; stored is the size in bytes the registry
// reported. The text is the units up to their first zero; it must leave room
// for a terminator within kRegistryUnits. On Ok buffer holds that text in
// UTF-8 and *length its bytes; on anything else buffer holds an empty text.
// A capacity below kRegistryTextSize is TooLarge.
RegistryRead RegistryTextInUtf8(uint32_t type, WideChar* wide, size_t stored, char* buffer,
                                size_t capacity, size_t* length);

}  // namespace plat
