// Starting the client, and starting the media player or commanding it.
#pragma once

namespace app {

int LaunchClient();  // returns 1
int LaunchWinamp();  // returns 1, or kStatusNotResponding (command.h)

}  // namespace app
