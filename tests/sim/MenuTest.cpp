// The unit's buttons, pressed from the PC with "$PZTQC,S" and "$PZTQC,N".
#include <gtest/gtest.h>

#include "UnitDriver.h"

namespace orv::sim::test {
namespace {

std::string Commands(const std::string& letters) {
  std::string bytes;
  for (const char c : letters) bytes += std::string("$PZTQC,") + c;
  return bytes;
}

// SCROLL runs RUN, DEPTH, SPEED, XDR, GPS, EXIT, DEPTH ...; SELECT switches
// a group off and on, leaves EXIT for RUN and does nothing in RUN.
TEST(MenuTest, ButtonsMoveThroughTheMenuAndOnlyWholeCommandsCount) {
  struct Case {
    const char* legend;
    std::vector<std::pair<int, std::string>> sent;  // PC's rate, bytes
    const char* status;
  } cases[] = {
      {"nothing", {}, "RUN"},
      {"select in RUN", {{4800, Commands("S")}}, "RUN"},
      {"scroll, select", {{4800, Commands("NS")}}, "DEPTH OFF"},
      {"to EXIT", {{4800, Commands("NNNNN")}}, "EXIT"},
      {"select on EXIT", {{4800, Commands("NNNNNS")}}, "RUN"},
      {"scroll on EXIT", {{4800, Commands("NNNNNN")}}, "DEPTH ON"},
      {"round again, DEPTH remembered", {{4800, Commands("NSNNNNSN")}}, "DEPTH OFF"},
      {"split across reads", {{4800, "$PZT"}, {4800, "QC,N$PZTQC"}, {4800, ",S"}}, "DEPTH OFF"},
      {"junk around a command", {{4800, "abc$PZ$PZTQC,N\r\nxyz"}}, "DEPTH ON"},
      {"a broken command", {{4800, "$PZTQ,N$PZTQCN"}}, "RUN"},
      {"three connects' G", {{4800, Commands("GGG")}}, "RUN"},
      {"at another rate", {{9600, Commands("N")}}, "RUN"},
      {"a byte at another rate inside", {{4800, "$PZT"}, {9600, "x"}, {4800, "QC,N"}}, "RUN"},
  };
  for (const Case& c : cases) {
    Unit unit(UnitOptions{});
    UnitDriver driver(unit);
    for (const auto& [baud, bytes] : c.sent) {
      driver.SetPcBaud(baud);
      driver.Send(bytes);
    }
    EXPECT_EQ(unit.StatusText(), c.status) << c.legend;
  }
}

TEST(MenuTest, AGroupSwitchedOffLeavesTheStreamAndTheStatusShowsIt) {
  struct Case {
    const char* presses;
    const char* status;
    std::vector<std::string> gone;
  } cases[] = {
      {"NS", "$PZTQS,DEPTH OFF,", {"$SDDBT,", "$SDMTW,"}},
      {"NNS", "$PZTQS,SPEED OFF,", {"$SDVHW,", "$SDVLW,"}},
      {"NNNS", "$PZTQS,XDR OFF,", {"$IIXDR,"}},
      {"NNNNS", "$PZTQS,GPS OFF,", {"$GPRMC,", "$GPGLL,"}},
  };
  for (const Case& c : cases) {
    Unit unit(UnitOptions{});
    UnitDriver driver(unit);
    driver.Send(Commands(c.presses));
    driver.Run(1000);  // what was already on its way
    const std::string off = driver.Run(6000);
    EXPECT_NE(off.find(c.status), std::string::npos) << c.presses;
    EXPECT_EQ(off.find("$PZTQS,RUN,"), std::string::npos) << c.presses;
    driver.Send(Commands("S"));
    driver.Run(1000);
    const std::string on = driver.Run(6000);
    for (const std::string& header : c.gone) {
      EXPECT_EQ(off.find(header), std::string::npos) << c.presses << " " << header;
      EXPECT_NE(on.find(header), std::string::npos) << c.presses << " back on: " << header;
    }
  }
}

}  // namespace
}  // namespace orv::sim::test
