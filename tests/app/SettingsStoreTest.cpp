// The four stored values and the [Ports] group through the real store (an
// INI file in this test run's own config directory), read at start-up and
// written at the end.
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestEnv.h"
#include "WindowFixture.h"
#include "app/Settings.h"

namespace {

void WriteStore(const std::string& text) {
  ClearTestSettings();
  QDir().mkpath(TestConfigDir() + "/Veltrane");
  QFile file(TestSettingsFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text.data(), static_cast<qint64>(text.size()));
}

// Whatever the store and the page file hold, the window starts (within a
// bound: SIGALRM ends a start-up that blocks) with every index on its list.
TEST(SettingsStore, ExtremesAndOddFilesStillStartTheWindow) {
  const struct {
    const char* legend;
    std::string store;
    const char* pageFile;  // "fifo", the file's text, or null: none
    int port, baud, interval, rate, seconds;
    const char* slotKey;  // page 0, slot 0: the defaults', the file's, or none after a read error
    std::vector<std::string> messages;
  } rows[] = {
      {"every index at INT32_MAX", "ComPort=2147483647\nBaudRate=2147483647\nCaptureInterval=2147483647\n", nullptr,
       7, 7, 7, 230400, 600, "$IIXDR,", {}},
      {"a page file", "", "[Engine]1,2,3,4,\n", 7, 1, 1, 4800, 2, "#00::", {}},
      {"a FIFO as the page file", "", "fifo", 7, 1, 1, 4800, 2, "", {"Error Reading from file"}},
  };
  for (const auto& row : rows) {
    WriteStore(row.store);
    alarm(10);
    WindowFixture w(true, true, [&row] {
      const std::string kind = row.pageFile ? row.pageFile : "";
      if (kind == "fifo") mkfifo("Quorvel_Page_File.txt", 0600);
      QFile file("Quorvel_Page_File.txt");
      if (kind.find(',') != std::string::npos && file.open(QIODevice::WriteOnly)) file.write(row.pageFile);
    });
    alarm(0);
    CViewerDlg& d = *w.dlg;
    EXPECT_EQ(w.modal.Texts(), row.messages) << row.legend;
    EXPECT_EQ(std::vector<int>({d.m_nPortIndex, d.m_nBaudIndex, d.m_nIntervalIndex, d.m_nBaudRate, d.m_nCaptureSeconds}),
              std::vector<int>({row.port, row.baud, row.interval, row.rate, row.seconds}))
        << row.legend;
    EXPECT_EQ(d.m_model.m_strSlotKey[0][0], row.slotKey) << row.legend;
    EXPECT_EQ(d.m_model.m_strSlotKey[2][0], row.pageFile ? "" : "$SDVHW,") << row.legend << ": defaults or none";
  }
}

TEST(SettingsStore, PortPathsAndTheUsersCommentsSurviveARun) {
  const std::string ports =
      "[Ports]\n; the FTDI cable on the bench\nCOM8=/dev/serial/by-id/usb-Prolific_USB-Serial_Controller,_D-if00\n";
  WriteStore("; Quorvel on the bench PC\n[General]\nComPort=7\n\n" + ports);
  EXPECT_EQ(SettingsStore::DevicePath("COM8:"), "/dev/serial/by-id/usb-Prolific_USB-Serial_Controller,_D-if00");
  EXPECT_EQ(SettingsStore::DevicePath("COM3:"), "/dev/ttyS2");
  { WindowFixture w(true, true); }
  QFile file(TestSettingsFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll().toStdString(),
            "; Quorvel on the bench PC\n[General]\nComPort=7\nBaudRate=1\nCaptureInterval=1\nDisplayType=0\n\n" + ports);
}

}  // namespace
