#pragma once
// The Z8 Encore! on-chip debugger of the simulated unit, as a byte-in /
// bytes-out state machine on a clock it is given (milliseconds). The cable's
// echo of every byte is not its business: it sees only the bytes that reach
// the debugger at 57600 baud and answers with the debugger's own bytes.
#include <array>
#include <cstdint>
#include <vector>

namespace orv::sim {

using Memory = std::array<uint8_t, 0x10000>;

class Ocd {
 public:
  explicit Ocd(Memory& memory);

  // One byte from the debug line at time nowMs; the debugger's answer bytes,
  // if any, are appended to `out`.
  void Receive(uint8_t byte, int64_t nowMs, std::vector<uint8_t>& out);
  // A break on the line: the autobaud detector waits for 0x80 again; the
  // control register (debug mode) is kept.
  void Break();

  // Fault: a mass erase that never finishes.
  void SetEraseHang(bool hang) { eraseHang_ = hang; }

  bool InDebugMode() const;
  uint8_t Control() const;
  int MassEraseCount() const { return massErases_; }
  int MemoryWriteCount() const { return memoryWrites_; }

  // The debugger's revision, as read revision answers it.
  static constexpr uint8_t kRevisionMajor = 0x01;
  static constexpr uint8_t kRevisionMinor = 0x02;
  // How long a mass erase keeps the flash controller busy.
  static constexpr int64_t kMassEraseMs = 50;
  static constexpr int64_t kPageEraseMs = 10;

 private:
  struct CommandRow;
  enum class Flash { Locked, FirstKey, Unlocked, MassErasing, PageErasing };

  static const CommandRow* Find(uint8_t code);
  void Tick(int64_t nowMs);
  void Execute(std::vector<uint8_t>& out);

  void ReadRevision(std::vector<uint8_t>& out);
  void ReadStatus(std::vector<uint8_t>& out);
  void WriteControl(std::vector<uint8_t>& out);
  void ReadControl(std::vector<uint8_t>& out);
  void WriteRegister(std::vector<uint8_t>& out);
  void ReadRegister(std::vector<uint8_t>& out);
  void WriteMemory(std::vector<uint8_t>& out);
  void ReadMemory(std::vector<uint8_t>& out);
  void ReadCrc(std::vector<uint8_t>& out);

  void WriteFlashControl(uint8_t value);
  uint8_t ReadRegisterByte(unsigned address) const;
  void WriteRegisterByte(unsigned address, uint8_t value);
  void ResetFlashController();
  int RegisterCount() const;
  int MemoryCount() const;

  Memory& memory_;
  bool eraseHang_ = false;
  int massErases_ = 0;
  int memoryWrites_ = 0;

  bool autobaudDone_ = false;
  uint8_t control_ = 0;
  std::vector<uint8_t> command_;  // the command being received, code first
  const CommandRow* row_ = nullptr;

  Flash flash_ = Flash::Locked;
  int64_t eraseEndsMs_ = 0;
  int64_t nowMs_ = 0;
  uint8_t pageSelect_ = 0;
  uint8_t clockHigh_ = 0;
  uint8_t clockLow_ = 0;
  std::array<uint8_t, 0x1000> registers_{};
};

}  // namespace orv::sim
