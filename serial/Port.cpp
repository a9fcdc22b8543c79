#include "serial/Port.h"

#include <array>
#include <cerrno>

#include "serial/PortPlatform.h"

namespace orv::serial {
namespace {

struct ErrorNameRow {
  Error code;
  const char* name;
};

constexpr std::array<ErrorNameRow, 10> kErrorNames = {{
    {Error::None, "None"},
    {Error::NotFound, "NotFound"},
    {Error::Busy, "Busy"},
    {Error::Access, "Access"},
    {Error::NotSerial, "NotSerial"},
    {Error::Config, "Config"},
    {Error::Io, "Io"},
    {Error::Timeout, "Timeout"},
    {Error::Closed, "Closed"},
    {Error::Cancelled, "Cancelled"},
}};

constexpr std::array<int, 8> kBaudRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};

}  // namespace

const char* ErrorName(Error e) {
  for (const ErrorNameRow& row : kErrorNames) {
    if (row.code == e) return row.name;
  }
  return "Unknown";
}

std::string Status::Text() const {
  std::string text = ErrorName(code);
  if (!call.empty() || !path.empty()) {
    text += ": ";
    text += call;
    if (!call.empty() && !path.empty()) text += ' ';
    text += path;
  }
  if (sysError != 0) {
    text += ": ";
    text += SystemErrorText(sysError);
  }
  return text;
}

int Status::ErrorNumber() const {
  if (ok()) return 0;
  if (sysError != 0) return sysError;
  return code == Error::Timeout ? ETIMEDOUT : EIO;
}

bool IsSupportedBaudRate(int baud) {
  for (int rate : kBaudRates) {
    if (rate == baud) return true;
  }
  return false;
}

Timeouts Timeouts::Connection() {
  Timeouts t;
  t.readReturnsAtOnce = true;
  t.readMultiplierMs = 0;
  t.readConstantMs = 0;
  t.writeMultiplierMs = 10;
  t.writeConstantMs = 1000;
  return t;
}

Timeouts Timeouts::Ocd() {
  Timeouts t;
  t.readReturnsAtOnce = false;
  t.readMultiplierMs = 1;
  t.readConstantMs = 100;
  t.writeMultiplierMs = 1;
  t.writeConstantMs = 100;
  return t;
}

long long Timeouts::ReadTotalMs(int n) const {
  if (readReturnsAtOnce) return 0;
  return readConstantMs + static_cast<long long>(n > 0 ? n : 0) * readMultiplierMs;
}

long long Timeouts::WriteTotalMs(int n) const {
  return writeConstantMs + static_cast<long long>(n > 0 ? n : 0) * writeMultiplierMs;
}

bool Timeouts::IsValid() const {
  if (readMultiplierMs < 0 || readConstantMs < 0 || writeMultiplierMs < 0 || writeConstantMs < 0) {
    return false;
  }
  const bool readBounded = readReturnsAtOnce || readMultiplierMs > 0 || readConstantMs > 0;
  const bool writeBounded = writeMultiplierMs > 0 || writeConstantMs > 0;
  return readBounded && writeBounded;
}

}  // namespace orv::serial
