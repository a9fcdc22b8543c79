// The live display and the raw log: quorvel-sim replays a known file from
// the first G command on, so the window's blocks begin at the file's first
// byte and the display (on a type chosen with DISPLAY) equals what the
// decoder makes of the same 300-byte blocks, with the raw monitor open and
// the raw log on. The raw log holds the stream's sentences, and it and
// other NMEA tools replay it.
#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "LiveStream.h"
#include "SimProcess.h"
#include "WindowFixture.h"
#include "app/RawMonitorDlg.h"

namespace {

std::string ReadAll(const QString& path) {
  QFile file(path);
  file.open(QIODevice::ReadOnly);
  return file.readAll().toStdString();
}

// A window on display type 1, at 230400 bit/s to quorvel-sim replaying `file`.
struct Replay {
  explicit Replay(const std::string& file) {
    EXPECT_TRUE(sim.Start({"--replay", file, "--baud", "230400"}));
    w.resolve = [this](const std::string&) { return sim.SlavePath(); };
    w.dlg->m_nBaudRate = 230400;
    w.dlg->OnDisplay();
  }
  SimProcess sim;
  WindowFixture w;
};

TEST(LiveDisplay, TheDecodersDisplayLiveAndReplayedFromTheRawLog) {
  const std::string stream = KnownStream(6);
  const orv::DisplayModel expected = DecodedStream(stream, 1);
  QTemporaryDir dir;
  const QString rawLog = dir.path() + "/raw.nmea";
  {
    Replay live(WriteFile(dir.path() + "/stream.nmea", stream));
    CViewerDlg& dlg = *live.w.dlg;
    live.w.modal.menuChoices = {"Raw Monitor...", "Raw Log..."};
    live.w.modal.files = {rawLog.toStdString()};
    dlg.OnContextMenu(&dlg, QPoint());
    dlg.OnContextMenu(&dlg, QPoint());
    dlg.OnConnect();
    ExpectDisplay(dlg, expected, "live, with the monitor open and the raw log on");
    EXPECT_EQ(live.w.CaptionStatus(), "ECO RUN");
    const size_t sentences = static_cast<size_t>(std::count(stream.begin(), stream.end(), '\n'));
    ASSERT_TRUE(WaitFor([&] { return dlg.m_rawLog.Sentences() == static_cast<long long>(sentences); }));
    EXPECT_EQ(dlg.m_pRawMonitor->Monitor().Counts().valid, static_cast<long long>(sentences));
    live.w.modal.menuChoices = {"Stop Raw Log"};
    dlg.OnContextMenu(&dlg, QPoint());
    EXPECT_FALSE(dlg.m_rawLog.IsOpen());
    EXPECT_TRUE(live.w.modal.messages.empty());
    EXPECT_TRUE(live.w.modal.unexpected.empty());
  }
  // The stream began with a whole sentence and ended with one, so the log
  // is the stream itself.
  ASSERT_EQ(ReadAll(rawLog), stream);
  {
    Replay again(rawLog.toStdString());
    again.w.dlg->OnConnect();
    ExpectDisplay(*again.w.dlg, expected, "replayed from the raw log");
  }

  const QString gpsfake = QStandardPaths::findExecutable("gpsfake");
  if (gpsfake.isEmpty()) GTEST_SKIP() << "gpsfake (Debian package gpsd) is not installed: the raw log is not tried on it";
  const QString out = dir.path() + "/gpsfake.out";
  const std::string command = "timeout 60 " + gpsfake.toStdString() + " -1 -p -q -c 0.01 " + rawLog.toStdString() +
                              " > " + out.toStdString() + " 2>/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  // gpsd took it for an NMEA device and passed every sentence on.
  const std::string passed = ReadAll(out);
  EXPECT_NE(passed.find("\"driver\":\"NMEA0183\""), std::string::npos) << passed.substr(0, 2000);
  for (size_t at = 0, end; (end = stream.find("\r\n", at)) != std::string::npos; at = end + 2) {
    ASSERT_NE(passed.find(stream.substr(at, end - at + 2)), std::string::npos) << stream.substr(at, end - at);
  }
}

}  // namespace
