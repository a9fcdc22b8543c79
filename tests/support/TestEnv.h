#pragma once
#include <QString>

// The directory that holds this test run's settings, and its INI file.
QString TestConfigDir();
QString TestSettingsFile();
void ClearTestSettings();
