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
  std::vector<FlashStep> lines;    // one per line after the header
  std::vector<std::string> sent;   // the texts sent with acknowledgement after the header
  std::vector<std::string> shown;  // the progress row's addresses, in order
  FlashStep end;                   // None when an error ended the run
  std::string error;
  int byteCount = 0;
};

inline ImageRun RunImage(const std::string& content) {
  ImageRun run;
  FlashImage image;
  size_t pos = 0;
  std::string line;
  if (NextLine(content, pos, line) != LineStatus::Line) return run;
  for (const FlashStep& step : image.Header(line)) {
    if (step.action == Action::Error) run.error = step.message;
    if (step.action == Action::Error) return run;
    image.Adopt(step.format);
  }
  while (run.error.empty() && NextLine(content, pos, line) == LineStatus::Line) {
    const FlashStep step = image.Line(line);
    run.lines.push_back(step);
    if (step.action == Action::Error) run.error = step.message;
    if (step.action == Action::SendWithAck) run.sent.push_back(step.bytes);
    const bool tableRecord = step.action == Action::SendWithAck && image.State() == ImageFormat::Table;
    if (tableRecord || !step.address.empty()) run.shown.push_back(tableRecord ? image.Acknowledged() : step.address);
  }
  if (run.error.empty()) run.end = image.End();
  run.byteCount = image.ByteCount();
  return run;
}

}  // namespace orv::flash::test
