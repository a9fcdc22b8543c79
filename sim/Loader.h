#pragma once
// The unit's firmware loader, open from "$PZTQC,P" until "$PZTQC,G" or the
// end record. It takes, in this order:
//
//   page-range command   "  *" SS EE [LF CR]   erase 512-byte pages SS..EE
//                        (a table image sends LF CR after the digits, an
//                        Intel HEX image nothing: the four characters after
//                        "  *" are the command, a LF and then a CR right
//                        after them are passed over)
//   records              ":" LL AAAA TT data CC [CR] LF, one per line
//
// and answers each with six bytes: the four characters at positions 3 to 6
// of what it received, then CR LF ("0D0D\r\n" for "  *0D0D", "1A00\r\n" for
// ":181A0000..."). A record it cannot take (no ":", bad digit, wrong length,
// bad checksum) or a page range that is not hex is answered "ERR!\r\n" and
// changes nothing. Data records (00) are programmed into the pages: flash
// bits only go from 1 to 0, so a byte lands as written only on an erased
// page. The end record (01) is answered and closes the loader; everything
// up to the next command is then ignored. Other record types are answered
// and otherwise ignored (the memory is 64 KiB, so there is nothing to
// extend). A page range whose end lies before its start erases nothing;
// pages beyond the 64 KiB are ignored. Erasing takes the part's time: the
// answer to a page range is due AnswerDelayMs() after the command's last
// byte, one page erase time for each page.
#include <cstdint>
#include <string>

#include "sim/Ocd.h"

namespace orv::sim {

struct LoaderOptions {
  // Answer "##" and the four characters instead of the four characters and
  // CR LF (a reply the PC also takes as an acknowledgement).
  bool hashAck = false;
  // Stop answering after this many records (page-range commands do not
  // count); -1 never stops.
  int stopAckAfter = -1;
};

class Loader {
 public:
  static constexpr int kPageSize = 512;
  static constexpr const char* kRefusal = "ERR!\r\n";
  static constexpr int kPageEraseMs = Ocd::kPageEraseMs;

  explicit Loader(LoaderOptions options = {}) : options_(options) {}

  void Open();
  void Close();
  bool IsOpen() const { return state_ != State::Closed && state_ != State::Done; }

  // One received byte; the answer, if this byte completes something, is
  // appended to `reply`.
  void Feed(uint8_t byte, Memory& memory, std::string& reply);

  // How long after the byte just fed its answer is due.
  int AnswerDelayMs() const { return answerDelayMs_; }
  int PagesErased() const { return pagesErased_; }
  int RecordsWritten() const { return recordsWritten_; }
  int RecordsRefused() const { return recordsRefused_; }

 private:
  enum class State { Closed, AwaitRange, RangeChars, RangeLf, RangeCr, Records, Done };

  void TakeRange(Memory& memory, std::string& reply);
  void TakeRecordByte(uint8_t byte, Memory& memory, std::string& reply);
  void TakeRecord(Memory& memory, std::string& reply);
  void Answer(const std::string& received, std::string& reply) const;

  LoaderOptions options_;
  State state_ = State::Closed;
  std::string recent_;  // last bytes while looking for "  *"
  std::string range_;   // "  *" and the four characters after it
  std::string line_;
  bool lineTooLong_ = false;
  int recordsAnswered_ = 0;
  int answerDelayMs_ = 0;
  int pagesErased_ = 0;
  int recordsWritten_ = 0;
  int recordsRefused_ = 0;
};

}  // namespace orv::sim
