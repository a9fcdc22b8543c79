// SAVE to a ".hex" name through the window: the whole memory read back
// over the FLASH cable into a file srec_cat reads, every record's address
// painted in row 0 as it goes.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FlashSession.h"
#include "FlashTesting.h"
#include "common/Text.h"

namespace flashtest {
namespace {

TEST(FlashReadback, SaveReadsTheWholeMemoryIntoAFileFlashTakes) {
  orv::sim::Memory memory;
  uint32_t seed = 21;
  for (uint8_t& b : memory) b = static_cast<uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
  const std::vector<std::string> texts = {orv::flash::msg::kSaveFlashData, "OCD VERSION: 1.2",
                                          orv::flash::test::CrcText(memory)};
  // 4096 exchanges, each bounded by the debugger link's 100 + n ms: a
  // machine so busy that it held the simulated unit up longer than that is
  // no fault of the program's, and the read is made again.
  for (int attempt = 1;; ++attempt) {
    orv::sim::UnitOptions unit;
    unit.cable = orv::sim::Cable::Flash;
    Session s(unit, false);
    ASSERT_TRUE(s.started);
    s.host->WithUnit([&](orv::sim::Unit& u) { u.memory() = memory; });
    ASSERT_TRUE(s.Connect(4800));
    const std::string path = s.Path("unit.hex");
    s.Click(&CViewerDlg::OnSave, path, {IDYES});
    if (s.w.modal.Texts() != texts && attempt < 5 && s.UnitHeldUpMs() > 100) {
      std::printf("the simulated unit was held up %lld ms: read again\n", s.UnitHeldUpMs());
      continue;
    }
    EXPECT_EQ(s.w.modal.Texts(), texts) << "the simulated unit was held up " << s.UnitHeldUpMs() << " ms";
    EXPECT_EQ(s.Baud(), 4800);
    EXPECT_FALSE(s.host->WithUnit([](orv::sim::Unit& u) { return u.ocd().InDebugMode(); })) << "released";
    ASSERT_EQ(s.progress.rows.size(), 4096u);
    for (int a = 0; a < 0x10000; a += 0x1000) EXPECT_EQ(s.progress.rows[a / 16], orv::Format("FLASH %04X", a));
    EXPECT_TRUE(orv::flash::test::HexOver(orv::flash::test::ReadFile(path), {}) == memory);
    if (std::system("command -v srec_cat >/dev/null 2>&1") == 0) {
      const std::string cmd = "tail -n +2 '" + path + "' | srec_cat - -Intel -o /dev/null -Intel";
      EXPECT_EQ(std::system(cmd.c_str()), 0) << "srec_cat reads it";
    }
    return;
  }
}

}  // namespace
}  // namespace flashtest
