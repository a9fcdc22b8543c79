// libFuzzer harness: the first byte picks the display type and whether the
// pages come from the built-in table or from a page-file text; a zero byte
// (or the input's end) ends that text, and the bytes after it are the blocks,
// 300 at a time, decoded one after another into the same display.
//   cmake -DCMAKE_CXX_COMPILER=clang++ -DORVANTA_FUZZ=ON ...
//   orv_display_fuzzer -max_len=1200 corpus/
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "display/DisplayModel.h"
#include "display/PageFile.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  orv::DisplayModel model;
  model.m_nDisplayType = static_cast<int>(data[0] % 6) - 1;

  size_t blocks = 0;
  if (data[0] & 0x80) {
    const size_t end = input.find('\0');
    const int pages = orv::ApplyPageText(model, input.substr(0, end));
    Check(pages >= 0 && pages <= orv::kPages);
    blocks = end == std::string::npos ? input.size() : end + 1;
  } else {
    model.SetDefaultPages();
  }
  model.ResetDisplay();

  for (size_t at = blocks; at < input.size(); at += 300) {
    const std::string block = input.substr(at, 300);
    const std::string cut = block.substr(0, block.find('\0'));
    Check(model.DecodeBlock(block));
    for (const int offset : model.m_nGlyphOffset) {
      Check(offset >= 0 && offset < orv::kGlyphCount * orv::kGlyphWidth && offset % orv::kGlyphWidth == 0);
    }
    for (const std::string& raw : model.m_strSlotSentence) {
      Check(raw.empty() || raw.rfind("before", 0) == 0 || cut.find(raw) != std::string::npos);
    }
    for (std::string& raw : model.m_strSlotSentence) raw = "before";
  }
  return 0;
}
