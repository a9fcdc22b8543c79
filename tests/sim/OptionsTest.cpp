// The quorvel-sim command line and the program memory images it loads.
#include <gtest/gtest.h>

#include "sim/MemoryImage.h"
#include "sim/Options.h"

namespace orv::sim::test {
namespace {

TEST(OptionsTest, CommandLines) {
  struct Case {
    const char* legend;
    std::vector<std::string> args;
    bool ok;
  } cases[] = {
      {"nothing", {}, true},
      {"all", {"--link", "/tmp/q", "--cable", "flash", "--baud", "9600", "--replay", "f",
               "--loop", "--no-pacing", "--memory", "m.hex", "--dump", "d", "--fault",
               "noise", "--fault", "stop-ack=3", "--seed", "77"}, true},
      {"name=value", {"--baud=57600", "--cable=data"}, true},
      {"unknown", {"--bogus"}, false},
      {"missing value", {"--link"}, false},
      {"empty value", {"--link="}, false},
      {"bad cable", {"--cable", "usb"}, false},
      {"odd rate", {"--baud", "4801"}, false},
      {"rate not a number", {"--baud", "fast"}, false},
      {"negative seed", {"--seed", "-1"}, false},
      {"seed too large", {"--seed", "4294967296"}, false},
      {"largest seed", {"--seed", "4294967295"}, true},
      {"loop without replay", {"--loop"}, false},
      {"flag with a value", {"--no-pacing=1"}, false},
      {"bad fault", {"--fault", "drop-after"}, false},
      {"plain argument", {"file"}, false},
  };
  for (const Case& c : cases) {
    SimOptions options;
    std::string error;
    EXPECT_EQ(ParseSimArgs(c.args, options, error), c.ok) << c.legend << ": " << error;
    if (!c.ok) {
      EXPECT_FALSE(error.empty()) << c.legend;
    }
  }
}

TEST(OptionsTest, ValuesLandWhereTheyBelong) {
  SimOptions o;
  std::string error;
  ASSERT_TRUE(ParseSimArgs({"--link", "/tmp/q", "--cable", "flash", "--baud", "9600", "--replay",
                            "r.nmea", "--loop", "--no-pacing", "--memory", "m.bin", "--dump",
                            "d.bin", "--fault", "hash-ack", "--fault", "drop-after=9", "--seed",
                            "77"},
                           o, error))
      << error;
  EXPECT_EQ(o.host.linkPath, "/tmp/q");
  EXPECT_FALSE(o.host.pacing);
  EXPECT_EQ(o.unit.cable, Cable::Flash);
  EXPECT_EQ(o.unit.unitBaud, 9600);
  EXPECT_EQ(o.replayPath, "r.nmea");
  EXPECT_TRUE(o.unit.loop);
  EXPECT_EQ(o.memoryPath, "m.bin");
  EXPECT_EQ(o.dumpPath, "d.bin");
  EXPECT_TRUE(o.unit.faults.hashAck);
  EXPECT_EQ(o.unit.faults.dropAfter, 9);
  EXPECT_EQ(o.unit.seed, 77u);

  SimOptions defaults;
  ASSERT_TRUE(ParseSimArgs({}, defaults, error));
  EXPECT_EQ(defaults.unit.cable, Cable::Data);
  EXPECT_EQ(defaults.unit.unitBaud, 4800);
  EXPECT_TRUE(defaults.host.pacing);
  EXPECT_EQ(defaults.unit.seed, 1u);
}

TEST(MemoryImageTest, HexImages) {
  struct Case {
    const char* legend;
    std::string text;
    bool ok;
    uint16_t address;
    uint8_t value;
  } cases[] = {
      {"one record", ":0110000042AD\n:00000001FF\n", true, 0x1000, 0x42},
      {"CR LF and blank lines", "\r\n:0110000042AD\r\n\r\n", true, 0x1000, 0x42},
      {"after the end record nothing counts", ":00000001FF\n:0110000042AD\n", true, 0x1000, 0xFF},
      {"extended address 0 keeps 64 KiB", ":020000040000FA\n:0110000042AD\n", true, 0x1000, 0x42},
      {"extended address 1 leaves it", ":020000040001F9\n:0110000042AD\n", false, 0, 0},
      {"last byte", ":01FFFF0042BF\n", true, 0xFFFF, 0x42},
      {"past the end", ":02FFFF0042427C\n", false, 0, 0},
      {"bad checksum", ":0110000042AE\n", false, 0, 0},
      {"not a record", "hello\n", false, 0, 0},
  };
  for (const Case& c : cases) {
    Memory memory;
    memory.fill(0xFF);
    std::string error;
    EXPECT_EQ(ReadHexImage(c.text, memory, error), c.ok) << c.legend << ": " << error;
    if (c.ok) {
      EXPECT_EQ(memory[c.address], c.value) << c.legend;
    }
    if (!c.ok) {
      EXPECT_NE(error.find("line"), std::string::npos) << c.legend << ": " << error;
    }
  }
}

TEST(MemoryImageTest, BinaryImages) {
  Memory memory;
  memory.fill(0xFF);
  std::string error;
  EXPECT_TRUE(ReadBinaryImage({1, 2, 3}, memory, error));
  EXPECT_EQ(memory[0], 1);
  EXPECT_EQ(memory[2], 3);
  EXPECT_EQ(memory[3], 0xFF);
  EXPECT_TRUE(ReadBinaryImage(std::vector<uint8_t>(65536, 0x5A), memory, error));
  EXPECT_EQ(memory[65535], 0x5A);
  EXPECT_FALSE(ReadBinaryImage(std::vector<uint8_t>(65537, 0), memory, error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace orv::sim::test
