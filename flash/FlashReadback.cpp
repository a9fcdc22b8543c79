#include "flash/FlashReadback.h"

#include <algorithm>

#include "common/ReplacementFile.h"
#include "common/Text.h"
#include "flash/Messages.h"
#include "flash/OcdLink.h"
#include "flash/Readback.h"

namespace orv::flash {
namespace {

// The file takes its place only at the end, so nothing is gained by
// writing it out often; one write every couple of hundred records.
constexpr size_t kSaveBufferSize = 8192;

bool Write(std::FILE* file, const std::string& line) {
  return std::fwrite(line.data(), 1, line.size(), file) == line.size() && !std::ferror(file);
}

// The memory, the CRC and the release, once the link is open.
bool ReadMemory(FlashHost& host, OcdLink& link, std::FILE* file) {
  OcdBuffer buffer{};
  for (int record = 0; record < kReadbackRecords; ++record) {
    const auto address = static_cast<uint16_t>(record * kReadbackRecordBytes);
    const OcdCommand command = ReadbackCommand(address);
    // A reply whose echo is not the command came over a line that mangles
    // bytes: its data cannot be trusted, and its checksum, which sums the
    // echoed length and address, would not match the record.
    if (link.Exchange(command, buffer) != 0 || !std::equal(command.bytes.begin(), command.bytes.end(), buffer.begin())) {
      host.Tell(msg::kReadingFlashData);
      return false;
    }
    host.Progress(Format("%04X", address));
    // A disk that fills up must not leave a short file that looks saved.
    if (!Write(file, ReadbackRecordLine(address, buffer.data(), static_cast<size_t>(kReadbackExchange)))) {
      host.Tell(msg::kWritingFile);
      return false;
    }
  }
  if (!Write(file, ReadbackEndLine()) || std::fflush(file) != 0) {
    host.Tell(msg::kWritingFile);
    return false;
  }

  // Lock the controller; whether it is heard changes nothing read.
  link.Exchange(Command(FlashCommand::Control00), buffer);
  if (link.Exchange(ReadMemoryCrc(), buffer) != 0) {
    host.Tell(msg::kReadingCrcData);
    return false;
  }
  host.Tell(FlashCrcText(buffer[kCrcHighAt], buffer[kCrcLowAt]), msg::kCaptionStatus);
  if (link.Exchange(ReadControl(), buffer) != 0 || link.Exchange(Command(FlashCommand::Release), buffer) != 0) {
    host.Tell(msg::kReadingData);
    return false;
  }
  return true;
}

}  // namespace

bool SaveFlashData(FlashHost& host, std::FILE* file) {
  Write(file, ReadbackHeaderLine());
  OcdLink link(host);
  const bool saved = link.Open(msg::kSaveFlashData, OcdOrder::TimeoutsFirst) && ReadMemory(host, link, file);
  // Whatever happened, the live view goes on at the connection's rate.
  link.RestoreBaudRate();
  return saved;
}

void SaveFlashFile(FlashHost& host, const std::string& path) {
  ReplacementFile out(path);
  if (!out.Stream()) {
    host.Tell(msg::kOpenFlashFile);
    host.PortBusy(false);
    return;
  }
  if (std::setvbuf(out.Stream(), nullptr, _IOFBF, kSaveBufferSize) != 0) {
    host.Tell(msg::kSetBuffer);
    return;
  }
  if (SaveFlashData(host, out.Stream()) && !out.Commit()) host.Tell(msg::kWritingFile);
}

}  // namespace orv::flash
