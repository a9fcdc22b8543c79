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

 private:
  Memory& memory_;
  bool eraseHang_ = false;
  int massErases_ = 0;
  int memoryWrites_ = 0;
};

}  // namespace orv::sim
