// The quorvel-sim command line, its --fault names, and the program memory
// images it loads.
#include <gtest/gtest.h>

#include "sim/MemoryImage.h"
#include "sim/Options.h"

namespace orv::sim::test {
namespace {

TEST(OptionsTest, CommandLinesAndFaultNames) {
  struct Case {
    const char* legend;
    std::vector<std::string> args;
    bool ok;
  } cases[] = {
      {"nothing", {}, true},                          {"name=value", {"--baud=57600", "--cable=data"}, true},
      {"unknown", {"--bogus"}, false},                {"missing value", {"--link"}, false},
      {"empty value", {"--link="}, false},            {"bad cable", {"--cable", "usb"}, false},
      {"odd rate", {"--baud", "4801"}, false},        {"negative seed", {"--seed", "-1"}, false},
      {"seed too large", {"--seed", "4294967296"}, false}, {"loop without replay", {"--loop"}, false},
      {"flag with a value", {"--no-pacing=1"}, false}, {"plain argument", {"file"}, false},
      {"every fault", {"--fault", "no-echo", "--fault", "bad-echo", "--fault", "late-reply=2500", "--fault",
                       "stop-ack=0", "--fault", "erase-hang", "--fault", "noise=5", "--fault", "hash-ack", "--fault", "hang-up=0"}, true},
      {"stop-ack without N", {"--fault", "stop-ack"}, false}, {"stop-ack=-1", {"--fault", "stop-ack=-1"}, false},
      {"stop-ack=x", {"--fault", "stop-ack=x"}, false},       {"erase-hang=1", {"--fault", "erase-hang=1"}, false},
      {"drop-after without N", {"--fault", "drop-after"}, false}, {"hang-up without N", {"--fault", "hang-up"}, false}, {"noise=0", {"--fault", "noise=0"}, false},
      {"unknown fault", {"--fault", "no-such"}, false},       {"upper case", {"--fault", "NO-ECHO"}, false},
  };
  for (const Case& c : cases) {
    SimOptions options;
    std::string error;
    EXPECT_EQ(ParseSimArgs(c.args, options, error), c.ok) << c.legend << ": " << error;
    EXPECT_TRUE(c.ok || !error.empty()) << c.legend;
  }
}

TEST(MemoryImageTest, HexImagesAndAnOversizedBinary) {
  struct Case {
    const char* legend;
    std::string text;
    bool ok;
    uint16_t address;
    uint8_t value;
  } cases[] = {
      {"one record", ":0110000042AD\n:00000001FF\n", true, 0x1000, 0x42},
      {"Orvanta's read-back file", "[ZTQFLASH]\r\n:0110000042AD\r\n:00000001FF\r\n", true, 0x1000, 0x42},
      {"the tag anywhere else", ":0110000042AD\n[ZTQFLASH]\n", false, 0, 0},
      {"CR LF and blank lines", "\r\n:0110000042AD\r\n\r\n", true, 0x1000, 0x42},
      {"after the end record nothing counts", ":00000001FF\n:0110000042AD\n", true, 0x1000, 0xFF},
      {"extended address 0 keeps 64 KiB", ":020000040000FA\n:0110000042AD\n", true, 0x1000, 0x42},
      {"extended address 1 leaves it", ":020000040001F9\n:0110000042AD\n", false, 0, 0},
      {"last byte", ":01FFFF0042BF\n", true, 0xFFFF, 0x42},
      {"past the end", ":02FFFF0042427C\n", false, 0, 0},
      {"bad checksum", ":0110000042AE\n", false, 0, 0},
  };
  for (const Case& c : cases) {
    Memory memory;
    memory.fill(0xFF);
    std::string error;
    EXPECT_EQ(ReadHexImage(c.text, memory, error), c.ok) << c.legend << ": " << error;
    EXPECT_TRUE(c.ok ? memory[c.address] == c.value : error.find("line") != std::string::npos) << c.legend << ": " << error;
  }
  Memory memory;
  std::string error;
  EXPECT_FALSE(ReadBinaryImage(std::vector<uint8_t>(65537, 0), memory, error)) << "larger than 64 KiB";
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace orv::sim::test
