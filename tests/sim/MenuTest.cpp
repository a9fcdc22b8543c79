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
      {"select in RUN", {{4800, Commands("S")}}, "RUN"},
      {"scroll, select", {{4800, Commands("NS")}}, "DEPTH OFF"},
      {"select on EXIT", {{4800, Commands("NNNNNS")}}, "RUN"},
      {"scroll on EXIT", {{4800, Commands("NNNNNN")}}, "DEPTH ON"},
      {"split across reads", {{4800, "$PZT"}, {4800, "QC,N$PZTQC"}, {4800, ",S"}}, "DEPTH OFF"},
      {"a broken command", {{4800, "$PZTQ,N$PZTQCN"}}, "RUN"},
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

}  // namespace
}  // namespace orv::sim::test
