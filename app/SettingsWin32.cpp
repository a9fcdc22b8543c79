// The four values in the registry, HKEY_CURRENT_USER\Software\Veltrane\Quorvel,
// through QSettings; a COM name is the port's own name there.
#include "app/Settings.h"

#include <QSettings>
#include <limits>

#include "serial/PortNames.h"

namespace {

constexpr const char* kOrganisation = "Veltrane";
constexpr const char* kApplication = "Quorvel";

// The registry hands back a DWORD as a number; the INI file as text. Either
// way only a whole number that fits in 32 signed bits is taken.
std::optional<int32_t> ReadInt32(const QSettings& store, const char* name) {
  const QVariant value = store.value(name);
  if (!value.isValid()) return std::nullopt;
  if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
    return orv::ParseInt32(value.toString().toStdString());
  }
  bool ok = false;
  const qlonglong n = value.toLongLong(&ok);
  if (!ok || n < std::numeric_limits<int32_t>::min() || n > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(n);
}

}  // namespace

namespace SettingsStore {

orv::StoredSettings Read() {
  orv::StoredSettings stored;
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
  if (store.status() != QSettings::NoError) return stored;
  stored.baudRate = ReadInt32(store, "BaudRate");
  stored.comPort = ReadInt32(store, "ComPort");
  stored.captureInterval = ReadInt32(store, "CaptureInterval");
  stored.displayType = ReadInt32(store, "DisplayType");
  return stored;
}

void Write(int baudIndex, int portIndex, int intervalIndex, int displayTypeSetting) {
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
  if (!store.isWritable()) return;
  store.setValue("BaudRate", baudIndex);
  store.setValue("ComPort", portIndex);
  store.setValue("CaptureInterval", intervalIndex);
  store.setValue("DisplayType", displayTypeSetting);
  store.sync();
}

bool WritePortPath(const std::string& portName, const std::string& path) {
  const int number = orv::serial::ComNumber(portName);
  if (number == 0) return false;
  QSettings store(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
  if (!store.isWritable()) return false;
  store.setValue(QString("Ports/COM%1").arg(number), QString::fromLocal8Bit(path.c_str()));
  store.sync();
  return store.status() == QSettings::NoError;
}

std::string DevicePath(const std::string& portName) {
  const QSettings store(QSettings::NativeFormat, QSettings::UserScope, kOrganisation, kApplication);
  return orv::serial::DevicePath(portName, [&store](const std::string& key) {
    return store.value(QString("Ports/") + QString::fromLatin1(key.c_str())).toString().toLocal8Bit().toStdString();
  });
}

}  // namespace SettingsStore
