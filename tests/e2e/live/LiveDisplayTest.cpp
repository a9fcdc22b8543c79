// The display filled from the unit's stream equals what the decoder makes
// of the same 300-byte blocks: quorvel-sim replays a known file, which it
// starts with the first G command, so the window's blocks begin at the
// file's first byte.
#include <QFile>
#include <gtest/gtest.h>

#include "SimProcess.h"
#include "Waits.h"
#include "WindowFixture.h"
#include "common/Text.h"

namespace {

std::string Sentence(const std::string& body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  return "$" + body + orv::Format("*%02X\r\n", sum);
}

// A stream with every sentence type the pages know, a status sentence now
// and then, cut to exactly `blocks` blocks of 300 bytes. Values change from
// one round to the next, so the display after the last block is its own.
std::string KnownStream(int blocks) {
  std::string out;
  for (int i = 0; out.size() < static_cast<size_t>(300 * blocks); ++i) {
    const int v = i % 100;
    out += Sentence(orv::Format("IIXDR,C,00%02d.5,C,ENGTMP3", v));
    out += Sentence(orv::Format("IIXDR,P,00%02d.7,B,OILPRS4", v));
    out += Sentence(orv::Format("SDVHW,2%02d.1,T,243.8,M,6.2,N,11.5,K", v));
    out += Sentence(orv::Format("SDDBT,%d.8,f,2.4,M,1.3,F", v));
    out += Sentence(orv::Format("SDMTW,1%d.5,C", v % 10));
    out += Sentence(orv::Format("IIXDR,U,00%02d.9,V,BATVLTC", v));
    out += Sentence(orv::Format("GPRMC,1235%02d.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", v % 60));
    out += Sentence(orv::Format("GPGLL,4916.%02d,N,12311.12,W,225444,A", v));
    out += Sentence(orv::Format("SDVLW,12%02d.5,N,12.3,N", v));
    out += Sentence("PZTQS,ECO RUN,1");
  }
  out.resize(static_cast<size_t>(300 * blocks));
  return out;
}

std::string WriteFile(const QString& dir, const std::string& bytes) {
  const QString path = dir + "/replay.nmea";
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  return path.toStdString();
}

void ExpectSameDisplay(const orv::DisplayModel& expected, CViewerDlg& dlg, const char* legend) {
  std::lock_guard<std::mutex> lock(dlg.m_lock);
  for (int i = 0; i < orv::kCells; ++i) {
    ASSERT_EQ(dlg.m_model.m_nGlyphOffset[i], expected.m_nGlyphOffset[i]) << legend << ": cell " << i;
  }
  for (int s = 0; s < orv::kSlots; ++s) {
    EXPECT_EQ(dlg.m_model.m_strSlotSentence[s], expected.m_strSlotSentence[s]) << legend << ": raw slot " << s;
  }
}

TEST(LiveDisplay, EachDisplayTypeShowsWhatTheDecoderMakesOfTheBlocks) {
  constexpr int kBlocks = 6;
  const std::string stream = KnownStream(kBlocks);
  for (int type = 0; type < orv::kPages; ++type) {
    WindowFixture w;
    const std::string replay = WriteFile(w.workDir.path(), stream);
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--replay", replay, "--baud", "230400"}));
    w.resolve = [&](const std::string&) { return sim.SlavePath(); };
    w.dlg->m_nBaudRate = 230400;
    for (int i = 0; i < type; ++i) w.dlg->OnDisplay();

    orv::DisplayModel expected;
    expected.SetDefaultPages();
    expected.ResetDisplay();
    expected.ClearCells();  // what OnDisplay leaves; type 0 starts from the dashes instead
    if (type == 0) expected.ResetDisplay();
    expected.m_nDisplayType = type;
    for (int b = 0; b < kBlocks; ++b) expected.DecodeBlock(stream.substr(static_cast<size_t>(300 * b), 300));

    w.dlg->OnConnect();
    // The values of the last block appear nowhere before it, so the display
    // equals the decoder's only once every block is in.
    ASSERT_TRUE(WaitFor([&] {
      std::lock_guard<std::mutex> lock(w.dlg->m_lock);
      return w.dlg->m_model.m_strSlotSentence[2] == expected.m_strSlotSentence[2] &&
             std::equal(std::begin(w.dlg->m_model.m_nGlyphOffset), std::end(w.dlg->m_model.m_nGlyphOffset),
                        std::begin(expected.m_nGlyphOffset));
    }, 10000)) << "display type " << type;
    ExpectSameDisplay(expected, *w.dlg, orv::kDisplayTypeName[type]);
    EXPECT_EQ(w.CaptionStatus(), "ECO RUN");
    w.dlg->OnConnect();
  }
}

}  // namespace
