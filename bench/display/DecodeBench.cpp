// How many 300-byte blocks the decoder takes per second on each display
// type. The unit sends about one block a second at 4800 baud and a few
// hundred at 230400, so anything in the hundred thousands leaves the receive
// thread idle. Run a Release build for figures worth comparing.
#include <chrono>
#include <cstdio>
#include <string>

#include "display/DisplayModel.h"

namespace {

// What one block of the unit's stream holds: a transducer or two, the sonar
// sentences, a fix, the status sentence, and a sentence cut by the block's end.
std::string RealisticBlock() {
  const char* const lines[] = {
      "$IIXDR,C,0071.5,C,ENGTMP3*65", "$IIXDR,P,1.02,B,BARO4*1B", "$SDVHW,,T,303,M,06.99,N,12.61,K*70",
      "$SDDBT,7.8,f,2.4,M,1.3,F*0D",  "$SDMTW,12.5,C*02",
      "$GPRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*44",
      "$PZTQS,RUNNING OK",            "$GPGLL,4916.45,N,12311.12,W,225444,A*31",
      "$SDVLW,2354.92,N,2338.533,N*6E",
  };
  std::string block;
  for (int i = 0; block.size() < 300; ++i) block += std::string(lines[i % 9]) + "\r\n";
  block.resize(300);
  return block;
}

}  // namespace

int main() {
  const std::string block = RealisticBlock();
  orv::DisplayModel model;
  model.SetDefaultPages();
  model.ResetDisplay();

  constexpr int kBlocks = 200000;
  std::printf("%-12s %14s\n", "display type", "blocks/second");
  for (int type = 0; type < orv::kPages; ++type) {
    model.m_nDisplayType = type;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kBlocks; ++i) model.DecodeBlock(block);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%-12s %14.0f\n", orv::kDisplayTypeName[type], kBlocks / took.count());
  }
  // Keep the decoded cells observable so the loop cannot be dropped.
  long sum = 0;
  for (const int cell : model.m_nGlyphOffset) sum += cell;
  std::printf("(cell checksum %ld)\n", sum);
  return 0;
}
