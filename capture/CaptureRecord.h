#pragma once
// One line of a capture file:
//
//   20261206191503,000300,<slot 0>,<slot 2>,<slot 5>,CR LF
//
// the local time "%Y%m%d%H%M%S", the block's byte count "%6.6d", slot 0's
// raw sentence less its last character and a comma (always, so an empty
// slot 0 shows as two commas), then each filled slot 1..15 less its last
// character followed by a comma. The last character of a raw sentence is
// dropped whatever it is: the CR of a transducer sentence, the second
// checksum digit of the others. Every line ends in CR LF on every platform.
#include <ctime>
#include <string>

#include "display/DisplayModel.h"

namespace orv {

constexpr const char* kCaptureFileName = "Quorvel_Capture.txt";

std::string FormatCaptureStamp(const std::tm& localTime);
std::string FormatCaptureRecord(const std::tm& localTime, int byteCount, const std::string (&slots)[kSlots]);

// The caption's state part while recording: " recording ." until the first
// record, then " recording ... n".
std::string RecordingState(int records);
// After a write failed and recording stopped: " recording stopped ... n",
// the n records before the failure being on disk.
std::string RecordingStoppedState(int records);

// `path` with "_n" before the extension of its file name, where a new
// recording goes when the user keeps the records of an earlier one:
// Quorvel_Capture_2.txt beside Quorvel_Capture.txt.
std::string NumberedBeside(const std::string& path, int n);

}  // namespace orv
