// The quorvel-sim command line and its --fault names. The memory images it
// loads are read back in the flash tests.
#include <gtest/gtest.h>

#include "sim/Options.h"

namespace orv::sim::test {
namespace {

TEST(OptionsTest, CommandLinesAndFaultNames) {
  struct Case {
    const char* legend;
    std::vector<std::string> args;
    bool ok;
  } cases[] = {
      {"name=value", {"--baud=57600", "--cable=data"}, true},
      {"missing value", {"--link"}, false},
      {"odd rate", {"--baud", "4801"}, false},
      {"seed too large", {"--seed", "4294967296"}, false},
      {"loop without replay", {"--loop"}, false},
      {"every fault", {"--fault", "no-echo", "--fault", "bad-echo", "--fault", "late-reply=2500", "--fault",
                       "stop-ack=0", "--fault", "erase-hang", "--fault", "noise=5", "--fault", "hash-ack", "--fault", "hang-up=0"}, true},
      {"stop-ack without N", {"--fault", "stop-ack"}, false},
      {"stop-ack=x", {"--fault", "stop-ack=x"}, false},
      {"erase-hang=1", {"--fault", "erase-hang=1"}, false},
      {"noise=0", {"--fault", "noise=0"}, false},
      {"upper case", {"--fault", "NO-ECHO"}, false},
  };
  for (const Case& c : cases) {
    SimOptions options;
    std::string error;
    EXPECT_EQ(ParseSimArgs(c.args, options, error), c.ok) << c.legend << ": " << error;
    EXPECT_TRUE(c.ok || !error.empty()) << c.legend;
  }
}

}  // namespace
}  // namespace orv::sim::test
