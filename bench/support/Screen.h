#pragma once
// The window system a benchmark measures against. Under X (xcb) a repaint
// counts as shown once the X server has handled the drawing the program
// sent; offscreen there is no server, and "shown" is the end of the flush.
#include <string>

namespace bench {

// Before QApplication: xcb when a display is there, offscreen otherwise; a
// platform the caller set in QT_QPA_PLATFORM is kept.
void ChoosePlatform();
// After QApplication: the platform's name, "xcb" or "offscreen".
std::string PlatformName();
// Returns once the X server has handled every request this program has
// sent so far (one round trip on the program's own connection). True when
// it waited; false where there is no X server to wait for.
bool WaitForScreen();
// The event loop, for `seconds`: no polling, no sleeps.
void RunFor(double seconds);

}  // namespace bench
