#pragma once
// The commands of the Z8 Encore! on-chip debugger as byte strings, each with
// the number of bytes the host reads back after sending it. The debug line
// is one wire, so that count always includes the echo of every byte sent;
// the debugger's answer follows the echo in the exchange buffer.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv::flash {

struct OcdCommand {
  std::vector<uint8_t> bytes;  // what goes out, in order
  int readCount = 0;           // what comes back, echo included
};

// The exchange buffer of the flash run and the read-back. Commands are built
// to fit it whole, echo and answer alike.
constexpr int kOcdBufferSize = 24;
// Most data bytes one memory or register command carries: 5 + 16 = 21 fits
// the buffer; the read-back reads exactly this many a command.
constexpr int kOcdMaxData = 16;

// Answer positions in the buffer after an exchange.
constexpr int kRevisionMajorAt = 1;
constexpr int kRevisionMinorAt = 2;
constexpr int kControlValueAt = 1;
constexpr int kCrcHighAt = 1;
constexpr int kCrcLowAt = 2;
constexpr int kRegisterDataAt = 4;
constexpr int kMemoryDataAt = 5;

// Control register values.
constexpr uint8_t kControlDebug = 0x80;
constexpr uint8_t kControlDebugReset = 0x81;
constexpr uint8_t kControlRelease = 0x00;

// The flash controller's registers and the values written to its control
// register (which reads back as the flash status).
constexpr uint16_t kFlashControlRegister = 0xFF8;
constexpr uint8_t kFlashLock = 0x00;
constexpr uint8_t kFlashUnlock1 = 0x73;
constexpr uint8_t kFlashUnlock2 = 0x8C;
constexpr uint8_t kFlashMassErase = 0x63;
// The unit's system clock, which the controller times its erase and
// programming pulses from.
constexpr int kUnitClockKHz = 18432;

// ---- The catalogue ----

// autobaud: 80                                   read 2
OcdCommand Autobaud();
// read revision: 00                              read 3   [1] major [2] minor
OcdCommand ReadRevision();
// write control: 04 vv                           read 2
OcdCommand WriteControl(uint8_t value);
// read control: 05                               read 2   [1] control value
OcdCommand ReadControl();
// write register: 08 0h ll nn d0 .. d(nn-1)      read 4 + nn
// 12-bit address, h = bits 11-8; nn from 1 to 16. Empty outside those.
std::optional<OcdCommand> WriteRegister(uint16_t address, const std::vector<uint8_t>& data);
// read register: 09 0h ll nn                     read 4 + nn   [4].. values
std::optional<OcdCommand> ReadRegister(uint16_t address, int count);
// write program memory: 0A ah al 00 nn d0 .. d(nn-1)   read 5 + nn
// nn from 0 to 16, and the data must stay below 10000. Anything else is
// refused: the original built this in a 24-byte buffer and would have
// written past it.
std::optional<OcdCommand> WriteProgramMemory(uint16_t address, const uint8_t* data, size_t count);
// read program memory: 0B ah al 00 nn            read 5 + nn   [5].. bytes
std::optional<OcdCommand> ReadProgramMemory(uint16_t address, int count);
// read memory CRC: 0E                            read 3   [1] high [2] low
OcdCommand ReadMemoryCrc();

// ---- The flash controller commands the run and the read-back send ----

enum class FlashCommand {
  SetUp,      // 08 0F F8 04 00 00 48 00  read 8: FF8-FFB = lock, page 0, clock 4800 kHz
  Control00,  // 08 0F F8 01 00           read 5: locked and idle
  Unlock1,    // 08 0F F8 01 73           read 5
  Unlock2,    // 08 0F F8 01 8C           read 5: writes and erases accepted
  MassErase,  // 08 0F F8 01 63           read 5
  Status,     // 09 0F F8 01              read 5   [4] status, 00 when idle
  Release,    // 04 00                    read 1: leave debug mode, the unit runs
};
// Position of the status byte after a Status exchange.
constexpr int kFlashStatusAt = kRegisterDataAt;

OcdCommand Command(FlashCommand which);
const char* CommandName(FlashCommand which);

// ---- Texts made from answers ----

// "OCD VERSION: 1.2"; bytes above 7F print as negative numbers.
std::string OcdVersionText(uint8_t major, uint8_t minor);
// "FLASH CRC: 1852" for 12 34, "FLASH CRC: -85-51" for AB CD.
std::string FlashCrcText(uint8_t high, uint8_t low);

}  // namespace orv::flash
