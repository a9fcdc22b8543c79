#pragma once
// The panel's picture buttons: dark grey metal with a bevel, the symbol in
// cyan; pressed ones sunk in, darker, the symbol one pixel down and right.
#include <QImage>
#include <string>

namespace art {

enum class Look { kRaised, kPressed };

// The picture of a panel control, by its caption: 25 x 25 for "RECORD",
// "STOP", "SAVE", "CONNECT", "FLASH", "PAGE", "OK", "DISPLAY", 16 x 16 for
// the arrows "UP", "DOWN", "IUP", "IDOWN", "BUP", "BDOWN"; a null image for
// anything else.
QImage PanelButton(const std::string& control, Look look);

// CONNECT's state pictures: the framed plug lit red (not connected) or
// green (connected).
QImage ConnectSign(bool connected);

}  // namespace art
