#pragma once
// The unit's two-button menu, driven by SCROLL ("$PZTQC,N") and SELECT
// ("$PZTQC,S"). Its state is the status text of "$PZTQS,":
//
//   RUN  --SCROLL-->  DEPTH ON --SCROLL--> SPEED ON --> XDR ON --> GPS ON --> EXIT --> DEPTH ON ...
//   on DEPTH, SPEED, XDR or GPS, SELECT switches that group of sentences
//   off and on again (the text shows it: "DEPTH OFF"); on EXIT, SELECT goes
//   back to RUN. SELECT in RUN does nothing.
//
// Groups: DEPTH = $SDDBT and $SDMTW, SPEED = $SDVHW and $SDVLW, XDR = $IIXDR,
// GPS = $GPRMC and $GPGLL. The status sentence is always sent.
#include <array>
#include <string>

namespace orv::sim {

enum class Group { Depth, Speed, Xdr, Gps };

class Menu {
 public:
  Menu();

  void Scroll();
  void Select();
  bool Enabled(Group group) const { return enabled_[static_cast<size_t>(group)]; }
  // At most 9 characters, no comma.
  const std::string& StatusText() const { return text_; }

 private:
  void Show();

  // -1 is RUN; 0..3 the groups; 4 is EXIT.
  int item_ = -1;
  std::array<bool, 4> enabled_ = {true, true, true, true};
  std::string text_;
};

}  // namespace orv::sim
