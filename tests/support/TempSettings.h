#pragma once
// Keeps a program's settings in a fresh directory for as long as it lives,
// away from the user's own store (the INI file follows XDG_CONFIG_HOME).
#include <QSettings>
#include <QTemporaryDir>

struct TempSettings {
  TempSettings() {
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
  }
  QTemporaryDir dir;
};
