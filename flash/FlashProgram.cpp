#include "flash/FlashProgram.h"

#include <cstdio>

#include "common/LineReader.h"
#include "common/RegularFile.h"
#include "common/Text.h"
#include "flash/FlashImage.h"
#include "flash/Messages.h"
#include "flash/OcdLink.h"
#include "serial/UnitCommands.h"
#include "serial/UnitWriter.h"

namespace orv::flash {
namespace {

enum class ReadResult { Ok, Error, TooLarge };

ReadResult ReadWhole(std::FILE* file, std::string& content) {
  char chunk[8192];
  for (;;) {
    const size_t n = std::fread(chunk, 1, sizeof chunk, file);
    content.append(chunk, n);
    if (static_cast<long long>(content.size()) > kMaxImageBytes) return ReadResult::TooLarge;
    if (n < sizeof chunk) return std::ferror(file) ? ReadResult::Error : ReadResult::Ok;
  }
}

class FlashRun {
 public:
  FlashRun(FlashHost& host, const std::string& image, const ImagePlan& plan)
      : host_(host), port_(host.LinkPort()), link_(host), image_(image), plan_(plan) {}

  RunEnd Run();

 private:
  bool SetUp();
  // False when the run is over; true when it goes on to its closing steps.
  bool Lines();
  void Closing();
  RunEnd Leave(RunEnd end);
  int Send(const std::string& bytes, bool acknowledged, int allowanceMs = serial::kAnswerAllowanceMs);

  FlashHost& host_;
  std::shared_ptr<serial::Port> port_;
  OcdLink link_;
  const std::string& image_;
  const ImagePlan& plan_;
  ImageTranslator lines_;
  size_t pos_ = 0;
  int byteCount_ = 0;
  bool debuggerUsed_ = false;
};

int FlashRun::Send(const std::string& bytes, bool acknowledged, int allowanceMs) {
  return serial::WriteToUnit(port_.get(), reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<int>(bytes.size()), acknowledged, allowanceMs);
}

// Every way out once "$PZTQC,P" went out: the port back at the unit's rate
// after the debugger, then the unit told to go on streaming.
RunEnd FlashRun::Leave(RunEnd end) {
  if (debuggerUsed_) link_.RestoreBaudRate();
  host_.PortBusy(false);
  if (const int result = serial::SendUnitCommand(port_.get(), 'G')) host_.Tell(Format(serial::kWriteFailure, result));
  return end;
}

bool FlashRun::SetUp() {
  std::string header;
  NextLine(image_, pos_, header);
  lines_.Header(header);
  if (plan_.format == ImageFormat::Ocd) {
    debuggerUsed_ = true;
    if (FlashInit(link_, host_)) return true;
    host_.Tell(msg::kFlashInit);
    return false;
  }
  if (host_.Ask(msg::kEraseAndFlash) == IDNO) return false;
  if (Send(plan_.pageRange, true, serial::PageRangeAllowanceMs(plan_.pages)) == 0) return true;
  host_.Tell(msg::kWritingDevice);
  return false;
}

bool FlashRun::Lines() {
  std::string line;
  OcdBuffer buffer{};
  while (NextLine(image_, pos_, line) == LineStatus::Line) {
    const FlashStep step = lines_.Line(line);
    if (!step.showBefore.empty()) host_.Progress(step.showBefore);
    if (step.action == Action::SendWithAck && Send(step.bytes, true) != 0) {
      // What was acknowledged stays programmed; the end record still goes.
      host_.Tell(msg::kWritingDevice);
      return true;
    }
    if (step.action == Action::OcdWrite && link_.Exchange(step.ocd, buffer) != 0) {
      host_.Tell(msg::kWritingData);
      return false;
    }
    byteCount_ += step.byteGrowth;
    if (!step.showAfter.empty()) host_.Progress(step.showAfter);
  }
  byteCount_ += lines_.UnpairedGrowth();
  return true;
}

void FlashRun::Closing() {
  if (plan_.format != ImageFormat::Ocd) {
    if (Send(EndRecord(), false) != 0) host_.Tell(msg::kWritingDevice);
    return;
  }
  OcdBuffer buffer{};
  if (link_.Exchange(Command(FlashCommand::Control00), buffer) != 0) {
    host_.Tell(msg::kWritingData);
    return;
  }
  if (link_.Exchange(ReadMemoryCrc(), buffer) != 0) {
    host_.Tell(msg::kGettingCrc);
    return;
  }
  host_.Tell(FlashCrcText(buffer[kCrcHighAt], buffer[kCrcLowAt]), msg::kCaptionStatus);
  // The unit runs again whether or not the release is heard.
  link_.Exchange(Command(FlashCommand::Release), buffer);
}

RunEnd FlashRun::Run() {
  const CommandSentence program = UnitCommand('P');
  if (serial::WriteToUnit(port_.get(), program.data(), kCommandLength, false) != 0) host_.Tell(msg::kWritingDevice);
  if (host_.Ask(msg::kSureToFlash) != IDYES) return Leave(RunEnd::Abandoned);
  host_.PortBusy(true);
  if (!SetUp() || !Lines()) return Leave(RunEnd::Abandoned);
  Closing();
  if (debuggerUsed_) link_.RestoreBaudRate();
  debuggerUsed_ = false;
  host_.Tell(Format(msg::kLoadedBytes, byteCount_), msg::kCaptionStatus);
  return Leave(RunEnd::Finished);
}

}  // namespace

bool ReadImageFile(FlashHost& host, const std::string& path, std::string& image) {
  const char* failure = nullptr;
  int error = 0;
  std::FILE* file = path.empty() ? nullptr : OpenRegularFile(path, "rb", error);
  if (path.empty()) {
    failure = msg::kNoFlashPath;
  } else if (!file) {
    // A FIFO or a device named by mistake is refused, never waited on.
    failure = msg::kOpenFlashFile;
  } else {
    switch (ReadWhole(file, image)) {
      case ReadResult::Ok: break;
      case ReadResult::Error: failure = msg::kReadingFile; break;
      case ReadResult::TooLarge: failure = msg::kFileTooLarge; break;
    }
    if (std::fclose(file) != 0 && !failure) failure = msg::kCloseFile;
  }
  if (!failure) return true;
  host.Tell(failure);
  host.PortBusy(false);
  return false;
}

RunEnd ProgramImage(FlashHost& host, const std::string& image) {
  ImagePlan plan;
  const ImageProblem problem = CheckImage(image, plan);
  if (!problem.Ok()) {
    host.Tell(problem.message);
    host.PortBusy(false);
    return RunEnd::Abandoned;
  }
  return FlashRun(host, image, plan).Run();
}

}  // namespace orv::flash
