// Opening the debugger for a FLASH run: erase the whole program memory and
// leave the flash controller unlocked for the writes that follow.
//
//   08 0F F8 04 00 00 48 00   set-up: locked, page 0, clock 18432 kHz
//   08 0F F8 01 00            lock
//   08 0F F8 01 73 / 8C       unlock, first and second value
//   08 0F F8 01 63            mass erase
//   09 0F F8 01               flash status, 00 once the erase is done
#include <chrono>
#include <thread>

#include "flash/LinkBounds.h"
#include "flash/Messages.h"
#include "flash/OcdLink.h"

namespace orv::flash {
namespace {

using Clock = std::chrono::steady_clock;

constexpr FlashCommand kEraseSequence[] = {FlashCommand::SetUp, FlashCommand::Control00, FlashCommand::Unlock1,
                                           FlashCommand::Unlock2, FlashCommand::MassErase};
// The erase ends with the controller locked: unlock again for the writes.
constexpr FlashCommand kUnlockSequence[] = {FlashCommand::SetUp, FlashCommand::Control00, FlashCommand::Unlock1,
                                            FlashCommand::Unlock2};

template <size_t N>
bool Send(OcdLink& link, const FlashCommand (&sequence)[N], OcdBuffer& buffer) {
  for (const FlashCommand command : sequence) {
    if (link.Exchange(Command(command), buffer) != 0) return false;
  }
  return true;
}

}  // namespace

bool FlashInit(OcdLink& link, FlashHost& host) {
  if (!link.Open(msg::kEraseAndFlash, OcdOrder::BaudRateFirst)) return false;

  OcdBuffer buffer{};
  if (!Send(link, kEraseSequence, buffer)) {
    host.Tell(msg::kWritingController);
    return false;
  }

  // The byte tested first is the echo of the erase value at the status
  // position, never 00, so the status is always read at least once.
  const auto deadline = Clock::now() + std::chrono::milliseconds(kEraseBoundMs);
  unsigned char status = buffer[kFlashStatusAt];
  for (bool first = true; status != 0; first = false) {
    if (!first) {
      if (Clock::now() >= deadline) {
        host.Tell(msg::kEraseTimedOut);
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(kErasePollMs));
    }
    if (link.Exchange(Command(FlashCommand::Status), buffer) != 0) {
      host.Tell(msg::kWaitingErase);
      return false;
    }
    status = buffer[kFlashStatusAt];
  }
  host.Tell(msg::kFlashErased, msg::kCaptionStatus);

  if (!Send(link, kUnlockSequence, buffer)) {
    host.Tell(msg::kWritingController);
    return false;
  }
  return true;
}

}  // namespace orv::flash
