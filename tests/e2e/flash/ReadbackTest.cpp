// SAVE to a ".hex" name through the window: the whole memory read back
// over the FLASH cable into a file srec_cat reads, every record's address
// painted in row 0 as it goes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "FlashSession.h"
#include "common/Crc16.h"
#include "common/Text.h"
#include "flash/Messages.h"
#include "flash/OcdCommands.h"
#include "sim/MemoryImage.h"

namespace flashtest {
namespace {

TEST(FlashReadback, SaveReadsTheWholeMemoryIntoAFileFlashTakes) {
  orv::sim::UnitOptions unit;
  unit.cable = orv::sim::Cable::Flash;
  Session s(unit, false);
  ASSERT_TRUE(s.started);
  orv::sim::Memory memory;
  uint32_t seed = 21;
  for (uint8_t& b : memory) b = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
  s.host->WithUnit([&](orv::sim::Unit& u) { u.memory() = memory; });
  ASSERT_TRUE(s.Connect(4800));

  const std::string path = s.Path("unit.hex");
  s.Save(path, {IDYES});
  const uint16_t crc = orv::Crc16X25(memory.data(), memory.size());
  EXPECT_EQ(s.w.modal.Texts(), (std::vector<std::string>{orv::flash::msg::kSaveFlashData, "OCD VERSION: 1.2",
                                                         orv::flash::FlashCrcText(crc >> 8, crc & 0xFF)}));
  EXPECT_EQ(s.Baud(), 4800);
  EXPECT_FALSE(s.host->WithUnit([](orv::sim::Unit& u) { return u.ocd().InDebugMode(); })) << "released";
  ASSERT_EQ(s.progress.rows.size(), 4096u);
  for (int a = 0; a < 0x10000; a += 0x1000) EXPECT_EQ(s.progress.rows[a / 16], orv::Format("FLASH %04X", a));

  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  orv::sim::Memory read{};
  std::string error;
  EXPECT_TRUE(orv::sim::ReadHexImage(text.str(), read, error)) << error;
  EXPECT_TRUE(read == memory);
  if (std::system("command -v srec_cat >/dev/null 2>&1") == 0) {
    const std::string cmd = "tail -n +2 '" + path + "' | srec_cat - -Intel -o /dev/null -Intel";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << "srec_cat reads it";
  }
}

}  // namespace
}  // namespace flashtest
