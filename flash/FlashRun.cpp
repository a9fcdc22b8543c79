// FLASH: programs the unit from an image file, through its own firmware
// loader (table and Intel HEX images) or through the on-chip debugger (OCD
// images). The run blocks the window thread from the file dialog to the
// last message; progress shows in row 0 of the display.
//
// The file is read once, whole, and checked (ImageValidator) before the
// unit hears anything: an image that would reach it in pieces, overrun the
// debugger's buffer or program only part of it is refused while nothing
// has been sent or erased. The run then translates that same text, so what
// was checked is what is sent.
#include <cstdio>
#include <string>

#include "app/ViewerDlg.h"
#include "common/LineReader.h"
#include "common/Text.h"
#include "flash/FlashImage.h"
#include "flash/LinkBounds.h"
#include "flash/LinkSupport.h"
#include "flash/Messages.h"
#include "serial/UnitCommands.h"

namespace {

namespace msg = orv::flash::msg;
using orv::flash::Action;
using orv::flash::FlashStep;
using orv::flash::ImageFormat;

enum class ReadResult { Ok, Error, TooLarge };

ReadResult ReadWhole(std::FILE* file, std::string& content) {
  char chunk[8192];
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, file);
    content.append(chunk, n);
    if (static_cast<long long>(content.size()) > orv::flash::kMaxImageBytes) return ReadResult::TooLarge;
    if (n < sizeof chunk) return std::ferror(file) ? ReadResult::Error : ReadResult::Ok;
  }
}

class FlashRun {
 public:
  FlashRun(CViewerDlg& dlg, std::FILE* file) : dlg_(dlg), file_(file) {}
  ~FlashRun() {
    if (file_) std::fclose(file_);
  }
  FlashRun(const FlashRun&) = delete;
  FlashRun& operator=(const FlashRun&) = delete;

  void Run();

 private:
  enum class Loop { Done, Ended };

  bool Prepare();
  bool SetUp(const std::string& header);
  Loop Lines();
  void Closing();
  void Finish();

  // Closes the image file; `failure` is what a failed close shows.
  void CloseFile(const char* failure);
  // An exit that ends the run where it stands: the file closed, the port
  // free for the receive thread.
  void Abandon(const char* message);
  void Decline();
  int SendWithAck(const std::string& bytes);

  CViewerDlg& dlg_;
  std::FILE* file_;
  std::string content_;
  size_t pos_ = 0;
  orv::flash::FlashImage image_;
};

void FlashRun::CloseFile(const char* failure) {
  if (!file_) return;
  const int result = std::fclose(file_);
  file_ = nullptr;
  if (result != 0) dlg_.Message(failure);
}

void FlashRun::Abandon(const char* message) {
  if (message) dlg_.Message(message);
  CloseFile(msg::kCloseFile);
  dlg_.m_bPortBusy = 0;
}

// The user said No: the unit goes back to streaming.
void FlashRun::Decline() {
  Abandon(nullptr);
  dlg_.SendCommandG();
}

int FlashRun::SendWithAck(const std::string& bytes) {
  return dlg_.WritePort(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()), 1);
}

// Reads and checks the image; false when the run is over.
bool FlashRun::Prepare() {
  switch (ReadWhole(file_, content_)) {
    case ReadResult::Ok: break;
    case ReadResult::Error: Abandon(msg::kReadingFile); return false;
    case ReadResult::TooLarge: Abandon(msg::kFileTooLarge); return false;
  }
  const orv::flash::ImageProblem problem = orv::flash::ValidateImage(content_);
  if (!problem.Ok()) {
    Abandon(problem.message.c_str());
    return false;
  }
  return true;
}

// Each tag in the header sets its format up in turn; false when the run is over.
bool FlashRun::SetUp(const std::string& header) {
  for (const FlashStep& step : image_.Header(header)) {
    switch (step.action) {
      case Action::SendWithAck:
        if (dlg_.Message(msg::kEraseAndFlash, msg::kCaptionStatus, Buttons::YesNo) == IDNO) {
          Decline();
          return false;
        }
        if (SendWithAck(step.bytes) != 0) {
          Abandon(msg::kWritingDevice);
          return false;
        }
        break;
      case Action::OpenOcdAndErase:
        if (!dlg_.FlashInit()) {
          Abandon(msg::kFlashInit);
          dlg_.SendCommandG();
          return false;
        }
        break;
      default:
        Abandon(step.message.empty() ? msg::kInvalidFileType : step.message.c_str());
        return false;
    }
    image_.Adopt(step.format);
  }
  return true;
}

// Done: the run goes on to its closing steps. Ended: it is over.
FlashRun::Loop FlashRun::Lines() {
  std::string line;
  orv::flash::OcdBuffer buffer{};
  while (orv::NextLine(content_, pos_, line) == orv::LineStatus::Line) {
    const FlashStep step = image_.Line(line);
    if (step.action == Action::Error) {
      Abandon(step.message.c_str());
      return Loop::Ended;
    }
    if (!step.address.empty()) orv::flash::ShowProgress(dlg_, step.address);

    if (step.action == Action::SendWithAck) {
      if (SendWithAck(step.bytes) != 0) {
        // What was acknowledged stays programmed; the end record still goes.
        Abandon(msg::kWritingDevice);
        return Loop::Done;
      }
      if (image_.State() == ImageFormat::Table) orv::flash::ShowProgress(dlg_, image_.Acknowledged());
    } else if (step.action == Action::OcdWrite) {
      if (orv::flash::Exchange(dlg_, step.ocd, buffer) != 0) {
        // The debugger stays in debug mode and the port at its rate until
        // the user reconnects.
        Abandon(msg::kWritingData);
        return Loop::Ended;
      }
    }
  }
  return Loop::Done;
}

void FlashRun::Closing() {
  using orv::flash::FlashCommand;
  switch (image_.State()) {
    case ImageFormat::Ocd: {
      orv::flash::OcdBuffer buffer{};
      if (orv::flash::Exchange(dlg_, orv::flash::Command(FlashCommand::Control00), buffer) != 0) {
        dlg_.Message(msg::kWritingData);
        return;
      }
      if (orv::flash::Exchange(dlg_, orv::flash::ReadMemoryCrc(), buffer) != 0) {
        dlg_.Message(msg::kGettingCrc);
        return;
      }
      dlg_.Message(orv::flash::FlashCrcText(buffer[orv::flash::kCrcHighAt], buffer[orv::flash::kCrcLowAt]),
                   msg::kCaptionStatus);
      // The unit runs again whether or not the release is heard.
      orv::flash::Exchange(dlg_, orv::flash::Command(FlashCommand::Release), buffer);
      orv::flash::RestoreBaudRate(dlg_);
      return;
    }
    case ImageFormat::Table:
    case ImageFormat::IntelHex: {
      const std::string end = orv::flash::EndRecord();
      if (dlg_.WritePort(reinterpret_cast<const unsigned char*>(end.data()), static_cast<int>(end.size()), 0) != 0) {
        dlg_.Message(msg::kWritingDevice);
      }
      return;
    }
    case ImageFormat::None:
      return;
  }
}

void FlashRun::Finish() {
  CloseFile(msg::kCloseFlashFile);
  dlg_.Message(orv::Format(msg::kLoadedBytes, image_.ByteCount()), msg::kCaptionStatus);
  dlg_.m_bPortBusy = 0;
  dlg_.SendCommandG();
  dlg_.ResetDisplay(false);
  {
    std::lock_guard<std::mutex> lock(dlg_.m_lock);
    dlg_.m_model.m_nDisplayType = 2;
  }
  dlg_.OnDisplay();
}

void FlashRun::Run() {
  if (!Prepare()) return;

  const orv::CommandSentence program = orv::UnitCommand('P');
  if (dlg_.WritePort(program.data(), orv::kCommandLength, 0) != 0) dlg_.Message(msg::kWritingDevice);
  if (dlg_.Message(msg::kSureToFlash, msg::kCaptionStatus, Buttons::YesNo) != IDYES) {
    Decline();
    return;
  }
  dlg_.m_bPortBusy = 1;

  // An empty file has no header: no format, nothing to send, a count of 0.
  std::string header;
  if (orv::NextLine(content_, pos_, header) == orv::LineStatus::Line && !SetUp(header)) return;

  if (Lines() == Loop::Ended) return;
  Closing();
  Finish();
}

}  // namespace

void CViewerDlg::OnFlash() {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_model.m_nDisplayType = 3;
  }
  OnDisplay();

  FileDialogRequest request;
  request.open = true;
  request.defaultExt = msg::kFlashFileExtension;
  request.initialName = msg::kFlashFileName;
  request.filter = msg::kFlashFileFilter;
  m_strFlashFile = m_env.modal->FileDialog(this, request);

  if (!m_bConnected) {
    m_bPortBusy = 0;
    return;
  }
  if (m_strFlashFile.empty()) {
    Message(msg::kNoFlashPath);
    m_bPortBusy = 0;
    return;
  }
  // Binary: line ends are the line reader's business, the same on every platform.
  std::FILE* file = std::fopen(m_strFlashFile.c_str(), "rb");
  if (!file) {
    Message(msg::kOpenFlashFile);
    m_bPortBusy = 0;
    return;
  }
  RequestRepaint(true);
  FlashRun(*this, file).Run();
}
