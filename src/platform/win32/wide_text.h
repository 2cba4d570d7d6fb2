// The texts of the Windows layer's two files (platform_win32.cpp and
// shortcuts_win32.cpp) on their way to and from the W calls.
#pragma once

#include <windows.h>

#include <stddef.h>

namespace plat {

// The text in UTF-16, in slot 0 or 1 of two buffers of kBoxTextUnits units
// that the run's own thread shares: valid until that slot's next use; null
// for null. No call needs more than two texts at once.
const WCHAR* Wide(int slot, const char* text);

// A text read from a W call (units of a buffer it terminated) in UTF-8.
size_t Narrow(const WCHAR* wide, char* buffer, size_t capacity);

}  // namespace plat
