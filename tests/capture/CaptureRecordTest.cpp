#include "capture/CaptureRecord.h"

#include <gtest/gtest.h>

namespace {

std::tm At(int y, int mo, int d, int h, int mi, int s) {
  std::tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  return t;
}

struct RecordCase {
  const char* legend;
  int byteCount;
  std::string slots[orv::kSlots];
  std::string expected;
};

TEST(CaptureRecord, Lines) {
  const std::tm when = At(2026, 3, 7, 9, 5, 4);
  const RecordCase cases[] = {
      {"empty slot 0 gives two commas; slots 2 and 5 each less their last character",
       300,
       {"", "", "$GPGLL,4916.45,N,12311.12,W,225444,A*31", "", "", "$GPRMC,1,A,2,N,3,W,4,5,6,7,E*6A"},
       "20260307090504,000300,,$GPGLL,4916.45,N,12311.12,W,225444,A*3,$GPRMC,1,A,2,N,3,W,4,5,6,7,E*6,\r\n"},
      {"depth sentence drops its second checksum digit",
       300,
       {"", "", "", "", "", "", "$SDDBT,7.8,f,2.4,M,1.3,F*0D"},
       "20260307090504,000300,,$SDDBT,7.8,f,2.4,M,1.3,F*0,\r\n"},
      {"transducer sentence drops its CR; slot 0 is written first",
       5,
       {"$IIXDR,C,0071.5,C,ENGTMP0*6D\r", "", "", "$IIXDR,C,0071.5,C,ENGTMP3*65\r"},
       "20260307090504,000005,$IIXDR,C,0071.5,C,ENGTMP0*6D,$IIXDR,C,0071.5,C,ENGTMP3*65,\r\n"},
      {"nothing filled", 300, {}, "20260307090504,000300,,\r\n"},
      {"a one-character slot leaves an empty field", 300, {"", "X"}, "20260307090504,000300,,,\r\n"},
  };
  for (const RecordCase& c : cases) {
    EXPECT_EQ(orv::FormatCaptureRecord(when, c.byteCount, c.slots), c.expected) << c.legend;
  }
}

TEST(CaptureRecord, StampIsZeroPadded) {
  EXPECT_EQ(orv::FormatCaptureStamp(At(2027, 1, 2, 3, 4, 5)), "20270102030405");
}

}  // namespace
