#pragma once
// Drives a FlashImage over a whole file as the FLASH run does: every set-up
// of the header carried out, every table record acknowledged, the first
// error ending the run. What would have been sent and shown is kept.
#include <string>
#include <vector>

#include "common/LineReader.h"
#include "flash/FlashImage.h"

namespace orv::flash::test {

struct ImageRun {
  std::vector<FlashStep> setUps;
  std::vector<FlashStep> lines;       // one per line after the header
  std::vector<std::string> shown;     // the progress row's addresses, in order
  FlashStep end;                      // None when an error ended the run
  std::string error;
  int byteCount = 0;
  ImageFormat format = ImageFormat::None;

  // The record texts sent with acknowledgement after the header.
  std::vector<std::string> Sent() const {
    std::vector<std::string> sent;
    for (const FlashStep& step : lines) {
      if (step.action == Action::SendWithAck) sent.push_back(step.bytes);
    }
    return sent;
  }
};

inline ImageRun RunImage(const std::string& content) {
  ImageRun run;
  FlashImage image;
  size_t pos = 0;
  std::string line;
  if (NextLine(content, pos, line) != LineStatus::Line) return run;
  for (const FlashStep& step : image.Header(line)) {
    run.setUps.push_back(step);
    if (step.action == Action::Error) {
      run.error = step.message;
      return run;
    }
    image.Adopt(step.format);
  }
  while (NextLine(content, pos, line) == LineStatus::Line) {
    const FlashStep step = image.Line(line);
    run.lines.push_back(step);
    if (step.action == Action::Error) {
      run.error = step.message;
      run.byteCount = image.ByteCount();
      run.format = image.State();
      return run;
    }
    if (step.action == Action::SendWithAck && image.State() == ImageFormat::Table) {
      run.shown.push_back(image.Acknowledged());
    } else if (!step.address.empty()) {
      run.shown.push_back(step.address);
    }
  }
  run.end = image.End();
  run.byteCount = image.ByteCount();
  run.format = image.State();
  return run;
}

}  // namespace orv::flash::test
