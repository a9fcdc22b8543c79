// CONNECT, STOP and PAGE against the simulated unit on a real pseudo-terminal.
#include <gtest/gtest.h>

#include "Waits.h"
#include "WindowFixture.h"
#include "res/Resources.h"
#include "sim/PtyHost.h"

namespace {

using orv::sim::PtyHost;

struct Unit {
  explicit Unit(orv::sim::UnitOptions options = {}) : host(std::move(options), orv::sim::HostOptions{}) {
    std::string error;
    started = host.Start(error);
    EXPECT_TRUE(started) << error;
  }
  std::string Status() {
    return host.WithUnit([](orv::sim::Unit& u) { return u.StatusText(); });
  }
  PtyHost host;
  bool started = false;
};

bool SamePicture(const QPixmap& a, int resourceId) { return a.toImage() == res::Load(resourceId).toImage(); }

TEST(Connection, ConnectSendsGThreeTimesAndTheCaptionFollowsTheUnit) {
  Unit unit;
  WindowFixture w;
  w.resolve = [&](const std::string&) { return unit.host.SlavePath(); };
  w.dlg->OnConnect();
  EXPECT_EQ(w.dlg->windowTitle(), "connected") << "the status part is empty until the first block";
  EXPECT_TRUE(w.dlg->m_bConnected);
  EXPECT_TRUE(SamePicture(w.dlg->m_btnConnect.NormalPicture(), res::kConnectGreen));
  EXPECT_TRUE(SamePicture(w.dlg->m_btnConnect.PressedPicture(), res::kConnectRed));
  ASSERT_TRUE(WaitFor([&] { return unit.host.BytesFromPc() >= 24; }));
  EXPECT_EQ(unit.host.BytesFromPc(), 24);
  ASSERT_TRUE(WaitFor([&] { return w.dlg->windowTitle() == QString::fromStdString(unit.Status()) + "connected"; }))
      << w.dlg->windowTitle().toStdString();
  EXPECT_EQ(unit.host.BytesFromPc(), 24) << "nothing else was written";
  EXPECT_TRUE(w.modal.messages.empty());

  w.dlg->OnConnect();
  EXPECT_EQ(w.dlg->windowTitle(), "disconnected");
  EXPECT_FALSE(w.dlg->m_hPort);
  EXPECT_FALSE(w.dlg->m_hReadThread.joinable()) << "disconnect waits for the thread";
  for (int cell : w.dlg->m_model.m_nGlyphOffset) ASSERT_EQ(cell, orv::kDashOffset);
  EXPECT_TRUE(SamePicture(w.dlg->m_btnConnect.NormalPicture(), res::kConnectRed));
  EXPECT_TRUE(SamePicture(w.dlg->m_btnConnect.PressedPicture(), res::kConnectRed));
}

TEST(Connection, StopAndPageWorkTheUnitsMenu) {
  Unit unit;
  WindowFixture w;
  w.resolve = [&](const std::string&) { return unit.host.SlavePath(); };

  w.dlg->OnStop();
  w.dlg->OnPage();
  EXPECT_EQ(unit.host.BytesFromPc(), 0) << "disconnected: nothing written";
  EXPECT_TRUE(w.modal.messages.empty());

  w.dlg->OnConnect();
  ASSERT_TRUE(WaitFor([&] { return unit.host.BytesFromPc() == 24; }));
  const std::string before = unit.Status();
  w.dlg->OnPage();  // SCROLL
  ASSERT_TRUE(WaitFor([&] { return unit.host.BytesFromPc() == 32; }));
  ASSERT_TRUE(WaitFor([&] { return unit.Status() != before; }));
  const std::string scrolled = unit.Status();
  w.dlg->OnStop();  // SELECT
  ASSERT_TRUE(WaitFor([&] { return unit.host.BytesFromPc() == 40; }));
  ASSERT_TRUE(WaitFor([&] { return unit.Status() != scrolled; }));
  EXPECT_FALSE(w.dlg->m_btnStop.isDown()) << "released after sending";
  ASSERT_TRUE(WaitFor([&] { return w.dlg->windowTitle().toStdString() == unit.Status() + "connected"; }))
      << "the unit's menu shows in the caption";
  EXPECT_TRUE(w.modal.messages.empty());
}

TEST(Connection, MissingDeviceFailsTwiceThenClosesThenTriesAgain) {
  WindowFixture w;
  w.dlg->OnConnect();
  ASSERT_EQ(w.modal.Texts(), (std::vector<std::string>{"Unable to open the port", "Unable to Initialize  the port"}));
  EXPECT_EQ(w.modal.messages[0].caption, "Error");
  EXPECT_TRUE(w.dlg->m_bConnected) << "the next press closes";
  EXPECT_TRUE(SamePicture(w.dlg->m_btnConnect.NormalPicture(), res::kConnectRed));
  EXPECT_TRUE(SamePicture(w.dlg->m_btnConnect.PressedPicture(), res::kConnectGreen));
  EXPECT_EQ(w.dlg->windowTitle(), "disconnected");

  // The writer gives up at once instead of waiting on a port that is not there.
  w.dlg->OnStop();
  ASSERT_EQ(w.modal.messages.size(), 3u);
  EXPECT_EQ(w.modal.messages[2].text.rfind("Unable to write to serial port: code =", 0), 0u);

  w.modal.Clear();
  w.dlg->OnConnect();
  EXPECT_TRUE(w.modal.messages.empty()) << "the second press only closes";
  EXPECT_FALSE(w.dlg->m_bConnected);
  for (int cell : w.dlg->m_model.m_nGlyphOffset) ASSERT_EQ(cell, orv::kDashOffset);

  w.dlg->OnConnect();
  EXPECT_EQ(w.modal.Texts().size(), 2u) << "the third press tries again";
}

TEST(Connection, PortIndexNamesTheDevice) {
  WindowFixture w;
  std::vector<std::string> asked;
  w.resolve = [&](const std::string& name) {
    asked.push_back(name);
    return "/nonexistent/" + name;
  };
  for (int index : {7, 0, 11}) {
    w.dlg->m_nPortIndex = index;
    w.dlg->OnConnect();
    w.dlg->OnConnect();
  }
  EXPECT_EQ(asked, (std::vector<std::string>{"COM8:", "COM1:", "COM12:"}));
}

TEST(Connection, DeviceGoingAwayEndsTheThreadAndReconnectWorks) {
  auto unit = std::make_unique<Unit>();
  WindowFixture w;
  std::string path = unit->host.SlavePath();
  w.resolve = [&](const std::string&) { return path; };
  w.dlg->OnConnect();
  ASSERT_TRUE(WaitFor([&] { return !w.CaptionStatus().empty(); }, 5000)) << "data flows";

  // The adapter is pulled: the far end of the line disappears.
  unit.reset();
  ASSERT_TRUE(WaitFor([&] { return !w.dlg->m_bReadThreadRunning; }, 2000)) << "the receive thread ends by itself";
  EXPECT_TRUE(w.modal.messages.empty()) << "a failed read ends the thread without a message";

  w.dlg->OnConnect();  // closes
  EXPECT_FALSE(w.dlg->m_bConnected);
  Unit again;
  path = again.host.SlavePath();
  w.dlg->OnConnect();
  EXPECT_TRUE(w.dlg->m_bConnected);
  EXPECT_EQ(w.dlg->windowTitle(), "connected");
  ASSERT_TRUE(WaitFor([&] { return again.host.BytesFromPc() == 24; }));
  ASSERT_TRUE(WaitFor([&] { return w.dlg->windowTitle() != "connected"; })) << "data flows again";
  EXPECT_TRUE(w.modal.messages.empty());
}

TEST(Connection, ShutdownWhileConnectedLeavesNoThread) {
  Unit unit;
  WindowFixture w;
  w.resolve = [&](const std::string&) { return unit.host.SlavePath(); };
  w.dlg->OnConnect();
  ASSERT_TRUE(WaitFor([&] { return !w.CaptionStatus().empty(); }));
  w.dlg->done(IDCANCEL);
  EXPECT_FALSE(w.dlg->m_hReadThread.joinable());
  EXPECT_FALSE(w.dlg->m_bReadThreadRunning);
  EXPECT_TRUE(QFile::exists(TestSettingsFile()));
}

}  // namespace
