#include "capture/CaptureRecord.h"

#include "common/Text.h"

namespace orv {

namespace {

std::string LessLast(const std::string& sentence) {
  return sentence.empty() ? sentence : sentence.substr(0, sentence.size() - 1);
}

}  // namespace

std::string FormatCaptureStamp(const std::tm& localTime) {
  char stamp[32];
  const size_t n = std::strftime(stamp, sizeof stamp, "%Y%m%d%H%M%S", &localTime);
  return std::string(stamp, n);
}

std::string FormatCaptureRecord(const std::tm& localTime, int byteCount, const std::string (&slots)[kSlots]) {
  std::string slotText = LessLast(slots[0]) + ",";
  for (int i = 1; i < kSlots; ++i) {
    if (!slots[i].empty()) slotText += LessLast(slots[i]) + ",";
  }
  return Format("%s%c%6.6d%c%s", FormatCaptureStamp(localTime).c_str(), ',', byteCount, ',', slotText.c_str()) +
         "\r\n";
}

std::string RecordingState(int records) {
  return records == 0 ? std::string(" recording .") : Format(" recording ... %d", records);
}

std::string RecordingStoppedState(int records) { return Format(" recording stopped ... %d", records); }

std::string NumberedBeside(const std::string& path, int n) {
  const size_t name = path.find_last_of("/\\");
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (name != std::string::npos && dot < name) || dot == name + 1) dot = path.size();
  return path.substr(0, dot) + Format("_%d", n) + path.substr(dot);
}

}  // namespace orv
