#pragma once
// Keeps a program's settings in a fresh directory for as long as it lives,
// away from the user's own store.
#include <QSettings>
#include <QTemporaryDir>

struct TempSettings {
  TempSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
  }
  QTemporaryDir dir;
};
