#pragma once
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
#include <array>
#include <memory>

#include "flash/FlashHost.h"
#include "flash/OcdCommands.h"

namespace orv::flash {

enum class OcdOrder { BaudRateFirst, TimeoutsFirst };

using OcdBuffer = std::array<unsigned char, kOcdBufferSize>;

class OcdLink {
 public:
  // Takes the host's port for the link's life.
  explicit OcdLink(FlashHost& host);

  // Writes the first writeCount bytes of buffer, then reads readCount bytes
  // into buffer from position 0: 0 when all came, else an error number or 1.
  int Exchange(unsigned char* buffer, int writeCount, int readCount);
  // `command` through the buffer: 0 when it went out and its whole reply came.
  int Exchange(const OcdCommand& command, OcdBuffer& buffer);
  // The port at the debugger's settings, applied in `order`, the user asked
  // `question` while the line is held in break, and the handshake made.
  // False after No and after any failure, each failure with its message.
  bool Open(const char* question, OcdOrder order);
  // The connection's rate back on the port; false when that fails. The
  // debugger's time-outs stay until the port is opened again.
  bool RestoreBaudRate();

 private:
  FlashHost& host_;
  std::shared_ptr<serial::Port> port_;
};

// Erases the whole program memory through an opened link and leaves the
// flash controller unlocked for the writes that follow. False, with its
// message, after No or any failure.
bool FlashInit(OcdLink& link, FlashHost& host);

}  // namespace orv::flash
