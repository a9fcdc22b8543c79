// The on-chip debugger link over the FLASH cable: one request and reply
// exchange, and the opening that switches the port to the debugger's rate
// and time-outs, holds the break while the user is asked, and puts the
// debugger into debug mode.
//
// The cable joins the PC's transmit and receive lines, so every byte sent
// comes back first and the debugger's answer follows it:
//
//   sent   05                 read control
//   read   05 80              echo, then the control value
#include <cerrno>
#include <chrono>

#include "app/ViewerDlg.h"
#include "flash/LinkBounds.h"
#include "flash/LinkSupport.h"
#include "flash/Messages.h"
#include "flash/OcdCommands.h"

namespace {

using orv::flash::OcdBuffer;
using orv::flash::OcdCommand;
using Clock = std::chrono::steady_clock;

constexpr unsigned kEvRxChar = 0x0001;
constexpr unsigned kEvTxEmpty = 0x0004;

// The flush reads in pieces of this size.
constexpr int kFlushPiece = 6;

// The debugger's port settings; only these are changed.
orv::serial::Timeouts OcdTimeouts(orv::serial::Timeouts t) {
  const orv::serial::Timeouts ocd = orv::serial::Timeouts::Ocd();
  t.readReturnsAtOnce = ocd.readReturnsAtOnce;
  t.readMultiplierMs = ocd.readMultiplierMs;
  t.readConstantMs = ocd.readConstantMs;
  t.writeMultiplierMs = ocd.writeMultiplierMs;
  t.writeConstantMs = ocd.writeConstantMs;
  return t;
}

// The opening handshake, one exchange a row.
enum class Check { None, DebugStatus, Revision };

struct HandshakeStep {
  OcdCommand (*command)();
  Check check;
};

const HandshakeStep kHandshake[] = {
    // Two bytes come back for the one sent: the echo and the byte that
    // follows the break.
    {orv::flash::Autobaud, Check::None},
    {orv::flash::ReadControl, Check::None},
    {orv::flash::ReadControl, Check::None},
    {[] { return orv::flash::WriteControl(orv::flash::kControlDebug); }, Check::None},
    {orv::flash::ReadControl, Check::DebugStatus},
    {[] { return orv::flash::WriteControl(orv::flash::kControlDebugReset); }, Check::None},
    {orv::flash::ReadControl, Check::None},
    {orv::flash::ReadRevision, Check::Revision},
};

// The echoed read control command, or the debug mode bit in the control
// value, is what the debugger has always been taken to be present by.
bool DebugStatusPasses(const OcdBuffer& buffer) {
  return buffer[0] == 0x05 || buffer[orv::flash::kControlValueAt] == orv::flash::kControlDebug;
}

}  // namespace

int CViewerDlg::OcdExchange(unsigned char* buffer, int writeCount, int readCount) {
  const PortHandle port = orv::flash::PortOf(*this);
  if (!port || !port->IsOpen()) return EBADF;

  int written = 0;
  const orv::serial::Status write = port->Write(buffer, writeCount, written);
  if (!write.ok()) return write.ErrorNumber();
  if (written != writeCount) return ETIMEDOUT;

  port->SetEventMask(kEvTxEmpty);
  if (const int drained = orv::serial::ErrorNumberOf(orv::flash::DrainOutput(*port))) return drained;

  int got = 0;
  const orv::serial::Status read = port->Read(buffer, readCount, got);
  return read.ok() && got == readCount ? 0 : 1;
}

bool CViewerDlg::OcdOpen(const char* question, OcdOrder order) {
  namespace msg = orv::flash::msg;
  const PortHandle port = orv::flash::PortOf(*this);
  const bool open = port && port->IsOpen();

  // A setting already applied stays when the next one fails.
  const auto setBaudRate = [&] {
    if (open && port->SetBaudRate(orv::flash::kOcdBaudRate).ok()) return true;
    Message(msg::kConfigurePort);
    return false;
  };
  const auto setTimeouts = [&] {
    if (open && port->SetTimeouts(OcdTimeouts(port->GetTimeouts())).ok()) return true;
    Message(msg::kSetTimeouts);
    return false;
  };
  if (order == OcdOrder::BaudRateFirst) {
    if (!setBaudRate() || !setTimeouts()) return false;
  } else {
    if (!setTimeouts() || !setBaudRate()) return false;
  }

  // Let what is still going out leave, then throw away what came in at the
  // connection's rate. Every read follows a fresh count, and the last one,
  // after a count of 0, waits out its time-out for stragglers.
  OcdBuffer buffer{};
  port->SetEventMask(kEvTxEmpty);
  switch (orv::flash::DrainOutput(*port)) {
    case orv::flash::Drain::Empty: break;
    case orv::flash::Drain::TimedOut: Message(msg::kSendTimedOut); return false;
    case orv::flash::Drain::Failed: Message(msg::kReadingData); return false;
  }
  port->SetEventMask(kEvRxChar);
  int inQueue = 0, outQueue = 0;
  if (!port->QueueCounts(inQueue, outQueue).ok()) inQueue = 0;
  const auto flushEnd = Clock::now() + std::chrono::milliseconds(orv::flash::kInputFlushBoundMs);
  while (inQueue > 0 && Clock::now() < flushEnd) {
    if (!port->QueueCounts(inQueue, outQueue).ok()) inQueue = 0;
    int got = 0;
    port->Read(buffer.data(), kFlushPiece, got);
  }

  // The break resets the debugger's autobaud detector; it is held while the
  // user decides, and ends whatever the answer. A line that has no break
  // condition (a pseudo-terminal) refuses it, which changes nothing here.
  port->SetBreak(true);
  const int answer = Message(question, msg::kCaptionStatus, Buttons::YesNo);
  port->SetBreak(false);
  if (answer == IDNO) {
    if (!orv::flash::RestoreBaudRate(*this)) Message(msg::kConfigurePort);
    return false;
  }

  for (const HandshakeStep& step : kHandshake) {
    if (orv::flash::Exchange(*this, step.command(), buffer) != 0) {
      Message(msg::kReadingData);
      return false;
    }
    if (step.check == Check::DebugStatus && !DebugStatusPasses(buffer)) {
      Message(msg::kReadingOcdStatus);
      return false;
    }
    if (step.check == Check::Revision) {
      Message(orv::flash::OcdVersionText(buffer[orv::flash::kRevisionMajorAt], buffer[orv::flash::kRevisionMinorAt]),
              msg::kCaptionStatus);
    }
  }
  return true;
}
