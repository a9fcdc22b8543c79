#include "serial/UnitWriter.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "serial/Drain.h"
#include "serial/UnitCommands.h"

namespace orv::serial {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kAnswerSize = 6;
// Stale input is read away in pieces of the answer's size.
constexpr int kStaleCeiling = 4096;

}  // namespace

int WriteToUnit(Port* port, const unsigned char* data, int count, bool acknowledged, int allowanceMs) {
  // After a failed open the flag says connected but nothing is open.
  if (!port || !port->IsOpen()) return EBADF;
  const int baud = port->BaudRate();

  port->SetEventMask(kEvTxEmpty);
  int inQueue = 0, outQueue = 0;
  if (acknowledged) {
    // Stale input must not be taken for the answer. Bounded, since a unit
    // that keeps streaming would otherwise keep it going for ever.
    port->SetEventMask(kEvRxChar);
    const auto deadline = Clock::now() + std::chrono::milliseconds(DrainBoundMs(kStaleCeiling, baud));
    if (!port->QueueCounts(inQueue, outQueue).ok()) return EIO;
    while (inQueue > 1 && Clock::now() < deadline) {
      if (!port->QueueCounts(inQueue, outQueue).ok()) return EIO;
      unsigned char discard[kAnswerSize];
      int got = 0;
      port->Read(discard, std::min(kAnswerSize, std::max(inQueue, 1)), got);
    }
  }

  port->SetEventMask(kEvTxEmpty);
  if (const int drained = ErrorNumberOf(DrainOutput(*port, 2))) return drained;

  int written = 0;
  const Status write = port->Write(data, count, written);
  if (!write.ok()) return write.ErrorNumber();
  if (written != count) return ETIMEDOUT;
  if (!acknowledged) return 0;

  // No answer can be whole before the bytes and the answer have been on the
  // wire: the wait begins with that, so that it finds the answer on its
  // first look rather than some sleep after the answer came.
  port->SetEventMask(kEvRxChar);
  std::this_thread::sleep_for(std::chrono::microseconds(WireUs(count + kAnswerSize, baud)));
  const Status wait = port->WaitForInput(kAnswerSize, static_cast<int>(WireMs(count + kAnswerSize, baud)) + allowanceMs);
  if (!wait.ok()) return wait.ErrorNumber();
  unsigned char reply[kAnswerSize] = {};
  int got = 0;
  const Status read = port->Read(reply, kAnswerSize, got);
  if (!read.ok() && got < kAnswerSize) return read.ErrorNumber();
  if (got < kAnswerSize) return ETIMEDOUT;
  return AcknowledgementMatches(data, count, reply) ? 0 : 1;
}

int SendUnitCommand(Port* port, char letter) {
  const CommandSentence sentence = UnitCommand(letter);
  return WriteToUnit(port, sentence.data(), kCommandLength, false);
}

}  // namespace orv::serial
