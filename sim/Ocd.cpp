#include "sim/Ocd.h"

#include <algorithm>

#include "common/Crc16.h"

namespace orv::sim {
namespace {

constexpr uint8_t kAutobaud = 0x80;
// After the autobaud character the debugger gives one byte of its own, a
// zero. On the real line the host's receiver also takes the break it held
// while asking as a zero byte, so the host reads two bytes for the one it
// sent; the simulated line has no break character, and this byte stands in
// for it so that the host's count comes out the same.
constexpr uint8_t kAutobaudAnswer = 0x00;

constexpr uint8_t kDebugMode = 0x80;
constexpr uint8_t kReset = 0x01;  // self-clearing

constexpr unsigned kRegisterMask = 0xFFF;
constexpr unsigned kFlashControl = 0xFF8;  // FCTL written, FSTAT read
constexpr unsigned kPageSelect = 0xFF9;
constexpr unsigned kClockHigh = 0xFFA;
constexpr unsigned kClockLow = 0xFFB;

constexpr uint8_t kUnlock1 = 0x73;
constexpr uint8_t kUnlock2 = 0x8C;
constexpr uint8_t kMassErase = 0x63;
constexpr uint8_t kPageErase = 0x95;

// Flash status as FSTAT reads it.
constexpr uint8_t kStatusLocked = 0x00;
constexpr uint8_t kStatusFirstKey = 0x01;
constexpr uint8_t kStatusUnlocked = 0x03;
constexpr uint8_t kStatusPageErase = 0x10;  // 010xxx
constexpr uint8_t kStatusMassErase = 0x20;  // 100xxx

constexpr int kPageBytes = 512;
constexpr int kMainPages = 0x10000 / kPageBytes;

}  // namespace

// One row per command code: how many bytes follow the code before any data,
// how many data bytes follow those (from what has come), and what it does.
struct Ocd::CommandRow {
  uint8_t code;
  int headerBytes;
  int (Ocd::*dataBytes)() const;
  void (Ocd::*run)(std::vector<uint8_t>& out);
};

const Ocd::CommandRow* Ocd::Find(uint8_t code) {
  static const CommandRow kCommands[] = {
      {0x00, 0, nullptr, &Ocd::ReadRevision},
      {0x02, 0, nullptr, &Ocd::ReadStatus},
      {0x04, 1, nullptr, &Ocd::WriteControl},
      {0x05, 0, nullptr, &Ocd::ReadControl},
      {0x08, 3, &Ocd::RegisterCount, &Ocd::WriteRegister},
      {0x09, 3, nullptr, &Ocd::ReadRegister},
      {0x0A, 4, &Ocd::MemoryCount, &Ocd::WriteMemory},
      {0x0B, 4, nullptr, &Ocd::ReadMemory},
      {0x0E, 0, nullptr, &Ocd::ReadCrc},
  };
  for (const CommandRow& row : kCommands) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

Ocd::Ocd(Memory& memory) : memory_(memory) {}

bool Ocd::InDebugMode() const { return (control_ & kDebugMode) != 0; }

uint8_t Ocd::Control() const { return control_; }

void Ocd::Break() {
  autobaudDone_ = false;
  command_.clear();
  row_ = nullptr;
}

void Ocd::Receive(uint8_t byte, int64_t nowMs, std::vector<uint8_t>& out) {
  Tick(nowMs);

  // Until the autobaud character has come the detector has no rate, and
  // anything else on the line means nothing to it.
  if (!autobaudDone_) {
    if (byte == kAutobaud) {
      autobaudDone_ = true;
      out.push_back(kAutobaudAnswer);
    }
    return;
  }

  if (command_.empty()) {
    if (byte == kAutobaud) {
      out.push_back(kAutobaudAnswer);
      return;
    }
    // Codes the unit's tools never send (step, stuff, execute and the
    // undefined ones) are taken as one-byte commands without an answer, so
    // the next byte starts a command again.
    row_ = Find(byte);
    if (row_ == nullptr) return;
  }

  command_.push_back(byte);
  size_t need = 1 + static_cast<size_t>(row_->headerBytes);
  if (command_.size() < need) return;
  if (row_->dataBytes != nullptr) need += static_cast<size_t>((this->*row_->dataBytes)());
  if (command_.size() < need) return;
  Execute(out);
}

void Ocd::Execute(std::vector<uint8_t>& out) {
  (this->*row_->run)(out);
  command_.clear();
  row_ = nullptr;
}

void Ocd::Tick(int64_t nowMs) {
  nowMs_ = nowMs;
  const bool erasing = flash_ == Flash::MassErasing || flash_ == Flash::PageErasing;
  // An erase relocks the controller when it ends: every tool unlocks again
  // before it programs.
  if (erasing && !eraseHang_ && nowMs_ >= eraseEndsMs_) flash_ = Flash::Locked;
}

// ---- Commands ----
// Outside debug mode the debugger still answers revision, status and
// control, as the part does; it discards register and memory writes and
// answers every register or memory byte asked for with FF, and the CRC with
// FFFF, so a host always gets the number of bytes it waits for.

void Ocd::ReadRevision(std::vector<uint8_t>& out) {
  out.push_back(kRevisionMajor);
  out.push_back(kRevisionMinor);
}

void Ocd::ReadStatus(std::vector<uint8_t>& out) { out.push_back(InDebugMode() ? kDebugMode : 0x00); }

void Ocd::WriteControl(std::vector<uint8_t>&) {
  const uint8_t value = command_[1];
  // A reset puts the peripherals back to their reset state, the flash
  // controller locked among them; debug mode stays as written.
  if (value & kReset) ResetFlashController();
  control_ = static_cast<uint8_t>(value & ~kReset);
}

void Ocd::ReadControl(std::vector<uint8_t>& out) { out.push_back(control_); }

int Ocd::RegisterCount() const { return command_[3] == 0 ? 256 : command_[3]; }

int Ocd::MemoryCount() const { return command_[3] * 256 + command_[4]; }

//   08 0h ll nn d0 .. d(nn-1)
void Ocd::WriteRegister(std::vector<uint8_t>&) {
  if (!InDebugMode()) return;
  unsigned address = (command_[1] & 0x0Fu) * 256 + command_[2];
  const int count = RegisterCount();
  for (int i = 0; i < count; ++i) {
    WriteRegisterByte(address, command_[4 + static_cast<size_t>(i)]);
    address = (address + 1) & kRegisterMask;
  }
}

//   09 0h ll nn
void Ocd::ReadRegister(std::vector<uint8_t>& out) {
  unsigned address = (command_[1] & 0x0Fu) * 256 + command_[2];
  const int count = RegisterCount();
  for (int i = 0; i < count; ++i) {
    out.push_back(InDebugMode() ? ReadRegisterByte(address) : 0xFF);
    address = (address + 1) & kRegisterMask;
  }
}

//   0A ah al sh sl d0 ..
// Programming takes effect only in debug mode with the controller unlocked,
// and, as on the part, can only clear bits: writing over data that was not
// erased leaves the AND of both. A size of 0 carries no data. The address
// counter is 16 bits and wraps.
void Ocd::WriteMemory(std::vector<uint8_t>&) {
  if (!InDebugMode() || flash_ != Flash::Unlocked) return;
  const unsigned address = command_[1] * 256u + command_[2];
  const int count = MemoryCount();
  for (int i = 0; i < count; ++i) {
    memory_[(address + static_cast<unsigned>(i)) & 0xFFFF] &= command_[5 + static_cast<size_t>(i)];
  }
  ++memoryWrites_;
}

//   0B ah al sh sl
void Ocd::ReadMemory(std::vector<uint8_t>& out) {
  const unsigned address = command_[1] * 256u + command_[2];
  const int count = MemoryCount();
  for (int i = 0; i < count; ++i) {
    out.push_back(InDebugMode() ? memory_[(address + static_cast<unsigned>(i)) & 0xFFFF] : 0xFF);
  }
}

void Ocd::ReadCrc(std::vector<uint8_t>& out) {
  const uint16_t crc = InDebugMode() ? Crc16X25(memory_.data(), memory_.size()) : 0xFFFF;
  out.push_back(static_cast<uint8_t>(crc >> 8));
  out.push_back(static_cast<uint8_t>(crc & 0xFF));
}

// ---- Registers and the flash controller ----

uint8_t Ocd::ReadRegisterByte(unsigned address) const {
  switch (address) {
    case kFlashControl:
      switch (flash_) {
        case Flash::Locked: return kStatusLocked;
        case Flash::FirstKey: return kStatusFirstKey;
        case Flash::Unlocked: return kStatusUnlocked;
        case Flash::MassErasing: return kStatusMassErase;
        case Flash::PageErasing: return kStatusPageErase;
      }
      return kStatusLocked;
    case kPageSelect: return pageSelect_;
    case kClockHigh: return clockHigh_;
    case kClockLow: return clockLow_;
    default: return registers_[address & kRegisterMask];
  }
}

void Ocd::WriteRegisterByte(unsigned address, uint8_t value) {
  switch (address) {
    case kFlashControl: WriteFlashControl(value); break;
    case kPageSelect: pageSelect_ = value; break;
    case kClockHigh: clockHigh_ = value; break;
    case kClockLow: clockLow_ = value; break;
    default: registers_[address & kRegisterMask] = value; break;
  }
}

// 73 then 8C unlocks; 73 at any time starts the pair again; any other value,
// or the pair out of order, locks. While an erase runs the controller takes
// nothing.
void Ocd::WriteFlashControl(uint8_t value) {
  if (flash_ == Flash::MassErasing || flash_ == Flash::PageErasing) return;
  const bool unlocked = flash_ == Flash::Unlocked;
  if (value == kUnlock1) {
    flash_ = Flash::FirstKey;
  } else if (value == kUnlock2 && flash_ == Flash::FirstKey) {
    flash_ = Flash::Unlocked;
  } else if (value == kMassErase && unlocked) {
    memory_.fill(0xFF);
    ++massErases_;
    flash_ = Flash::MassErasing;
    eraseEndsMs_ = nowMs_ + kMassEraseMs;
  } else if (value == kPageErase && unlocked) {
    // The information page (FPS 0x80 and up) is not part of the simulated
    // memory; erasing it only takes the time.
    if (pageSelect_ < kMainPages) {
      const auto first = memory_.begin() + pageSelect_ * kPageBytes;
      std::fill(first, first + kPageBytes, static_cast<uint8_t>(0xFF));
    }
    flash_ = Flash::PageErasing;
    eraseEndsMs_ = nowMs_ + kPageEraseMs;
  } else {
    flash_ = Flash::Locked;
  }
}

void Ocd::ResetFlashController() {
  flash_ = Flash::Locked;
  pageSelect_ = 0;
  clockHigh_ = 0;
  clockLow_ = 0;
}

}  // namespace orv::sim
