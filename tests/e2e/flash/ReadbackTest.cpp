// SAVE to a ".hex" name reads the unit's whole program memory through the
// on-chip debugger into an OCD image, and FLASH programs that file back.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Expect.h"
#include "FlashSession.h"
#include "common/Crc16.h"
#include "common/Text.h"
#include "flash/OcdCommands.h"

namespace flashtest {
namespace {

namespace msg = orv::flash::msg;

std::string CrcText(const Memory& memory) {
  const uint16_t crc = orv::Crc16X25(memory.data(), memory.size());
  return orv::flash::FlashCrcText(static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc & 0xFF));
}

// The file's lines, each of which must end in CR LF.
std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      ADD_FAILURE() << "a last line without CR LF";
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    EXPECT_EQ(lines.back().find('\n'), std::string::npos) << "a bare LF in line " << lines.size();
    pos = end + 2;
  }
  return lines;
}

// 4096 records of 16 bytes from 0000, the header before and the end record after.
void ExpectReadbackLayout(const std::vector<std::string>& lines) {
  ASSERT_EQ(lines.size(), 4098u);
  EXPECT_EQ(lines.front(), "[ZTQFLASH]");
  EXPECT_EQ(lines.back(), ":00000001FF");
  for (int i = 0; i < 4096; ++i) {
    const std::string& line = lines[static_cast<size_t>(i) + 1];
    ASSERT_EQ(line.size(), 43u) << line;
    ASSERT_EQ(line.substr(0, 9), orv::Format(":10%04X00", i * 16)) << line;
  }
}

std::vector<std::string> AllAddresses() {
  std::vector<std::string> rows;
  for (int a = 0; a < 0x10000; a += 16) rows.push_back(orv::Format("FLASH %04X", a));
  return rows;
}

// srec_cat reads the file, less its tag line, as Intel HEX without complaint.
void ExpectSrecCatReads(const std::string& path) {
  if (!HaveSrecCat()) {
    std::printf("srec_cat not installed: the saved file is not checked with it\n");
    return;
  }
  const std::string text = ReadFile(path);
  const std::string hex = path + ".intel";
  ASSERT_TRUE(WriteFile(hex, text.substr(text.find("\r\n") + 2)));
  EXPECT_EQ(std::system(("srec_cat '" + hex + "' -Intel -o /dev/null -Intel").c_str()), 0);
}

TEST(FlashReadback, SaveReadsTheWholeMemoryAndFlashWritesItBackUnchanged) {
  orv::sim::UnitOptions unit;
  unit.cable = orv::sim::Cable::Flash;
  Session s(unit);
  ASSERT_TRUE(s.started);
  const Memory memory = RandomMemory(21);
  s.host->WithUnit([&](orv::sim::Unit& u) { u.memory() = memory; });
  ASSERT_TRUE(s.Connect(4800));

  const std::string path = s.Path("unit.hex");
  const double saveSeconds = s.Save(path, {IDYES});
  ExpectMessages(s.w.modal, {msg::kSaveFlashData, "OCD VERSION: 1.2", CrcText(memory)});
  EXPECT_FALSE(s.InDebugMode()) << "the unit runs again";
  EXPECT_EQ(s.Baud(), 4800);
  EXPECT_TRUE(s.OcdTimeouts());
  EXPECT_EQ(s.progress.rows, AllAddresses());

  const std::string text = ReadFile(path);
  ExpectReadbackLayout(CrLfLines(text));
  // The simulator's own reader checks every record's checksum as it goes.
  EXPECT_TRUE(HexOver(text.substr(text.find("\r\n") + 2), ErasedMemory()) == memory);
  ExpectSrecCatReads(path);

  const auto counts = [&] {
    return s.host->WithUnit([](orv::sim::Unit& u) {
      return std::make_pair(u.ocd().MassEraseCount(), u.ocd().MemoryWriteCount());
    });
  };
  const auto before = counts();
  s.w.modal.Clear();
  s.progress.rows.clear();
  const double flashSeconds = s.Flash(path, {IDYES, IDYES});
  ExpectMessages(s.w.modal, {msg::kSureToFlash, msg::kEraseAndFlash, "OCD VERSION: 1.2", msg::kFlashErased,
                             CrcText(memory), "Loaded Flash: bytes =65536"});
  EXPECT_EQ(counts().first, before.first + 1) << "one erase";
  EXPECT_EQ(counts().second, before.second + 4096) << "4096 writes";
  EXPECT_TRUE(s.UnitMemory() == memory);
  EXPECT_EQ(s.progress.rows.size(), 4097u) << "every record, and the end record at 0000";
  EXPECT_FALSE(s.InDebugMode());
  EXPECT_EQ(s.w.dlg->m_bPortBusy, 0);
  std::printf("64 KiB without pacing: read back in %.2f s, programmed in %.2f s\n", saveSeconds, flashSeconds);
}

TEST(FlashReadback, AnErasedUnitGivesAllFRecords) {
  Session s(std::vector<std::string>{"--cable", "flash", "--no-pacing"});
  ASSERT_TRUE(s.started);
  ASSERT_TRUE(s.Connect(4800));
  const std::string path = s.Path("erased.hex");
  s.Save(path, {IDYES});
  ExpectMessages(s.w.modal, {msg::kSaveFlashData, "OCD VERSION: 1.2", "FLASH CRC: -1-1"});

  const std::vector<std::string> lines = CrLfLines(ReadFile(path));
  ExpectReadbackLayout(lines);
  ASSERT_EQ(lines.size(), 4098u);
  EXPECT_EQ(lines[1], ":10000000FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00");
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    // 10 + address bytes + 16 x FF: the checksum is what makes it all 00.
    const int address = static_cast<int>((i - 1) * 16);
    const int sum = 0x10 + (address >> 8) + (address & 0xFF) + 16 * 0xFF;
    ASSERT_EQ(lines[i], orv::Format(":10%04X00", address) + std::string(32, 'F') +
                            orv::Format("%02X", (0x100 - (sum & 0xFF)) & 0xFF));
  }
  ExpectSrecCatReads(path);
}

}  // namespace
}  // namespace flashtest
