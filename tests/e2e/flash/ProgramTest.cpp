// FLASH programs a table image and Intel HEX images through the unit's
// loader, and an OCD image through the on-chip debugger, on a simulated
// unit run as its own process; its memory dump must then be what the image
// says, byte for byte.
#include <gtest/gtest.h>

#include "Expect.h"
#include "FlashSession.h"
#include "common/Crc16.h"
#include "flash/OcdCommands.h"

namespace flashtest {
namespace {

namespace msg = orv::flash::msg;

// A simulated unit on `cable` whose memory starts as random bytes from
// `seed` and is dumped when the simulator stops.
struct UnitWithMemory {
  UnitWithMemory(const std::string& cable, uint32_t seed)
      : start(RandomMemory(seed)),
        startPath(dir.path().toStdString() + "/start.bin"),
        dumpPath(dir.path().toStdString() + "/dump.bin"),
        written(WriteFile(startPath, std::string(start.begin(), start.end()))),
        s({"--cable", cable, "--no-pacing", "--memory", startPath, "--dump", dumpPath}) {}

  // The unit's memory after the session: the simulator writes it when stopped.
  std::vector<uint8_t> Dump() {
    EXPECT_EQ(s.sim.Stop(), 0);
    const std::string bytes = ReadFile(dumpPath);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  }

  const Memory start;
  // The work directory exists before the simulator is started.
  QTemporaryDir dir;
  const std::string startPath;
  const std::string dumpPath;
  const bool written;
  Session s;
};

// Memory with the loader's 512-byte pages first to last set to FF.
Memory ErasePages(Memory memory, int first, int last) {
  std::fill(memory.begin() + first * 512, memory.begin() + (last + 1) * 512, uint8_t{0xFF});
  return memory;
}

// The four address characters of each line of an Intel HEX text.
std::vector<std::string> LineAddresses(const std::string& hex) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < hex.size()) {
    const size_t end = hex.find('\n', pos);
    out.push_back(hex.substr(pos + 3, 4));
    pos = end == std::string::npos ? hex.size() : end + 1;
  }
  return out;
}

std::string CrcText(const Memory& memory) {
  const uint16_t crc = orv::Crc16X25(memory.data(), memory.size());
  return orv::flash::FlashCrcText(static_cast<uint8_t>(crc >> 8), static_cast<uint8_t>(crc & 0xFF));
}

TEST(FlashProgram, TableImageGoesThroughTheLoaderTwoLinesARecord) {
  UnitWithMemory unit("data", 11);
  ASSERT_TRUE(unit.written);
  ASSERT_TRUE(unit.s.started);
  const Memory& start = unit.start;
  Session& s = unit.s;
  ASSERT_TRUE(s.Connect(4800));

  // N = 4, M = 6: three records of 8 bytes from 1A00; the line after the
  // header is never data; "db %" fills one byte of its slot; "db 'ab'"
  // supplies a, b, the closing quote and the line end.
  const std::string image =
      "[TABLE][1A00][4][6]\n"
      "; not data\n"
      "db 'ABCD'\n"
      "db %3F\n"
      "db 'wxyz'\n"
      "db '1234'\n"
      "db 'ab'\n"
      "db 'Q  R'\n";
  const std::string path = s.Path("table.txt");
  ASSERT_TRUE(WriteFile(path, image));

  int busyAtSecondQuestion = -1;
  s.onMessage = [&](const ShownMessage& m) {
    if (m.text == msg::kEraseAndFlash) busyAtSecondQuestion = s.w.dlg->m_bPortBusy;
  };
  s.Flash(path, {IDYES, IDYES});
  ExpectMessages(s.w.modal, {msg::kSureToFlash, msg::kEraseAndFlash, "Loaded Flash: bytes =21"});
  EXPECT_EQ(busyAtSecondQuestion, 1) << "busy from the final Yes";
  EXPECT_EQ(s.w.dlg->m_bPortBusy, 0);
  EXPECT_EQ(s.progress.rows, (std::vector<std::string>{"FLASH 1A08", "FLASH 1A10", "FLASH 1A18"}))
      << "each acknowledged record moves the address on";
  EXPECT_EQ(s.w.dlg->m_model.m_nDisplayType, 3);
  EXPECT_EQ(s.Baud(), 4800);

  // Page 0D (1A00 to 1BFF) erased by the page-range command, then written.
  Memory expected = ErasePages(start, 0x0D, 0x0D);
  const std::string data = std::string("ABCD") + '\x3F' + std::string(3, '\0') + "wxyz1234ab'\nQ  R";
  std::copy(data.begin(), data.end(), expected.begin() + 0x1A00);
  EXPECT_TRUE(unit.Dump() == Bytes(expected));
}

TEST(FlashProgram, IntelHexImagesMadeBySrecCatGoThroughTheLoaderAsRead) {
  UnitWithMemory unit("data", 12);
  ASSERT_TRUE(unit.written);
  ASSERT_TRUE(unit.s.started);
  const Memory& start = unit.start;
  Session& s = unit.s;
  ASSERT_TRUE(s.Connect(4800));

  struct Case {
    const char* file;
    const char* pages;  // the page-range characters of the header
    int first, last;
    int bytes;          // every line's length: data plus the address record's 2
  };
  const Case cases[] = {{"srec16_type04.hex", "0003", 0, 3, 0x400 + 2}, {"srec16_type02.hex", "4041", 0x40, 0x41, 0x300 + 2}};
  Memory expected = start;
  for (const Case& c : cases) {
    const std::string hex = ReadFile(DataFile(c.file));
    ASSERT_FALSE(hex.empty()) << c.file;
    const std::string path = s.Path(std::string(c.file) + ".txt");
    ASSERT_TRUE(WriteFile(path, std::string("[INTELHEX]") + c.pages + "\n" + hex));
    s.w.modal.Clear();
    s.progress.rows.clear();
    s.Flash(path, {IDYES, IDYES});
    ExpectMessages(s.w.modal, {msg::kSureToFlash, msg::kEraseAndFlash, "Loaded Flash: bytes =" + std::to_string(c.bytes)},
                   c.file);
    EXPECT_EQ(s.progress.rows, ProgressOf(LineAddresses(hex))) << c.file << ": every line's address, as sent";
    expected = HexOver(hex, ErasePages(expected, c.first, c.last));
  }
  EXPECT_EQ(s.w.dlg->m_bPortBusy, 0);
  EXPECT_TRUE(unit.Dump() == Bytes(expected));
}

TEST(FlashProgram, OcdImageIsErasedWrittenAndItsCrcShown) {
  UnitWithMemory unit("flash", 13);
  ASSERT_TRUE(unit.written);
  ASSERT_TRUE(unit.s.started);
  Session& s = unit.s;
  ASSERT_TRUE(s.Connect(4800));

  // 48 data records at 8000 behind an extended address record: srec_cat's own.
  const std::string hex = ReadFile(DataFile("srec16_type02.hex"));
  const std::string path = s.Path("ocd.txt");
  ASSERT_TRUE(WriteFile(path, "[ZTQFLASH]\n" + hex));
  const Memory expected = HexOver(hex, ErasedMemory());

  const double seconds = s.Flash(path, {IDYES, IDYES});
  ExpectMessages(s.w.modal, {msg::kSureToFlash, msg::kEraseAndFlash, "OCD VERSION: 1.2", msg::kFlashErased,
                             CrcText(expected), "Loaded Flash: bytes =770"});
  EXPECT_EQ(s.progress.rows, ProgressOf(LineAddresses(hex))) << "records of every type show their address";
  EXPECT_EQ(s.w.dlg->m_bPortBusy, 0);
  EXPECT_EQ(s.Baud(), 4800) << "the connection's rate is back";
  EXPECT_TRUE(s.OcdTimeouts()) << "the debugger's time-outs stay until the next connect";
  EXPECT_EQ(s.w.dlg->m_model.m_nDisplayType, 3);
  EXPECT_LT(seconds, 5.0);
  EXPECT_TRUE(unit.Dump() == Bytes(expected)) << "the whole memory erased, then the records written";
}

}  // namespace
}  // namespace flashtest
