// SAVE to a ".hex" name through the window: the whole memory read back
// over the FLASH cable into a file that holds it.
#include <gtest/gtest.h>

#include <cstdio>

#include "FlashSession.h"
#include "FlashTesting.h"

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
    EXPECT_TRUE(orv::flash::test::HexOver(orv::flash::test::ReadFile(path), {}) == memory);
    return;
  }
}

}  // namespace
}  // namespace flashtest
