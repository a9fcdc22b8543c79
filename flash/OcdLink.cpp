#include "flash/OcdLink.h"

#include <cerrno>
#include <chrono>
#include <cstring>

#include "flash/LinkBounds.h"
#include "flash/Messages.h"

namespace orv::flash {
namespace {

using Clock = std::chrono::steady_clock;
using serial::kEvRxChar;
using serial::kEvTxEmpty;


// The flush reads in pieces of this size.
constexpr int kFlushPiece = 6;

// The debugger's port settings; only these are changed.
serial::Timeouts OcdTimeouts(serial::Timeouts t) {
  const serial::Timeouts ocd = serial::Timeouts::Ocd();
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
    {Autobaud, Check::None},
    {ReadControl, Check::None},
    {ReadControl, Check::None},
    {[] { return WriteControl(kControlDebug); }, Check::None},
    {ReadControl, Check::DebugStatus},
    {[] { return WriteControl(kControlDebugReset); }, Check::None},
    {ReadControl, Check::None},
    {ReadRevision, Check::Revision},
};

// The echoed read control command, or the debug mode bit in the control
// value, is what the debugger has always been taken to be present by.
bool DebugStatusPasses(const OcdBuffer& buffer) {
  return buffer[0] == 0x05 || buffer[kControlValueAt] == kControlDebug;
}

}  // namespace

OcdLink::OcdLink(FlashHost& host) : host_(host), port_(host.LinkPort()) {}

int OcdLink::Exchange(unsigned char* buffer, int writeCount, int readCount) {
  if (!port_ || !port_->IsOpen()) return EBADF;

  int written = 0;
  const serial::Status write = port_->Write(buffer, writeCount, written);
  if (!write.ok()) return write.ErrorNumber();
  if (written != writeCount) return ETIMEDOUT;

  port_->SetEventMask(kEvTxEmpty);
  if (const int drained = serial::ErrorNumberOf(serial::DrainOutput(*port_))) return drained;

  int got = 0;
  const serial::Status read = port_->Read(buffer, readCount, got);
  return read.ok() && got == readCount ? 0 : 1;
}

int OcdLink::Exchange(const OcdCommand& command, OcdBuffer& buffer) {
  const int writeCount = static_cast<int>(command.bytes.size());
  if (writeCount > static_cast<int>(buffer.size()) || command.readCount > static_cast<int>(buffer.size())) {
    return 1;
  }
  std::memcpy(buffer.data(), command.bytes.data(), command.bytes.size());
  return Exchange(buffer.data(), writeCount, command.readCount);
}

bool OcdLink::RestoreBaudRate() {
  return port_ && port_->IsOpen() && port_->SetBaudRate(host_.ConnectionBaud()).ok();
}

bool OcdLink::Open(const char* question, OcdOrder order) {
  const bool open = port_ && port_->IsOpen();

  // A setting already applied stays when the next one fails.
  const auto setBaudRate = [&] {
    if (open && port_->SetBaudRate(kOcdBaudRate).ok()) return true;
    host_.Tell(msg::kConfigurePort);
    return false;
  };
  const auto setTimeouts = [&] {
    if (open && port_->SetTimeouts(OcdTimeouts(port_->GetTimeouts())).ok()) return true;
    host_.Tell(msg::kSetTimeouts);
    return false;
  };
  if (order == OcdOrder::BaudRateFirst) {
    if (!setBaudRate() || !setTimeouts()) return false;
  } else {
    if (!setTimeouts() || !setBaudRate()) return false;
  }

  // Let what is still going out leave, then throw away what came in at the
  // connection's rate and what is still on its way: a FLASH cable returns a
  // command sentence sent just before ("$PZTQC,P", "$PZTQC,G") a byte's time
  // after it left, however soon the question was answered. Each read waits
  // for its piece up to its time-out, so the flush ends only after a read
  // that found the line quiet that long and nothing left queued.
  OcdBuffer buffer{};
  port_->SetEventMask(kEvTxEmpty);
  switch (serial::DrainOutput(*port_)) {
    case serial::Drain::Empty: break;
    case serial::Drain::TimedOut: host_.Tell(msg::kSendTimedOut); return false;
    case serial::Drain::Failed: host_.Tell(msg::kReadingData); return false;
  }
  port_->SetEventMask(kEvRxChar);
  const auto flushEnd = Clock::now() + std::chrono::milliseconds(kInputFlushBoundMs);
  int got = kFlushPiece, inQueue = 0, outQueue = 0;
  while ((got == kFlushPiece || inQueue > 0) && Clock::now() < flushEnd) {
    port_->Read(buffer.data(), kFlushPiece, got);
    if (!port_->QueueCounts(inQueue, outQueue).ok()) inQueue = 0;
  }

  // The break resets the debugger's autobaud detector; it is held while the
  // user decides, and ends whatever the answer. A line that has no break
  // condition (a pseudo-terminal) refuses it, which changes nothing here.
  port_->SetBreak(true);
  const int answer = host_.Ask(question);
  port_->SetBreak(false);
  if (answer == IDNO) {
    if (!RestoreBaudRate()) host_.Tell(msg::kConfigurePort);
    return false;
  }

  for (const HandshakeStep& step : kHandshake) {
    if (Exchange(step.command(), buffer) != 0) {
      host_.Tell(msg::kReadingData);
      return false;
    }
    if (step.check == Check::DebugStatus && !DebugStatusPasses(buffer)) {
      host_.Tell(msg::kReadingOcdStatus);
      return false;
    }
    if (step.check == Check::Revision) {
      host_.Tell(OcdVersionText(buffer[kRevisionMajorAt], buffer[kRevisionMinorAt]), msg::kCaptionStatus);
    }
  }
  return true;
}

}  // namespace orv::flash
