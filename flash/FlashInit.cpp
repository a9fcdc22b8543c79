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

#include "app/ViewerDlg.h"
#include "flash/LinkBounds.h"
#include "flash/LinkSupport.h"
#include "flash/Messages.h"
#include "flash/OcdCommands.h"

namespace {

using orv::flash::FlashCommand;
using Clock = std::chrono::steady_clock;

constexpr FlashCommand kEraseSequence[] = {FlashCommand::SetUp, FlashCommand::Control00, FlashCommand::Unlock1,
                                           FlashCommand::Unlock2, FlashCommand::MassErase};
// The erase ends with the controller locked: unlock again for the writes.
constexpr FlashCommand kUnlockSequence[] = {FlashCommand::SetUp, FlashCommand::Control00, FlashCommand::Unlock1,
                                            FlashCommand::Unlock2};

template <size_t N>
bool Send(CViewerDlg& dlg, const FlashCommand (&sequence)[N], orv::flash::OcdBuffer& buffer) {
  for (const FlashCommand command : sequence) {
    if (orv::flash::Exchange(dlg, orv::flash::Command(command), buffer) != 0) return false;
  }
  return true;
}

}  // namespace

bool CViewerDlg::FlashInit() {
  namespace msg = orv::flash::msg;
  if (!OcdOpen(msg::kEraseAndFlash, OcdOrder::BaudRateFirst)) return false;

  orv::flash::OcdBuffer buffer{};
  if (!Send(*this, kEraseSequence, buffer)) {
    Message(msg::kWritingController);
    return false;
  }

  // The byte tested first is the echo of the erase value at the status
  // position, never 00, so the status is always read at least once.
  const auto deadline = Clock::now() + std::chrono::milliseconds(orv::flash::kEraseBoundMs);
  unsigned char status = buffer[orv::flash::kFlashStatusAt];
  for (bool first = true; status != 0; first = false) {
    if (!first) {
      if (Clock::now() >= deadline) {
        Message(msg::kEraseTimedOut);
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(orv::flash::kErasePollMs));
    }
    if (orv::flash::Exchange(*this, orv::flash::Command(FlashCommand::Status), buffer) != 0) {
      Message(msg::kWaitingErase);
      return false;
    }
    status = buffer[orv::flash::kFlashStatusAt];
  }
  Message(msg::kFlashErased, msg::kCaptionStatus);

  if (!Send(*this, kUnlockSequence, buffer)) {
    Message(msg::kWritingController);
    return false;
  }
  return true;
}
