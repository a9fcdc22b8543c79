// CONNECT, STOP and PAGE against the simulated unit on a real
// pseudo-terminal, and what the window says about a line that is silent,
// garbled, held by another program, pulled out and put back.
#include <gtest/gtest.h>

#include "OtherReader.h"
#include "SimProcess.h"
#include "Waits.h"
#include "WindowFixture.h"
#include "res/Resources.h"
#include "sim/PtyHost.h"
#include "tests/support/Pty.h"

namespace {

bool Pictures(CViewerDlg& dlg, int normal, int pressed) {
  return dlg.m_btnConnect.NormalPicture().toImage() == res::Load(normal).toImage() &&
         dlg.m_btnConnect.PressedPicture().toImage() == res::Load(pressed).toImage();
}

bool AllDashes(CViewerDlg& dlg) {
  std::lock_guard<std::mutex> lock(dlg.m_lock);
  return std::all_of(std::begin(dlg.m_model.m_nGlyphOffset), std::end(dlg.m_model.m_nGlyphOffset),
                     [](int cell) { return cell == orv::kDashOffset; });
}

TEST(Connection, ConnectSendsGThreeTimesAndTheCaptionFollowsTheUnit) {
  orv::sim::PtyHost host({}, orv::sim::HostOptions{});
  std::string error;
  ASSERT_TRUE(host.Start(error)) << error;
  auto status = [&host] { return host.WithUnit([](orv::sim::Unit& u) { return u.StatusText(); }); };
  WindowFixture w;
  w.resolve = [&](const std::string&) { return host.SlavePath(); };
  w.dlg->OnConnect();
  EXPECT_EQ(w.dlg->windowTitle(), "connected") << "the status part is empty until the first block";
  EXPECT_TRUE(Pictures(*w.dlg, res::kConnectGreen, res::kConnectRed));
  ASSERT_TRUE(WaitFor([&] { return host.BytesFromPc() >= 24; }));
  ASSERT_TRUE(WaitFor([&] { return w.dlg->windowTitle() == QString::fromStdString(status()) + "connected"; }))
      << w.dlg->windowTitle().toStdString();
  EXPECT_EQ(host.BytesFromPc(), 24) << "exactly the three G commands";

  // The unit's menu follows SCROLL and SELECT.
  const std::string before = status();
  w.dlg->OnPage();
  ASSERT_TRUE(WaitFor([&] { return host.BytesFromPc() == 32 && status() != before; }));
  const std::string scrolled = status();
  w.dlg->OnStop();
  ASSERT_TRUE(WaitFor([&] { return host.BytesFromPc() == 40 && status() != scrolled; }));
  EXPECT_FALSE(w.dlg->m_btnStop.isDown()) << "released after sending";
  ASSERT_TRUE(WaitFor([&] { return w.dlg->windowTitle().toStdString() == status() + "connected"; }));
  EXPECT_TRUE(w.modal.messages.empty());

  w.dlg->OnConnect();
  EXPECT_EQ(w.dlg->windowTitle(), "disconnected");
  EXPECT_FALSE(w.dlg->m_hPort);
  EXPECT_FALSE(w.dlg->m_hReadThread.joinable()) << "disconnect waits for the thread";
  EXPECT_TRUE(AllDashes(*w.dlg));
  EXPECT_TRUE(Pictures(*w.dlg, res::kConnectRed, res::kConnectRed));
  w.dlg->OnStop();
  EXPECT_EQ(host.BytesFromPc(), 40) << "disconnected: nothing written";

  // Closing the window while connected leaves no thread behind.
  w.dlg->OnConnect();
  ASSERT_TRUE(WaitFor([&] { return w.dlg->windowTitle() != "connected"; }));
  w.dlg->done(IDCANCEL);
  EXPECT_FALSE(w.dlg->m_hReadThread.joinable());
}

TEST(Connection, MissingDeviceFailsTwiceThenCloses) {
  WindowFixture w;  // every port name leads to /nonexistent/
  w.dlg->m_nPortIndex = 11;
  w.dlg->OnConnect();
  ASSERT_EQ(w.modal.Texts(), (std::vector<std::string>{"Unable to open the port\n\nThere is no device /nonexistent/COM12:.",
                                                       "Unable to Initialize  the port"}));
  EXPECT_TRUE(w.dlg->m_bConnected) << "the next press closes";
  EXPECT_TRUE(Pictures(*w.dlg, res::kConnectRed, res::kConnectGreen));
  EXPECT_EQ(w.dlg->windowTitle(), "disconnected");
  w.dlg->OnStop();  // the writer gives up at once on a port that is not there
  EXPECT_EQ(w.modal.messages.at(2).text.rfind("Unable to write to serial port: code =", 0), 0u);

  w.modal.Clear();
  w.dlg->OnConnect();
  EXPECT_TRUE(w.modal.messages.empty()) << "the second press only closes";
  EXPECT_FALSE(w.dlg->m_bConnected);
}

// Each line as the far end leaves it after CONNECT; the caption within a
// bound of the silence (shortened to 300 ms here) plus one wait slice, or
// two blocks of bytes, and every cell a dash.
TEST(Connection, TheCaptionTellsWhatIsWrongWithTheLine) {
  std::string garbage(600, 0);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>('%' + (i * 7919) % 90);
  const struct {
    const char* legend;
    std::string sent;
    std::string caption;
    std::string message;
  } rows[] = {
      {"silent line", "", "no data..connected", ""},
      {"bytes without NMEA (wrong rate)", garbage, "no NMEA - baud?..connected", ""},
      {"read by another program", "", "disconnected", " is in use by cat (process "},
  };
  for (const auto& row : rows) {
    orv::test::Pty line;
    WindowFixture w;
    w.dlg->m_env.link.silentAfterMs = 300;
    w.resolve = [&](const std::string&) { return line.SlavePath(); };
    std::unique_ptr<OtherReader> other;
    if (!row.message.empty()) other = std::make_unique<OtherReader>(line.SlavePath());
    w.dlg->OnConnect();
    line.Send(row.sent);
    EXPECT_TRUE(WaitFor([&] { return w.dlg->windowTitle().toStdString() == row.caption; }))
        << row.legend << ": " << w.dlg->windowTitle().toStdString();
    EXPECT_TRUE(AllDashes(*w.dlg)) << row.legend;
    const std::string first = w.modal.messages.empty() ? "" : w.modal.messages[0].text;
    EXPECT_EQ(first.empty(), row.message.empty()) << row.legend << ": " << first;
    EXPECT_NE(first.find(row.message), std::string::npos) << row.legend << ": " << first;
  }
}

// The adapter is pulled out and put back: the window says the line is lost
// within a second of it, blanks the readings, and resumes by itself within
// one reconnect try of its return. CONNECT while it waits stops the waiting.
TEST(Connection, UnplugShowsTheLossAndReplugResumesTheLiveView) {
  WindowFixture w;
  const std::string byId = w.workDir.path().toStdString() + "/usb-Quorvel-if00-port0";
  w.resolve = [&](const std::string&) { return byId; };
  auto sim = std::make_unique<SimProcess>();
  ASSERT_TRUE(sim->Start({"--link", byId}));
  w.dlg->OnConnect();
  ASSERT_TRUE(WaitFor([&] { return !AllDashes(*w.dlg); }, 10000)) << "data flows";

  for (const char* after : {"re-plug", "CONNECT"}) {
    sim.reset();  // pulled out: its end of the line and the by-id link go
    ASSERT_TRUE(WaitFor([&] { return w.dlg->windowTitle() == "line lost..waiting"; }))
        << after << ": " << w.dlg->windowTitle().toStdString();
    EXPECT_TRUE(AllDashes(*w.dlg));
    EXPECT_TRUE(Pictures(*w.dlg, res::kConnectRed, res::kConnectRed));
    EXPECT_FALSE(w.dlg->m_hPort) << "closed at once, so the device's name is free again";
    if (std::string(after) == "CONNECT") break;

    sim = std::make_unique<SimProcess>();
    ASSERT_TRUE(sim->Start({"--link", byId}));
    ASSERT_TRUE(WaitFor([&] { return w.dlg->windowTitle().endsWith("connected") && !AllDashes(*w.dlg); }, 10000))
        << w.dlg->windowTitle().toStdString();
    EXPECT_TRUE(Pictures(*w.dlg, res::kConnectGreen, res::kConnectRed));
  }
  w.dlg->OnConnect();
  EXPECT_EQ(w.dlg->windowTitle(), "disconnected");
  EXPECT_FALSE(w.dlg->m_reconnectTimer.isActive()) << "no more tries";
  EXPECT_FALSE(w.dlg->m_bConnected);
  EXPECT_TRUE(w.modal.messages.empty()) << "a line loss shows in the window, not in a message box";
}

}  // namespace
