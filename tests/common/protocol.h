// What the driver and the test client say to each other: the client's
// control window (message-only, of this class, titled with the run's token)
// and the messages the driver sends it.
#pragma once

#include <windows.h>

namespace protocol {

inline constexpr char kControlClass[] = "DowtraneTestControl";
// Answered once the client has written out everything it journalled so far.
inline constexpr UINT kSyncMessage = WM_APP + 1;
inline constexpr UINT kQuitMessage = WM_APP + 2;
// Restack the windows as the scenario lists them.
inline constexpr UINT kRestackMessage = WM_APP + 3;
// Stop reading the queue for wParam milliseconds, so that the window system
// comes to count the client as hung.
inline constexpr UINT kHangMessage = WM_APP + 4;
// The threads of the windows marked "thread=hung" stop reading their queues
// for good.
inline constexpr UINT kHangThreadsMessage = WM_APP + 5;

}  // namespace protocol
