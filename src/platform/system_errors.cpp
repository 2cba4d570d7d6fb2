#include "platform/system_errors.h"

#include "platform/utf8.h"

namespace plat {

uint32_t ShellExecuteError(intptr_t result) {
  if (result > 32) return 0;
  switch (result) {
    case 0: return 8;       // out of memory or resources: ERROR_NOT_ENOUGH_MEMORY
    case 26: return 32;     // SE_ERR_SHARE: ERROR_SHARING_VIOLATION
    case 27:                // SE_ERR_ASSOCINCOMPLETE
    case 31: return 1155;   // SE_ERR_NOASSOC: ERROR_NO_ASSOCIATION
    case 28:                // SE_ERR_DDETIMEOUT
    case 29:                // SE_ERR_DDEFAIL
    case 30: return 1156;   // SE_ERR_DDEBUSY: ERROR_DDE_FAIL
    case 32: return 1157;   // SE_ERR_DLLNOTFOUND: ERROR_DLL_NOT_FOUND
    default: return static_cast<uint32_t>(result);
  }
}

size_t SystemErrorText(uint32_t error, char* buffer, size_t capacity) {
  if (capacity == 0) return 0;
  WideChar wide[kSystemTextUnits];
  uint32_t units = FormatSystemMessage(error, wide, kSystemTextUnits);
  if (units >= kSystemTextUnits) units = 0;
  // The system's texts end in a line break: in a box, an empty last line.
  while (units > 0 && wide[units - 1] <= u' ') --units;
  wide[units] = 0;
  return WideToUtf8(wide, buffer, capacity);
}

}  // namespace plat
