// Line settings, seen from the master side of a pseudo-terminal.
#include <gtest/gtest.h>

#include <string>

#include "serial/Port.h"
#include "tests/serial/PortFixture.h"

namespace orv::serial {
namespace {

class PortLine : public test::PortFixture {
 protected:
  termios Slave() {
    termios t{};
    EXPECT_TRUE(pty_.SlaveSettings(t));
    return t;
  }
};

TEST_F(PortLine, ConfigureSetsEveryRate) {
  struct Row {
    int baud;
    speed_t speed;
  };
  const Row rows[] = {{2400, B2400},     {4800, B4800},   {9600, B9600},     {19200, B19200},
                      {38400, B38400},   {57600, B57600}, {115200, B115200}, {230400, B230400}};
  for (const Row& row : rows) {
    const Status status = port_->Configure(row.baud);
    ASSERT_TRUE(status.ok()) << row.baud << ": " << status.Text();
    const termios t = Slave();
    EXPECT_EQ(cfgetospeed(&t), row.speed) << row.baud;
    EXPECT_EQ(cfgetispeed(&t), row.speed) << row.baud;
    EXPECT_EQ(port_->BaudRate(), row.baud);
  }
}

TEST_F(PortLine, ConfigureMakesARawEightBitLine) {
  termios cooked = Slave();
  cooked.c_cflag |= CSTOPB | CRTSCTS;
  cooked.c_iflag |= IXON | IXOFF | ICRNL | ISTRIP;
  cooked.c_oflag |= OPOST | ONLCR;
  cooked.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  ASSERT_TRUE(pty_.SetSlaveSettings(cooked));

  ASSERT_TRUE(port_->Configure(4800).ok());
  const termios t = Slave();
  struct Row {
    const char* legend;
    tcflag_t flags;
    tcflag_t bits;
    tcflag_t expected;
  };
  const Row rows[] = {
      {"8 data bits", t.c_cflag, CSIZE, CS8},
      {"no parity", t.c_cflag, PARENB, 0},
      {"one stop bit", t.c_cflag, CSTOPB, 0},
      {"no hardware flow control", t.c_cflag, CRTSCTS, 0},
      {"local line, receiver on", t.c_cflag, CLOCAL | CREAD, CLOCAL | CREAD},
      {"no software flow control", t.c_iflag, IXON | IXOFF, 0},
      {"no input translation", t.c_iflag, ICRNL | INLCR | IGNCR | ISTRIP, 0},
      {"no output processing", t.c_oflag, OPOST, 0},
      {"no line editing or echo", t.c_lflag, ICANON | ECHO | ISIG | IEXTEN, 0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.flags & row.bits, row.expected) << row.legend;
  }
}

TEST_F(PortLine, EveryByteValuePassesUnchangedBothWays) {
  ASSERT_TRUE(port_->Configure(115200).ok());
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);

  ASSERT_TRUE(pty_.Send(all));
  ASSERT_TRUE(port_->WaitForInput(256, 2000).ok());
  std::string in(256, '\0');
  int got = 0;
  ASSERT_TRUE(port_->Read(&in[0], 256, got).ok());
  EXPECT_EQ(got, 256);
  EXPECT_EQ(in, all) << "the line changed bytes on the way in";

  int written = 0;
  ASSERT_TRUE(port_->Write(all.data(), 256, written).ok());
  EXPECT_EQ(written, 256);
  EXPECT_EQ(pty_.Receive(257, 300), all) << "the line changed bytes on the way out";
}

TEST_F(PortLine, UnsupportedRatesAreRefused) {
  ASSERT_TRUE(port_->Configure(9600).ok());
  const int rates[] = {0, -1, 300, 1200, 14400, 460800};
  for (int baud : rates) {
    const Status configured = port_->Configure(baud);
    EXPECT_STREQ(ErrorName(configured.code), "Config") << baud;
    const Status changed = port_->SetBaudRate(baud);
    EXPECT_STREQ(ErrorName(changed.code), "Config") << baud;
    EXPECT_EQ(port_->BaudRate(), 9600) << "a refused rate must not count as set: " << baud;
    const termios t = Slave();
    EXPECT_EQ(cfgetospeed(&t), B9600) << baud;
  }
}

TEST_F(PortLine, SetBaudRateChangesOnlyTheRate) {
  ASSERT_TRUE(port_->Configure(9600).ok());
  termios marked = Slave();
  // A pseudo-terminal forces 8 bits without parity, so the marks are others.
  marked.c_cflag |= CSTOPB;
  marked.c_iflag |= IXANY;
  marked.c_cc[VSTART] = 0x42;
  ASSERT_TRUE(pty_.SetSlaveSettings(marked));

  ASSERT_TRUE(port_->SetBaudRate(57600).ok());
  const termios t = Slave();
  EXPECT_EQ(cfgetospeed(&t), B57600);
  EXPECT_EQ(port_->BaudRate(), 57600);
  EXPECT_EQ(t.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
  EXPECT_EQ(t.c_iflag & IXANY, static_cast<tcflag_t>(IXANY));
  EXPECT_EQ(t.c_cc[VSTART], 0x42);
}

TEST_F(PortLine, InvalidTimeoutsAreRefusedAndTheOldOnesKept) {
  ASSERT_TRUE(port_->SetTimeouts(Timeouts::Ocd()).ok());
  const Status status = port_->SetTimeouts({false, 0, 0, 1, 100});
  EXPECT_STREQ(ErrorName(status.code), "Config");
  const Timeouts kept = port_->GetTimeouts();
  EXPECT_FALSE(kept.readReturnsAtOnce);
  EXPECT_EQ(kept.ReadTotalMs(5), 105);
}

}  // namespace
}  // namespace orv::serial
