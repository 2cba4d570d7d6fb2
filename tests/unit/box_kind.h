// A message box's icon and buttons in the words the end-to-end suites use
// for them ("error ok", "warning okcancel"), so that a unit test reads as
// its end-to-end twin does.
#pragma once

#include <string>

#include "platform/platform.h"

namespace testing_support {

inline std::string BoxKind(unsigned type) {
  std::string icon;
  switch (type & 0xf0u) {
    case plat::MB_ICONERROR: icon = "error"; break;
    case plat::MB_ICONWARNING: icon = "warning"; break;
    case plat::MB_ICONINFORMATION: icon = "information"; break;
    case 0: icon = "none"; break;
    default: icon = "icon" + std::to_string(type & 0xf0u); break;
  }
  const unsigned buttons = type & 0x0fu;
  return icon + (buttons == 0 ? " ok" : buttons == plat::MB_OKCANCEL ? " okcancel"
                                                                    : " buttons" + std::to_string(buttons));
}

}  // namespace testing_support
