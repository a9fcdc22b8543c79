// The port picker over a folder of pseudo-terminals and links: what it
// lists, and the mapping it writes, which CONNECT then opens.
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "DeviceFolder.h"
#include "SimProcess.h"
#include "Waits.h"
#include "WindowFixture.h"
#include "app/Settings.h"

namespace {

std::vector<std::string> Rows(const QListWidget* list) {
  std::vector<std::string> rows;
  for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text().toStdString());
  return rows;
}

TEST(PortPicker, ListsTheDevicesPresentAndCONNECTOpensTheOneAssigned) {
  SimProcess sim;
  ASSERT_TRUE(sim.Start({"--baud", "230400"}));
  DeviceFolder folder(sim.SlavePath());
  WindowFixture w;
  w.resolve = [](const std::string& name) { return SettingsStore::DevicePath(name); };
  w.dlg->m_env.scanRoots = folder.Roots();
  w.dlg->m_nBaudRate = 230400;
  const std::string byId = folder.Dev(DeviceFolder::kById);

  std::vector<std::string> devices, comNames;
  w.modal.onRunDialog = [&](QDialog& picker) {
    auto* deviceList = picker.findChild<QListWidget*>("devices");
    auto* comList = picker.findChild<QListWidget*>("comNames");
    EXPECT_TRUE(WaitFor([&] { return deviceList->count() > 0; })) << "the scan never came back";
    devices = Rows(deviceList);
    comList->setCurrentRow(2);
    deviceList->setCurrentRow(0);
    picker.findChild<QPushButton*>("assign")->click();
    // The scan that follows an assignment shows where COM 3 leads now.
    EXPECT_TRUE(WaitFor([&] { return comList->item(2)->text().endsWith("(ttyUSB0)"); }));
    comNames = Rows(comList);
    return 0;
  };
  w.modal.menuChoices = {"Serial Ports..."};
  w.dlg->OnContextMenu(w.dlg.get(), QPoint());

  // COM 1 to 8 lead to /dev/ttyS0 to 7 unless mapped: whether this machine
  // has a /dev/ttyS0 decides whether the folder's ttyS0 row names COM 1.
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0], "FTDI FT232R USB UART A1234567  (ttyUSB0)\n    " + byId);
  EXPECT_EQ(devices[1], "USB serial  (ttyACM0)\n    " + folder.Dev("ttyACM0"));
  EXPECT_EQ(devices[2].substr(0, 20), "UART 16550A  (ttyS0)");
  ASSERT_EQ(comNames.size(), 8u);
  EXPECT_EQ(comNames[2], "COM 3    " + byId + "   (ttyUSB0)");

  QFile settings(TestSettingsFile());
  ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
  EXPECT_TRUE(settings.readAll().contains(("[Ports]\nCOM3=" + byId).c_str()));
  EXPECT_EQ(w.dlg->m_nPortIndex, 2);
  EXPECT_EQ(w.dlg->PortToolTip(), "COM 3 opens " + byId + "\nFTDI FT232R USB UART A1234567");

  w.dlg->OnConnect();
  EXPECT_TRUE(WaitFor([&] { return w.CaptionStatus() == "RUN"; })) << "the unit's status, not " << w.CaptionStatus();
  EXPECT_EQ(w.dlg->m_strPortPath, byId);
  EXPECT_TRUE(w.modal.messages.empty());
}

}  // namespace
