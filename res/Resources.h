#pragma once
// One table from the unit's resource numbers and names to the pictures
// bundled with the program.
#include <QIcon>
#include <QPixmap>
#include <string>

namespace res {

enum Id : int {
  kIcon = 128,
  kBackground = 129,
  kFont = 130,
  kAboutPicture = 152,
  kIntervalList = 153,
  kPortList = 156,
  kConnectRed = 170,
  kConnectGreen = 171,
  kBaudList = 190,
};

// A numbered picture, or a named button picture ("CONNECTU", "UPD", ...);
// a null pixmap when there is none.
QPixmap Load(int id);
QPixmap Load(const std::string& name);

// The program's icon, 128, with every image the catalog has of it.
QIcon Icon();

}  // namespace res
