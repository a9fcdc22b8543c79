// main() for tests that need a QApplication: offscreen platform, and the
// program's settings kept in a fresh directory so no test sees another's
// store or the user's own.
#include <QApplication>
#include <QFile>
#include <gtest/gtest.h>

#include "TempSettings.h"
#include "TestEnv.h"

namespace {
TempSettings* g_settings = nullptr;
}

QString TestConfigDir() { return g_settings ? g_settings->dir.path() : QString(); }

QString TestSettingsFile() { return TestConfigDir() + "/Veltrane/Quorvel.conf"; }

void ClearTestSettings() { QFile::remove(TestSettingsFile()); }

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  TempSettings settings;
  g_settings = &settings;
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  g_settings = nullptr;
  return result;
}
