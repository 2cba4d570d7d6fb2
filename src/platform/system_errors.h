// What SystemErrorText (platform.h) is built on: the system's message for
// an error code, which the Windows layer reads with FormatMessageW and the
// native tests from the fake's table. Trimming it and converting it are
// system_errors.cpp's, the same for both.
#pragma once

#include <stdint.h>

#include "platform/platform.h"

namespace plat {

// FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
// language 0) of error into buffer, which holds capacity units: returns the
// units written without the terminator (the text as the system words it,
// usually with a line end), or 0 when there is no text or it does not fit.
uint32_t FormatSystemMessage(uint32_t error, WideChar* buffer, uint32_t capacity);

}  // namespace plat
