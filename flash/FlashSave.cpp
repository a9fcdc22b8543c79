// SAVE to a ".hex" name: reads the whole 64 KiB of program memory through
// the on-chip debugger into an OCD image that FLASH can program back.
//
//   sent   0B ah al 00 10           read program memory, 16 bytes
//   read   0B ah al 00 10 d0..d15   the echo, then the bytes
//
// The file is the caller's, open in binary mode; the lines carry their own
// CR LF. A file that stops short lacks its end record, and FLASH refuses it.
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "flash/LinkSupport.h"
#include "flash/Messages.h"
#include "flash/OcdCommands.h"
#include "flash/Readback.h"

namespace {

namespace msg = orv::flash::msg;
using orv::flash::FlashCommand;

bool Write(std::FILE* file, const std::string& line) {
  return std::fwrite(line.data(), 1, line.size(), file) == line.size() && !std::ferror(file);
}

}  // namespace

bool CViewerDlg::SaveFlashData(std::FILE* file) {
  Write(file, orv::flash::ReadbackHeaderLine());
  RequestRepaint(true);

  if (!OcdOpen(msg::kSaveFlashData, OcdOrder::TimeoutsFirst)) return false;

  orv::flash::OcdBuffer buffer{};
  for (int record = 0; record < orv::flash::kReadbackRecords; ++record) {
    const auto address = static_cast<uint16_t>(record * orv::flash::kReadbackRecordBytes);
    const orv::flash::OcdCommand command = orv::flash::ReadbackCommand(address);
    // A reply whose echo is not the command came over a line that mangles
    // bytes: its data cannot be trusted, and its checksum, which sums the
    // echoed length and address, would not match the record.
    if (orv::flash::Exchange(*this, command, buffer) != 0 ||
        !std::equal(command.bytes.begin(), command.bytes.end(), buffer.begin())) {
      Message(msg::kReadingFlashData);
      return false;
    }
    const std::string line =
        orv::flash::ReadbackRecordLine(address, buffer.data(), static_cast<size_t>(orv::flash::kReadbackExchange));
    orv::flash::ShowProgress(*this, orv::Format("%04X", address));
    // A disk that fills up must not leave a short file that looks saved.
    if (!Write(file, line)) {
      Message(msg::kWritingFile);
      return false;
    }
  }
  if (!Write(file, orv::flash::ReadbackEndLine()) || std::fflush(file) != 0) {
    Message(msg::kWritingFile);
    return false;
  }

  // Lock the controller; whether it is heard changes nothing read.
  orv::flash::Exchange(*this, orv::flash::Command(FlashCommand::Control00), buffer);
  if (orv::flash::Exchange(*this, orv::flash::ReadMemoryCrc(), buffer) != 0) {
    Message(msg::kReadingCrcData);
    return false;
  }
  Message(orv::flash::FlashCrcText(buffer[orv::flash::kCrcHighAt], buffer[orv::flash::kCrcLowAt]),
          msg::kCaptionStatus);
  if (orv::flash::Exchange(*this, orv::flash::ReadControl(), buffer) != 0 ||
      orv::flash::Exchange(*this, orv::flash::Command(FlashCommand::Release), buffer) != 0) {
    Message(msg::kReadingData);
    return false;
  }
  orv::flash::RestoreBaudRate(*this);
  return true;
}
