#include "flash/OcdCommands.h"

#include "common/Text.h"
#include "flash/Messages.h"

namespace orv::flash {
namespace {

enum Code : uint8_t {
  kReadRevision = 0x00,
  kWriteControl = 0x04,
  kReadControl = 0x05,
  kWriteRegister = 0x08,
  kReadRegister = 0x09,
  kWriteMemory = 0x0A,
  kReadMemory = 0x0B,
  kReadCrc = 0x0E,
  kAutobaud = 0x80,
};

uint8_t High(unsigned value) { return static_cast<uint8_t>((value >> 8) & 0xFF); }
uint8_t Low(unsigned value) { return static_cast<uint8_t>(value & 0xFF); }

// Every command comes back whole as echo; `answer` is what the debugger adds.
OcdCommand Make(std::vector<uint8_t> bytes, int answer) {
  const int sent = static_cast<int>(bytes.size());
  return OcdCommand{std::move(bytes), sent + answer};
}

bool RegisterCountFits(uint16_t address, int count) {
  return address <= 0xFFF && count >= 1 && count <= kOcdMaxData;
}

// What each named controller command is, in terms of the catalogue.
struct NamedCommand {
  FlashCommand which;
  const char* name;
  enum class Kind { WriteRegister, ReadRegister, Release } kind;
  std::vector<uint8_t> data;  // written to FF8 onward
};

const std::vector<NamedCommand>& NamedCommands() {
  using K = NamedCommand::Kind;
  static const std::vector<NamedCommand> table = {
      {FlashCommand::SetUp, "flash set-up", K::WriteRegister,
       {kFlashLock, 0x00, High(kUnitClockKHz), Low(kUnitClockKHz)}},
      {FlashCommand::Control00, "flash control 00", K::WriteRegister, {kFlashLock}},
      {FlashCommand::Unlock1, "unlock 1", K::WriteRegister, {kFlashUnlock1}},
      {FlashCommand::Unlock2, "unlock 2", K::WriteRegister, {kFlashUnlock2}},
      {FlashCommand::MassErase, "mass erase", K::WriteRegister, {kFlashMassErase}},
      {FlashCommand::Status, "flash status", K::ReadRegister, {}},
      {FlashCommand::Release, "release", K::Release, {}},
  };
  return table;
}

const NamedCommand& Find(FlashCommand which) {
  for (const NamedCommand& entry : NamedCommands()) {
    if (entry.which == which) return entry;
  }
  return NamedCommands().front();  // unreachable: the table names every enumerator
}

}  // namespace

OcdCommand Autobaud() {
  // The one byte beyond the echo is not an answer to anything: the host's
  // receiver has also seen the break it held on the line before this.
  return Make({kAutobaud}, 1);
}

OcdCommand ReadRevision() { return Make({kReadRevision}, 2); }

OcdCommand WriteControl(uint8_t value) { return Make({kWriteControl, value}, 0); }

OcdCommand ReadControl() { return Make({kReadControl}, 1); }

std::optional<OcdCommand> WriteRegister(uint16_t address, const std::vector<uint8_t>& data) {
  const int count = static_cast<int>(data.size());
  if (!RegisterCountFits(address, count)) return std::nullopt;
  std::vector<uint8_t> bytes = {kWriteRegister, High(address), Low(address), Low(static_cast<unsigned>(count))};
  bytes.insert(bytes.end(), data.begin(), data.end());
  return Make(std::move(bytes), 0);
}

std::optional<OcdCommand> ReadRegister(uint16_t address, int count) {
  if (!RegisterCountFits(address, count)) return std::nullopt;
  return Make({kReadRegister, High(address), Low(address), Low(static_cast<unsigned>(count))}, count);
}

std::optional<OcdCommand> WriteProgramMemory(uint16_t address, const uint8_t* data, size_t count) {
  if (count > static_cast<size_t>(kOcdMaxData)) return std::nullopt;
  if (address + count > 0x10000) return std::nullopt;
  if (count > 0 && data == nullptr) return std::nullopt;
  std::vector<uint8_t> bytes = {kWriteMemory, High(address), Low(address), 0x00, Low(static_cast<unsigned>(count))};
  bytes.insert(bytes.end(), data, data + count);
  return Make(std::move(bytes), 0);
}

std::optional<OcdCommand> ReadProgramMemory(uint16_t address, int count) {
  if (count < 0 || count > kOcdMaxData) return std::nullopt;
  if (static_cast<int>(address) + count > 0x10000) return std::nullopt;
  return Make({kReadMemory, High(address), Low(address), 0x00, Low(static_cast<unsigned>(count))}, count);
}

OcdCommand ReadMemoryCrc() { return Make({kReadCrc}, 2); }

OcdCommand Command(FlashCommand which) {
  const NamedCommand& entry = Find(which);
  switch (entry.kind) {
    case NamedCommand::Kind::WriteRegister:
      return *WriteRegister(kFlashControlRegister, entry.data);
    case NamedCommand::Kind::ReadRegister:
      return *ReadRegister(kFlashControlRegister, 1);
    case NamedCommand::Kind::Release: {
      // Only the first echo byte is read: the second stays in the receive
      // queue and goes to the receive thread once the unit runs again.
      OcdCommand release = WriteControl(kControlRelease);
      release.readCount = 1;
      return release;
    }
  }
  return OcdCommand{};
}

const char* CommandName(FlashCommand which) { return Find(which).name; }

std::string OcdVersionText(uint8_t major, uint8_t minor) {
  return Format(msg::kOcdVersion, static_cast<int8_t>(major), static_cast<int8_t>(minor));
}

std::string FlashCrcText(uint8_t high, uint8_t low) {
  return Format(msg::kFlashCrc, static_cast<int8_t>(high), static_cast<int8_t>(low));
}

}  // namespace orv::flash
