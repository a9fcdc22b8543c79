// The host in-process, as `orvanta --simulate` uses it, on a real pseudo-
// terminal.
#include <gtest/gtest.h>

#include "sim/PtyHost.h"
#include "sim/Wire.h"
#include "tests/support/Pty.h"

namespace orv::sim::test {
namespace {

using Clock = std::chrono::steady_clock;
using orv::test::Pty;

// Each byte is at the far end 10 bits after the line was free for it; a
// late look loses nothing, and a pause banks nothing.
TEST(WireTest, EachByteTakesItsTimeAndIdleTimeIsNotBanked) {
  constexpr int64_t kByte = 2083333;  // ns at 4800
  Wire wire;
  wire.SetBaud(4800);
  const uint8_t bytes[3] = {1, 2, 3};
  uint8_t out[8];
  int64_t at = 0;
  wire.Push(bytes, 2, 0);
  EXPECT_EQ(wire.Pop(kByte - 1, out, 8, at), 0u) << "not before its wire time";
  EXPECT_EQ(wire.Pop(kByte, out, 8, at), 1u);
  EXPECT_EQ(wire.Pop(100000000, out, 8, at), 1u);
  EXPECT_EQ(at, 2 * kByte) << "looked at late, it keeps its own time";
  wire.Push(bytes + 2, 1, 100000000);
  EXPECT_EQ(wire.WakeNs(1000000), 100000000 + kByte) << "after a pause, a whole byte time";
  wire.SetBaud(57600);
  wire.Push(bytes, 3, 200000000);
  EXPECT_EQ(wire.WakeNs(100000), 100000000 + kByte + 100000) << "batched after the earliest";
  EXPECT_EQ(wire.Pop(110000000, out, 8, at), 1u);
  EXPECT_EQ(wire.WakeNs(100000), 200000000 + 173611 + 100000) << "then in batches";
  EXPECT_EQ(wire.WakeNs(1000000), 200000000 + 3 * 173611) << "the last byte on time";
}

TEST(PtyHostTest, PacingKeepsToThePcsRate) {
  UnitOptions unit;
  unit.unitBaud = 9600;
  PtyHost host(unit, HostOptions{});
  std::string error;
  ASSERT_TRUE(host.Start(error)) << error;
  Pty pc(host.SlavePath(), B9600);
  ASSERT_EQ(pc.Receive(100, 3000).size(), 100u) << "under way";
  const auto start = Clock::now();
  const std::string got = pc.ReceiveFor(1500);
  const double ideal = 960.0 * std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_LT(got.size(), ideal * 1.1 + 200) << "no faster than the line";
  // A late wake-up banks nothing, so a busy machine costs the stream line
  // time for good: only that it flows is judged from below.
  EXPECT_GT(got.size(), ideal * 0.25) << "and flowing";
}

}  // namespace
}  // namespace orv::sim::test
