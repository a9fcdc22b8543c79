#pragma once
// A port opened on the slave of a fresh pseudo-terminal, for tests that
// drive the far end of the line from the master.
#include <gtest/gtest.h>

#include <memory>

#include "serial/Port.h"
#include "tests/serial/Pty.h"

namespace orv::serial::test {

class PortFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty_.Ok());
    Status status;
    port_ = OpenPort(pty_.SlavePath(), status);
    ASSERT_TRUE(port_) << status.Text();
  }

  Pty pty_;
  std::unique_ptr<Port> port_;
};

}  // namespace orv::serial::test
