// The ways FLASH and SAVE once hurt a unit or a backup, through the window
// and a simulated unit on a pseudo-terminal paced as a real line: each ends
// with its message, nothing sent or "$PZTQC,G" last, the unit's memory
// untouched where the file was refused (or programmed as the image says),
// the live view running without a reconnect, and an old .hex file intact.
// SAVE over the data cable, and the many refusals, are the flash unit
// tests' business.
#include <gtest/gtest.h>

#include <fstream>

#include "FlashSession.h"
#include "FlashTesting.h"
#include "common/Text.h"
#include "flash/Messages.h"

namespace flashtest {
namespace {

namespace msg = orv::flash::msg;
using orv::Format;
using orv::sim::Cable;
using orv::sim::Memory;
using Texts = std::vector<std::string>;
using orv::flash::test::DataFile;
using orv::flash::test::HexOver;
using orv::flash::test::Lowered;
using orv::flash::test::ReadFile;

// The first `lines` lines of a text.
std::string Head(const std::string& text, int lines) {
  size_t pos = 0;
  while (lines-- > 0 && pos != std::string::npos) pos = text.find('\n', pos) + 1;
  return text.substr(0, pos);
}

Memory Noise(uint32_t seed) {
  Memory memory;
  for (uint8_t& b : memory) b = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
  return memory;
}
Memory Erased(Memory memory, int firstPage, int lastPage) {
  std::fill(memory.begin() + firstPage * 512, memory.begin() + (lastPage + 1) * 512, uint8_t{0xFF});
  return memory;
}

enum class Op { Flash, Save };
const char kOldHex[] = "[ZTQFLASH]\r\n:00000001FF\r\n";

struct Case {
  const char* legend;
  Cable cable;
  const char* fault;
  Op op;
  std::string file;  // the image, or for SAVE the old .hex file
  std::vector<int> answers;
  Texts texts;
  bool sendsNothing;
  // The memory afterwards, from the memory before.
  std::function<Memory(const Memory&)> memoryAfter;
};

TEST(FlashSafety, NothingHurtsTheUnitOrABackup) {
  const std::string hex04 = DataFile("srec16_type04.hex");  // 0000-03FF
  const std::string small = Head(hex04, 9) + ":00000001FF\n";   // 0000-007F
  const std::string hex02 = DataFile("srec16_type02.hex");  // 8000-82FF
  const auto same = [](const Memory& m) { return m; };
  const std::string ocdVersion = "OCD VERSION: 1.2";
  const Case cases[] = {
      {"1 SAVE over a backup, No", Cable::Flash, "", Op::Save, kOldHex, {IDNO}, {msg::kSaveFlashData}, true, same},
      {"1 SAVE over a backup, the cable lost half-way", Cable::Flash, "drop-after=2141", Op::Save, kOldHex, {IDYES},
       {msg::kSaveFlashData, ocdVersion, msg::kReadingFlashData}, false, same},
      {"2 table with a malformed data line", Cable::Data, "", Op::Flash,
       "[TABLE][0000][4][8]\n\ndb 'AAAA'\ndb 'BBBB'\ndb 'CCCC'\ndb 'DDDD'\ndq 'EEEE'\n", {},
       {Format(msg::kRefusal, 7, msg::kDbLine)}, true, same},
      {"3 Intel HEX without a tag", Cable::Data, "", Op::Flash, small, {}, {Format(msg::kRefusal, 1, msg::kNoTag)},
       true, same},
      {"4 Intel HEX cut short", Cable::Data, "", Op::Flash, "[INTELHEX]0000\n" + Head(hex04, 9), {},
       {Format(msg::kNoEndRecord, 10)}, true, same},
      {"5 OCD image lowered with sed", Cable::Flash, "", Op::Flash, "[ZTQFLASH]\n" + Lowered(hex02), {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, ocdVersion, msg::kFlashErased, "", "Loaded Flash: bytes =770"}, false,
       [&](const Memory&) { return HexOver(hex02, Erased(Memory{}, 0, 127)); }},
      {"5 Intel HEX lowered with sed", Cable::Data, "", Op::Flash, "[INTELHEX]0000\n" + Lowered(small),
       {IDYES, IDYES}, {msg::kSureToFlash, msg::kEraseAndFlash, "Loaded Flash: bytes =130"}, false,
       [&](const Memory& m) { return HexOver(small, Erased(m, 0, 0)); }},
      {"6 Intel HEX outside the header's pages", Cable::Data, "", Op::Flash, "[INTELHEX]0101\n" + small, {},
       {Format(msg::kRefusal, 3, Format(msg::kOutsidePages, 0, 1, 1).c_str())}, true, same},
      {"7 OCD image over the data cable", Cable::Data, "", Op::Flash, "[ZTQFLASH]\n" + hex02, {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, msg::kReadingData, msg::kFlashInit}, false, same},
      {"8 the loader stops answering", Cable::Data, "stop-ack=2", Op::Flash, "[INTELHEX]0000\n" + small,
       {IDYES, IDYES}, {msg::kSureToFlash, msg::kEraseAndFlash, msg::kWritingDevice, "Loaded Flash: bytes =18"},
       false, [&](const Memory& m) { return HexOver(Head(hex04, 3), Erased(m, 0, 0)); }},
      {"9 table starting off a page boundary", Cable::Data, "", Op::Flash,
       "[TABLE][01FC][4][2]\n\ndb 'WXYZ'\ndb 'ABCD'\n", {IDYES, IDYES},
       {msg::kSureToFlash, msg::kEraseAndFlash, "Loaded Flash: bytes =8"}, false, [](const Memory& m) {
         Memory after = Erased(m, 0, 1);
         const std::string data = "WXYZABCD";
         std::copy(data.begin(), data.end(), after.begin() + 0x1FC);
         return after;
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.legend);
    orv::sim::UnitOptions unit;
    unit.cable = c.cable;
    std::string error;
    ASSERT_TRUE(!*c.fault || orv::sim::ApplyFault(c.fault, unit.faults, error)) << error;
    Session s(unit);
    ASSERT_TRUE(s.started);
    const Memory before = Noise(static_cast<uint32_t>(c.texts.size() * 7919 + c.file.size()));
    s.host->WithUnit([&](orv::sim::Unit& u) { u.memory() = before; });
    ASSERT_TRUE(s.Connect(4800));
    const std::string path = s.Path(c.op == Op::Flash ? "image.txt" : "backup.hex");
    std::ofstream(path, std::ios::binary) << c.file;
    const int64_t heard = s.host->BytesFromPc();
    s.Click(c.op == Op::Flash ? &CViewerDlg::OnFlash : &CViewerDlg::OnSave, path, c.answers);

    Texts texts = s.w.modal.Texts();
    for (size_t i = 0; i < texts.size() && i < c.texts.size(); ++i) {
      if (c.texts[i].empty()) texts[i].clear();  // the CRC of a memory not worked out here
    }
    EXPECT_EQ(texts, c.texts);
    EXPECT_TRUE(s.w.modal.answers.empty() && s.w.modal.unexpected.empty());
    EXPECT_EQ(s.w.dlg->m_bPortBusy, 0);
    EXPECT_EQ(s.Baud(), 4800) << "the port is back at the unit's rate";
    EXPECT_EQ(c.sendsNothing ? s.host->BytesFromPc() : heard, heard) << "nothing reached the unit";
    EXPECT_TRUE(s.UnitMemory() == c.memoryAfter(before)) << "the unit's memory";
    EXPECT_EQ(c.op == Op::Save ? ReadFile(path) : kOldHex, kOldHex) << "the backup is as it was";
    if (c.cable == Cable::Data) {
      EXPECT_TRUE(s.LiveViewRuns()) << "without a reconnect";
      EXPECT_FALSE(s.host->WithUnit([](orv::sim::Unit& u) { return u.LoaderOpen(); })) << "$PZTQC,G last";
    }
  }
}

}  // namespace
}  // namespace flashtest
