#pragma once
// The pictures of the unit's screen: the font strip, the glass behind the
// characters, the three list windows, and the small pictures of the unit.
#include <QImage>

namespace art {

QImage FontStrip();      // 1320 x 25: 66 glyphs of 20 x 25
QImage Background();     // 240 x 286
QImage PortList();       // 75 x 200: "COM 1" .. "COM 8"
QImage IntervalList();   // 75 x 200: "1 SEC" .. "10 MIN"
QImage BaudList();       // 75 x 200: "2400" .. "230400"
QImage Icon(int size);   // size x size: a small LCD; below 32, dots without characters
QImage AboutPicture();   // 32 x 32: the unit itself

}  // namespace art
