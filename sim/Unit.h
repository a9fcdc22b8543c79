#pragma once
// The simulated Quorvel unit as seen from the far end of its serial line:
// bytes from the PC go in, bytes for the PC come out, on a clock the caller
// gives in milliseconds. No I/O, no threads, no wall clock.
//
// Data cable: the unit talks at its own rate. Its sentence stream (or the
// replayed file) runs like a real transmitter, at most unitBaud/10 bytes a
// second of unit time, whether or not anyone takes it; replies (loader
// answers) are ready at once. When the PC's line runs at another rate, the
// PC hears garbage and the unit hears nothing it understands.
//
// Flash cable: a single wire that returns every byte the PC sends, at any
// rate, and the on-chip debugger behind it, which hears the PC only at 57600
// and whose answers follow the echo. A pseudo-terminal carries no break
// condition, so a change of the PC's line rate stands in for the break that
// precedes the debugger's autobaud character.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "sim/ByteBudget.h"
#include "sim/CommandScanner.h"
#include "sim/Faults.h"
#include "sim/Loader.h"
#include "sim/Menu.h"
#include "sim/NmeaStream.h"
#include "sim/Ocd.h"
#include "sim/Rng.h"

namespace orv::sim {

enum class Cable { Data, Flash };

struct UnitOptions {
  Cable cable = Cable::Data;
  int unitBaud = 4800;
  // When set, these bytes are sent instead of the generated stream, from
  // the first "$PZTQC,G" on (again from the start after the PC has closed
  // and reopened the line), once or, with `loop`, over and over.
  std::optional<std::vector<uint8_t>> replay;
  bool loop = false;
  // Off: the stream, replays included, goes as fast as it is taken.
  bool pacedStream = true;
  uint32_t seed = 1;
  Faults faults;
};

class Unit {
 public:
  static constexpr int kOcdBaud = 57600;

  explicit Unit(UnitOptions options);
  Unit(const Unit&) = delete;
  Unit& operator=(const Unit&) = delete;

  // Bytes the PC sent with its line at `pcBaud`, arriving at nowMs.
  void Receive(const uint8_t* data, size_t size, int pcBaud, int64_t nowMs);
  // Up to `max` bytes the unit has on the line for a PC at `pcBaud` by nowMs.
  size_t Transmit(uint8_t* out, size_t max, int pcBaud, int64_t nowMs);
  // Milliseconds from nowMs until Transmit will have a byte, or -1 when
  // nothing will come before the PC sends something.
  int64_t MsUntilReady(int64_t nowMs) const;
  // The PC has closed its end of the line.
  void Hangup();
  // From now on the unit sends these bytes (from their start), or its own
  // sentences when none are given, whenever it streams.
  void SetReplay(std::optional<std::vector<uint8_t>> replay);

  Memory& memory() { return memory_; }
  const Memory& memory() const { return memory_; }
  const std::string& StatusText() const { return menu_.StatusText(); }
  const UnitOptions& options() const { return options_; }
  bool Streaming() const { return streaming_; }
  bool LoaderOpen() const { return loader_.IsOpen(); }
  bool LineDead() const { return dead_; }
  bool ReplayStarted() const { return replayStarted_; }
  int64_t BytesSent() const { return bytesSent_; }
  int64_t BytesReceived() const { return bytesReceived_; }
  const Loader& loader() const { return loader_; }
  const Ocd& ocd() const { return ocd_; }

 private:
  struct Pending {
    int64_t dueMs;
    uint8_t byte;
    int rate;  // the rate it goes out at; 0 for the cable's echo, clean at any rate
  };

  void ReceiveData(uint8_t byte, int pcBaud, int64_t nowMs);
  void ReceiveFlash(uint8_t byte, int pcBaud, int64_t nowMs);
  void Queue(const std::string& bytes, int64_t dueMs, int rate);
  void Queue(const std::vector<uint8_t>& bytes, int64_t dueMs, int rate);
  void ObserveRate(int pcBaud);
  int NextStreamByte(int64_t nowMs);
  bool StreamHasMore() const;

  void OnSelect();
  void OnScroll();
  void OnProgram();
  void OnGo();

  struct CommandRule {
    char letter;
    void (Unit::*handler)();
  };
  static const CommandRule kCommands[];

  UnitOptions options_;
  Memory memory_;
  Ocd ocd_;
  Loader loader_;
  Menu menu_;
  CommandScanner scanner_;
  NmeaStream stream_;
  ByteBudget budget_;
  Rng garbage_;
  Rng noise_;

  std::deque<Pending> pending_;  // ordered by dueMs
  std::string sentence_;
  size_t sentencePos_ = 0;
  size_t replayPos_ = 0;
  bool replayStarted_ = false;
  bool streaming_ = true;
  bool noiseNext_ = false;
  bool dead_ = false;
  int lastPcBaud_ = -1;
  int64_t budgetUs_ = 0;  // unit time of the budget's last advance
  int64_t bytesSent_ = 0;
  int64_t bytesReceived_ = 0;
  std::vector<uint8_t> answer_;
};

}  // namespace orv::sim
