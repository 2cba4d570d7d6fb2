// Turns the bytes of a registry value into a text that is safe to use: the
// registry does not promise a terminating zero, nor a text type.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/platform.h"

namespace plat {

inline constexpr uint32_t kRegistryString = 1;          // REG_SZ
inline constexpr uint32_t kRegistryExpandString = 2;    // REG_EXPAND_SZ

// buffer holds the value's first min(stored, capacity) bytes; stored is the
// size the registry reported. The text is the bytes up to their first zero;
// it must leave room for a terminator within capacity. On anything but Ok
// the buffer is left holding an empty text.
RegistryRead TextFromRegistryValue(uint32_t type, char* buffer, size_t capacity, size_t stored,
                                   size_t* length);

}  // namespace plat
