// RECORD and SAVE with the simulated unit streaming. The recorder's clock is
// the test's, so an interval passes when the test says it does.
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "Waits.h"
#include "WindowFixture.h"
#include "res/Resources.h"
#include "sim/PtyHost.h"
#include "tests/support/Pty.h"

namespace {

struct StreamingWindow {
  StreamingWindow() : host(Fast(), orv::sim::HostOptions{}) {
    std::string error;
    EXPECT_TRUE(host.Start(error)) << error;
    w.resolve = [this](const std::string&) { return host.SlavePath(); };
    w.dlg->m_nBaudRate = 230400;
    w.now = 1'700'000'000;
  }
  static orv::sim::UnitOptions Fast() {
    orv::sim::UnitOptions unit;
    unit.unitBaud = 230400;
    return unit;
  }
  QByteArray File() {
    QFile file(QString::fromStdString(w.dlg->m_strCaptureFile));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
  }
  WindowFixture w;
  orv::sim::PtyHost host;
};

int RecordCount(CViewerDlg& dlg) {
  std::lock_guard<std::mutex> lock(dlg.m_captureLock);
  return dlg.m_nRecordCount;
}

// One record per interval in the exact format, then a write that fails
// (here the file-size limit): recording stops and says so on the button and
// in the caption, every record before the failure stays whole on disk, and
// the next press, meant to stop, empties nothing without the user's say: No
// keeps the records and records beside them.
TEST(Recording, OnePerIntervalExactOnDiskAndAFailedWriteCostsNoRecord) {
  StreamingWindow s;
  CViewerDlg& dlg = *s.w.dlg;
  dlg.m_nCaptureSeconds = 1;
  dlg.OnConnect();
  dlg.OnRecord();
  EXPECT_EQ(dlg.windowTitle().toStdString().substr(dlg.windowTitle().size() - 12), " recording .");
  EXPECT_TRUE(dlg.m_btnRecord.NormalPicture().toImage() == res::Load("RECORDD").toImage());

  for (int n = 1; n <= 3; ++n) {
    s.w.now += 1;
    ASSERT_TRUE(WaitFor([&] { return RecordCount(dlg) == n; })) << "record " << n;
    ASSERT_TRUE(WaitFor([&] { return dlg.windowTitle().endsWith(QString(" recording ... %1").arg(n)); }));
  }
  // No time passes: no record, however many blocks come.
  const qint64 sent = s.host.BytesToPc();
  ASSERT_TRUE(WaitFor([&] { return s.host.BytesToPc() > sent + 3000; }));
  EXPECT_EQ(RecordCount(dlg), 3);
  const QByteArray before = s.File();
  const QList<QByteArray> lines = before.split('\n');
  ASSERT_EQ(lines.size(), 4) << before.toStdString();
  const QRegularExpression record(R"(^\d{14},000300,[^\r\n]*,\r$)");
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(record.match(QString::fromLatin1(lines[i])).hasMatch()) << lines[i].toStdString();
    EXPECT_TRUE(lines[i].contains("$IIXDR,")) << "the default page feeds transducer slots";
  }
  EXPECT_TRUE(lines[3].isEmpty()) << "every line ends in CR LF";
  EXPECT_TRUE(s.w.modal.messages.empty());

  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = static_cast<rlim_t>(before.size() + 40);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  s.w.now += 1;
  const bool failed = WaitFor([&] { return dlg.windowTitle().endsWith(" recording stopped ... 3"); });
  setrlimit(RLIMIT_FSIZE, &old);
  ASSERT_TRUE(failed) << dlg.windowTitle().toStdString();
  EXPECT_EQ(s.w.modal.Texts(), std::vector<std::string>{"Error Writing to file"});
  EXPECT_FALSE(dlg.m_bRecording);
  EXPECT_TRUE(dlg.m_btnRecord.NormalPicture().toImage() == res::Load("RECORDU").toImage());
  EXPECT_EQ(s.File(), before) << "the records before the failure, whole, and nothing of the failed one";

  s.w.modal.answers = {IDNO};
  dlg.OnRecord();
  EXPECT_TRUE(dlg.m_bRecording);
  ASSERT_EQ(s.w.modal.messages.size(), 2u);
  EXPECT_EQ(s.w.modal.messages[1].caption, "Status");
  EXPECT_EQ(dlg.m_strCaptureFile, "Quorvel_Capture_2.txt");
  EXPECT_EQ(QFile("Quorvel_Capture.txt").size(), before.size()) << "kept";
  dlg.OnRecord();  // stop
  EXPECT_FALSE(dlg.m_bRecording);
  EXPECT_EQ(RecordCount(dlg), 0);
  EXPECT_EQ(dlg.m_strCaptionState, "");
}

// On a line that brings nothing, so that only the test fills the slots: the
// two refusals, a start that empties slots 1 to 15 (slot 0 is the page's
// own), and a recording that a disconnect left running stopped by the next
// press.
TEST(Recording, StartAndStopOnAQuietLine) {
  orv::test::Pty line;
  WindowFixture w;
  CViewerDlg& dlg = *w.dlg;
  w.resolve = [&](const std::string&) { return line.SlavePath(); };
  dlg.OnConnect();
  const struct {
    std::string path;
    const char* message;
  } refusals[] = {{"", "No Capture file path specified"}, {"/nonexistent/dir/capture.txt", "Could not Open Capture File"}};
  for (const auto& r : refusals) {
    w.modal.Clear();
    dlg.m_strCaptureFile = r.path;
    dlg.OnRecord();
    EXPECT_EQ(w.modal.Texts(), std::vector<std::string>{r.message}) << r.path;
    EXPECT_EQ(w.modal.messages.back().caption, "Error") << r.path;
    EXPECT_FALSE(dlg.m_bRecording) << r.path;
  }
  w.modal.Clear();
  dlg.m_strCaptureFile = "Quorvel_Capture.txt";
  const std::string xdr0 = "$IIXDR,C,0071.5,C,ENGTMP0*6D\r";
  for (std::string& slot : dlg.m_model.m_strSlotSentence) slot = xdr0;
  dlg.OnRecord();
  {
    std::lock_guard<std::mutex> lock(dlg.m_lock);
    for (int i = 0; i < orv::kSlots; ++i) EXPECT_EQ(dlg.m_model.m_strSlotSentence[i], i ? "" : xdr0) << "slot " << i;
  }
  dlg.OnConnect();
  ASSERT_TRUE(dlg.m_bRecording) << "a disconnect leaves it recording";
  dlg.OnRecord();
  EXPECT_FALSE(dlg.m_bRecording);
  EXPECT_EQ(dlg.windowTitle(), "disconnected");
  EXPECT_TRUE(w.modal.messages.empty());
}

TEST(Save, ChoosesTheCaptureFileOrComplains) {
  struct Case {
    const char* legend;
    std::deque<std::string> answer;
    std::string captureFile;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"a .txt name", {"/tmp/x/run1.txt"}, "/tmp/x/run1.txt", {}},
      {"upper-case .TXT", {"/tmp/x/run1.TXT"}, "Quorvel_Capture.txt", {"File type must be *.txt or *.hex"}},
      {"a dot in a directory only", {"/tmp/x.txt/run"}, "Quorvel_Capture.txt", {"File type must be *.txt or *.hex"}},
  };
  for (const Case& c : cases) {
    WindowFixture w;
    w.modal.files = c.answer;
    w.dlg->OnSave();
    EXPECT_EQ(w.dlg->m_strCaptureFile, c.captureFile) << c.legend;
    EXPECT_EQ(w.modal.Texts(), c.messages) << c.legend;
  }
}

}  // namespace
