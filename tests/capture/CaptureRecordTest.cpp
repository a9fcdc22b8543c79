#include "capture/CaptureRecord.h"

#include <gtest/gtest.h>

namespace {

TEST(CaptureRecord, Lines) {
  std::tm when{};  // 2026-03-07 09:05:04: every stamp field zero-padded
  when.tm_year = 126, when.tm_mon = 2, when.tm_mday = 7, when.tm_hour = 9, when.tm_min = 5, when.tm_sec = 4;
  const struct {
    const char* legend;
    int byteCount;
    std::string slots[orv::kSlots];
    std::string expected;
  } cases[] = {
      {"empty slot 0 gives two commas; slots 2 and 5 each less their last character", 300,
       {"", "", "$GPGLL,4916.45,N,12311.12,W,225444,A*31", "", "", "$GPRMC,1,A,2,N,3,W,4,5,6,7,E*6A"},
       "20260307090504,000300,,$GPGLL,4916.45,N,12311.12,W,225444,A*3,$GPRMC,1,A,2,N,3,W,4,5,6,7,E*6,\r\n"},
      {"transducers drop their CR; slot 0 first, slot 15 last", 5,
       {"$IIXDR,C,0071.5,C,ENGTMP0*6D\r", "", "", "$IIXDR,C,0071.5,C,ENGTMP3*65\r", "", "", "", "", "", "", "", "",
        "", "", "", "$IIXDR,C,0082.0,C,OILTMPF*1B\r"},
       "20260307090504,000005,$IIXDR,C,0071.5,C,ENGTMP0*6D,$IIXDR,C,0071.5,C,ENGTMP3*65,"
       "$IIXDR,C,0082.0,C,OILTMPF*1B,\r\n"},
      {"nothing filled", 300, {}, "20260307090504,000300,,\r\n"},
      {"a one-character slot leaves an empty field", 300, {"", "X"}, "20260307090504,000300,,,\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(orv::FormatCaptureRecord(when, c.byteCount, c.slots), c.expected) << c.legend;
}

// Where a recording goes when the user keeps the records of an earlier one.
TEST(CaptureRecord, NamesBeside) {
  const struct {
    std::string path, expected;
  } rows[] = {{"Quorvel_Capture.txt", "Quorvel_Capture_2.txt"},
              {"/tmp/run.d/capture", "/tmp/run.d/capture_2"},
              {"C:\\logs\\a.b.txt", "C:\\logs\\a.b_2.txt"},
              {"/home/u/.capture", "/home/u/.capture_2"}};
  for (const auto& row : rows) EXPECT_EQ(orv::NumberedBeside(row.path, 2), row.expected) << row.path;
}

}  // namespace
