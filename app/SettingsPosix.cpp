// The four values and the [Ports] group in the INI file
// $XDG_CONFIG_HOME/Veltrane/Quorvel.conf (~/.config/... by default), where
// Qt keeps an application's settings. The file is read and written here
// rather than through QSettings, which would read a port path with a comma
// in it as a list and rewrite the file without the user's comments; and it
// is read only when it is a regular file, so that nothing found under its
// name can hold start-up.
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>

#include "app/IniText.h"
#include "app/Settings.h"
#include "common/RegularFile.h"
#include "serial/PortNames.h"

namespace {

// A settings file is a few dozen lines; what is bigger is not ours.
constexpr size_t kMostStoreBytes = 1 << 20;

QString StorePath() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Veltrane/Quorvel.conf";
}

// The file's text, empty when there is no file. False when it cannot be
// read or is not a regular file: then it is neither used nor written.
bool ReadStore(std::string& text) {
  text.clear();
  int error = 0;
  std::FILE* file = orv::OpenRegularFile(StorePath().toLocal8Bit().toStdString(), "rb", error);
  if (!file) return error == ENOENT;
  char buffer[4096];
  size_t n = 0;
  while (text.size() <= kMostStoreBytes && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  const bool ok = !std::ferror(file) && text.size() <= kMostStoreBytes;
  std::fclose(file);
  if (!ok) text.clear();
  return ok;
}

// Sets `values` in `group` and leaves every other line as it was. Written
// beside and renamed over, so that a full disk leaves the old file.
bool WriteValues(const std::string& group, const std::vector<std::pair<std::string, std::string>>& values) {
  std::string text;
  if (!ReadStore(text)) return false;
  text = orv::ini::WithValues(text, group, values);
  const QString path = StorePath();
  QDir().mkpath(QFileInfo(path).absolutePath());
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(text.data(), static_cast<qint64>(text.size()));
  return file.commit();
}

}  // namespace

namespace SettingsStore {

orv::StoredSettings Read() {
  std::string text;
  ReadStore(text);
  auto value = [&text](const char* name) -> std::optional<int32_t> {
    const std::optional<std::string> found = orv::ini::Value(text, orv::ini::kTopLevel, name);
    return found ? orv::ParseInt32(*found) : std::nullopt;
  };
  orv::StoredSettings stored;
  stored.baudRate = value("BaudRate");
  stored.comPort = value("ComPort");
  stored.captureInterval = value("CaptureInterval");
  stored.displayType = value("DisplayType");
  return stored;
}

void Write(int baudIndex, int portIndex, int intervalIndex, int displayTypeSetting) {
  WriteValues(orv::ini::kTopLevel, {{"BaudRate", std::to_string(baudIndex)},
                                    {"ComPort", std::to_string(portIndex)},
                                    {"CaptureInterval", std::to_string(intervalIndex)},
                                    {"DisplayType", std::to_string(displayTypeSetting)}});
}

bool WritePortPath(const std::string& portName, const std::string& path) {
  const int number = orv::serial::ComNumber(portName);
  // A line feed in a value would end its line and start another.
  if (number == 0 || path.find_first_of("\r\n") != std::string::npos) return false;
  return WriteValues("Ports", {{"COM" + std::to_string(number), path}});
}

std::string DevicePath(const std::string& portName) {
  std::string text;
  ReadStore(text);
  return orv::serial::DevicePath(portName, [&text](const std::string& key) {
    return orv::ini::Value(text, "Ports", key).value_or(std::string());
  });
}

}  // namespace SettingsStore
