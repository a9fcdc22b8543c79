// The live display and the raw log: quorvel-sim replays a known file from
// the first G command on, so the window's blocks begin at the file's first
// byte and the display (on a type chosen with DISPLAY) equals what the
// decoder makes of the same 300-byte blocks, with the raw monitor open and
// the raw log on. The raw log holds the stream's sentences byte for byte,
// so replaying it with quorvel-sim is this very run; gpsd's gpsfake, where
// installed, takes it as an NMEA device.
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>

#include "SimProcess.h"
#include "Waits.h"
#include "WindowFixture.h"
#include "app/RawMonitorDlg.h"
#include "common/Text.h"
#include "sim/Nmea.h"
#include "tests/support/ReadFile.h"

namespace {

using orv::sim::NmeaSentence;

// A stream with every sentence type the pages know and a status sentence
// now and then, in whole sentences that end exactly on the last of
// `blocks` blocks of 300 bytes (the last sentence is a proprietary one,
// padded to fit). Values change from one round to the next, so the display
// after the last block is its own.
std::string KnownStream(int blocks) {
  const size_t size = static_cast<size_t>(300 * blocks);
  const size_t fill = NmeaSentence("PZTQF,").size();
  std::string out;
  for (int i = 0;; ++i) {
    const int v = i % 100;
    const std::string round[] = {
        NmeaSentence(orv::Format("IIXDR,C,00%02d.5,C,ENGTMP3", v)),
        NmeaSentence(orv::Format("IIXDR,P,00%02d.7,B,OILPRS4", v)),
        NmeaSentence(orv::Format("SDVHW,2%02d.1,T,243.8,M,6.2,N,11.5,K", v)),
        NmeaSentence(orv::Format("SDDBT,%d.8,f,2.4,M,1.3,F", v)),
        NmeaSentence(orv::Format("SDMTW,1%d.5,C", v % 10)),
        NmeaSentence(orv::Format("IIXDR,U,00%02d.9,V,BATVLTC", v)),
        NmeaSentence(orv::Format("GPRMC,1235%02d.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", v % 60)),
        NmeaSentence(orv::Format("GPGLL,4916.%02d,N,12311.12,W,225444,A", v)),
        NmeaSentence(orv::Format("SDVLW,12%02d.5,N,12.3,N", v)),
        NmeaSentence("PZTQS,ECO RUN,1"),
    };
    for (const std::string& s : round) {
      if (out.size() + s.size() + fill > size) {
        return out + NmeaSentence("PZTQF," + std::string(size - out.size() - fill, 'F'));
      }
      out += s;
    }
  }
}

TEST(LiveDisplay, TheDecodersDisplayLiveAndTheRawLogHoldsTheStream) {
  const std::string stream = KnownStream(6);
  // What the decoder makes of the stream's 300-byte blocks on display type 1,
  // chosen with DISPLAY after start-up.
  orv::DisplayModel expected;
  expected.SetDefaultPages();
  expected.ResetDisplay();
  expected.ClearCells();  // what OnDisplay leaves
  expected.m_nDisplayType = 1;
  for (size_t at = 0; at + 300 <= stream.size(); at += 300) expected.DecodeBlock(stream.substr(at, 300));
  QTemporaryDir dir;
  const QString rawLog = dir.path() + "/raw.nmea";
  {
    QFile file(dir.path() + "/stream.nmea");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(stream.data(), static_cast<qint64>(stream.size())) > 0);
    file.close();
    // A window on display type 1, at 230400 bit/s to quorvel-sim replaying the file.
    SimProcess sim;
    ASSERT_TRUE(sim.Start({"--replay", file.fileName().toStdString(), "--baud", "230400"}));
    WindowFixture w;
    w.resolve = [&](const std::string&) { return sim.SlavePath(); };
    CViewerDlg& dlg = *w.dlg;
    dlg.m_nBaudRate = 230400;
    dlg.OnDisplay();
    w.modal.menuChoices = {"Raw Monitor...", "Raw Log..."};
    w.modal.files = {rawLog.toStdString()};
    dlg.OnContextMenu(&dlg, QPoint());
    dlg.OnContextMenu(&dlg, QPoint());
    dlg.OnConnect();
    // Cells and raw slots: the values of the last block appear nowhere
    // before it, so they are equal only once every block is in.
    const auto same = [&] {
      std::lock_guard<std::mutex> lock(dlg.m_lock);
      return std::equal(std::begin(dlg.m_model.m_nGlyphOffset), std::end(dlg.m_model.m_nGlyphOffset),
                        std::begin(expected.m_nGlyphOffset)) &&
             std::equal(std::begin(dlg.m_model.m_strSlotSentence), std::end(dlg.m_model.m_strSlotSentence),
                        std::begin(expected.m_strSlotSentence));
    };
    EXPECT_TRUE(WaitFor(same, 10000)) << "live, with the monitor open and the raw log on";
    EXPECT_EQ(w.CaptionStatus(), "ECO RUN");
    const size_t sentences = static_cast<size_t>(std::count(stream.begin(), stream.end(), '\n'));
    ASSERT_TRUE(WaitFor([&] { return dlg.m_rawLog.Sentences() == static_cast<long long>(sentences); }));
    EXPECT_EQ(dlg.m_pRawMonitor->Monitor().Counts().valid, static_cast<long long>(sentences));
    w.modal.menuChoices = {"Stop Raw Log"};
    dlg.OnContextMenu(&dlg, QPoint());
    EXPECT_FALSE(dlg.m_rawLog.IsOpen());
    EXPECT_TRUE(w.modal.messages.empty());
    EXPECT_TRUE(w.modal.unexpected.empty());
  }
  // The stream began with a whole sentence and ended with one, so the log
  // is the stream itself.
  ASSERT_EQ(orv::test::ReadFile(rawLog.toStdString()), stream);

  const QString gpsfake = QStandardPaths::findExecutable("gpsfake");
  if (gpsfake.isEmpty()) GTEST_SKIP() << "gpsfake (Debian package gpsd) is not installed: the raw log is not tried on it";
  const QString out = dir.path() + "/gpsfake.out";
  const std::string command = "timeout 60 " + gpsfake.toStdString() + " -1 -p -q -c 0.01 " + rawLog.toStdString() +
                              " > " + out.toStdString() + " 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  // gpsd took it for an NMEA device and passed every sentence on.
  const std::string passed = orv::test::ReadFile(out.toStdString());
  EXPECT_NE(passed.find("\"driver\":\"NMEA0183\""), std::string::npos) << passed.substr(0, 2000);
  for (size_t at = 0, end; (end = stream.find("\r\n", at)) != std::string::npos; at = end + 2) {
    ASSERT_NE(passed.find(stream.substr(at, end - at + 2)), std::string::npos) << stream.substr(at, end - at);
  }
}

}  // namespace
