// The four stored values through the real store (an INI file in this test
// run's own config directory), read at start-up and written at the end.
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include "TestEnv.h"
#include "WindowFixture.h"
#include "app/Settings.h"

namespace {

void WriteStore(const char* text) {
  ClearTestSettings();
  QDir().mkpath(TestConfigDir() + "/Veltrane");
  QFile file(TestSettingsFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

QString Stored(const char* name) {
  QSettings store(TestSettingsFile(), QSettings::IniFormat);
  return store.value(name).toString();
}

TEST(SettingsStore, FirstRunUsesDefaultsAndWritesThemBack) {
  ClearTestSettings();
  {
    WindowFixture w;
    EXPECT_EQ(w.dlg->m_nPortIndex, 7);
    EXPECT_EQ(w.dlg->m_nBaudRate, 4800);
    EXPECT_EQ(w.dlg->m_nCaptureSeconds, 2);
    EXPECT_EQ(w.dlg->m_nDisplayTypeSetting, 0);
    EXPECT_EQ(w.dlg->m_nPortListY, 175);
  }
  EXPECT_EQ(Stored("BaudRate"), "1");
  EXPECT_EQ(Stored("ComPort"), "7");
  EXPECT_EQ(Stored("CaptureInterval"), "1");
  EXPECT_EQ(Stored("DisplayType"), "0");
}

TEST(SettingsStore, OutOfRangeValuesAndTheirWriteBack) {
  WriteStore("BaudRate=-3\nComPort=11\nCaptureInterval=9\nDisplayType=3\n");
  {
    WindowFixture w(true, true);
    EXPECT_EQ(w.dlg->m_nBaudIndex, 0);
    EXPECT_EQ(w.dlg->m_nBaudRate, 2400);
    EXPECT_EQ(w.dlg->m_nPortIndex, 11);
    EXPECT_EQ(w.dlg->m_nCaptureSeconds, 9);
    EXPECT_EQ(w.dlg->m_model.m_nDisplayType, 0) << "the stored display type does not choose the display";
    w.dlg->OnIntervalUp();
    EXPECT_EQ(w.dlg->m_nIntervalIndex, 7);
    EXPECT_EQ(w.dlg->m_nCaptureSeconds, 600);
  }
  EXPECT_EQ(Stored("BaudRate"), "0");
  EXPECT_EQ(Stored("ComPort"), "11");
  EXPECT_EQ(Stored("CaptureInterval"), "7");
  EXPECT_EQ(Stored("DisplayType"), "3");
}

TEST(SettingsStore, ValuesThatAreNotInt32KeepTheirDefaults) {
  WriteStore("BaudRate=fast\nComPort=4294967296\nCaptureInterval=2.5\nDisplayType=-2147483648\n");
  WindowFixture w(true, true);
  EXPECT_EQ(w.dlg->m_nBaudIndex, 1);
  EXPECT_EQ(w.dlg->m_nPortIndex, 7);
  EXPECT_EQ(w.dlg->m_nIntervalIndex, 1);
  EXPECT_EQ(w.dlg->m_nDisplayTypeSetting, -2147483648LL);
}

TEST(SettingsStore, PortsGroupNamesTheDevice) {
  WriteStore("[Ports]\nCOM8=/dev/ttyUSB0\n");
  EXPECT_EQ(SettingsStore::DevicePath("COM8:"), "/dev/ttyUSB0");
  EXPECT_EQ(SettingsStore::DevicePath("COM3:"), "/dev/ttyS2");
}

}  // namespace
