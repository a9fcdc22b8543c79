// The unit's two buttons and the G command, and the writer they share with
// the flash run: drain, write, and (when asked) wait for the unit's
// six-byte acknowledgement.
#include <cerrno>
#include <chrono>

#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "serial/Drain.h"
#include "serial/UnitCommands.h"

namespace {

using Clock = std::chrono::steady_clock;
using orv::serial::WireMs;

constexpr unsigned kEvTxEmpty = 0x0004;
constexpr unsigned kEvRxChar = 0x0001;

// The unit answers a record after checking it and an erase command after
// erasing the pages it names; a page takes it some milliseconds, and a
// command may name the whole flash.
constexpr int kUnitAnswerAllowanceMs = 3000;

}  // namespace

int CViewerDlg::WritePort(const unsigned char* data, int count, unsigned char echo) {
  PortHandle port;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    port = m_hPort;
  }
  // After a failed open the flag says connected but nothing is open.
  if (!port || !port->IsOpen()) return EBADF;
  const int baud = port->BaudRate();

  port->SetEventMask(kEvTxEmpty);
  int inQueue = 0, outQueue = 0;
  if (echo == 1) {
    // Stale input must not be taken for the acknowledgement. Bounded, since
    // a unit that keeps streaming would otherwise keep it going for ever.
    port->SetEventMask(kEvRxChar);
    const auto deadline = Clock::now() + std::chrono::milliseconds(orv::serial::DrainBoundMs(4096, baud));
    if (!port->QueueCounts(inQueue, outQueue).ok()) return EIO;
    while (inQueue > 1 && Clock::now() < deadline) {
      if (!port->QueueCounts(inQueue, outQueue).ok()) return EIO;
      unsigned char discard[6];
      int got = 0;
      port->Read(discard, std::min(6, std::max(inQueue, 1)), got);
    }
  }

  port->SetEventMask(kEvTxEmpty);
  if (const int drained = orv::serial::ErrorNumberOf(orv::serial::DrainOutput(*port, 2))) return drained;

  int written = 0;
  const orv::serial::Status write = port->Write(data, count, written);
  if (!write.ok()) return write.ErrorNumber();
  if (written != count) return ETIMEDOUT;
  if (echo != 1) return 0;

  port->SetEventMask(kEvRxChar);
  const orv::serial::Status wait =
      port->WaitForInput(6, WireMs(count + 6, baud) + kUnitAnswerAllowanceMs);
  if (!wait.ok()) return wait.ErrorNumber();
  unsigned char reply[6] = {};
  int got = 0;
  const orv::serial::Status read = port->Read(reply, 6, got);
  if (!read.ok() && got < 6) return read.ErrorNumber();
  if (got < 6) return ETIMEDOUT;
  return orv::AcknowledgementMatches(data, count, reply) ? 0 : 1;
}

namespace {

struct CommandButton {
  char letter;
  CBitmapButton CViewerDlg::*button;  // shown pressed while the command goes out; null for none
};

}  // namespace

static void SendUnitCommand(CViewerDlg& dlg, const CommandButton& command) {
  if (!dlg.m_bConnected) return;
  CBitmapButton* button = command.button ? &(dlg.*command.button) : nullptr;
  if (button) button->SetState(true);
  const orv::CommandSentence sentence = orv::UnitCommand(command.letter);
  const int result = dlg.WritePort(sentence.data(), orv::kCommandLength, 0);
  if (result != 0) dlg.Message(orv::Format("Unable to write to serial port: code =%d", result));
  if (button) button->SetState(false);
}

void CViewerDlg::OnStop() { SendUnitCommand(*this, {'S', &CViewerDlg::m_btnStop}); }
void CViewerDlg::OnPage() { SendUnitCommand(*this, {'N', &CViewerDlg::m_btnPage}); }
void CViewerDlg::SendCommandG() { SendUnitCommand(*this, {'G', nullptr}); }
