// main() for tests that need a QApplication: offscreen platform, and the
// program's settings kept in a fresh directory so no test sees another's
// store or the user's own.
#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "TestEnv.h"

namespace {
QTemporaryDir* g_configDir = nullptr;
}

QString TestConfigDir() { return g_configDir ? g_configDir->path() : QString(); }

QString TestSettingsFile() { return TestConfigDir() + "/Veltrane/Quorvel.conf"; }

void ClearTestSettings() {
  QFile::remove(TestSettingsFile());
}

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir configDir;
  g_configDir = &configDir;
  qputenv("XDG_CONFIG_HOME", configDir.path().toLocal8Bit());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configDir.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configDir.path());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  g_configDir = nullptr;
  return result;
}
