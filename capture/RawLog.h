#pragma once
// The raw log: the stream as received, one complete sentence a line, each
// ended by CR LF, and nothing else. That is what gpsd's gpsfake, the
// simulated unit's --replay and other NMEA tools read as they stand, which
// the capture file (time stamps, slots, a checksum digit cut) is not.
//
// A sentence cut by a block boundary is joined with its end from the next
// block; one the log began in the middle of, one cut by the end of a
// connection, line noise and lines without a sentence are left out. A
// sentence with a bad checksum is kept: it is what came.
#include <cstdio>
#include <string>
#include <vector>

#include "serial/NmeaLines.h"

namespace orv::capture {

class RawLog {
 public:
  RawLog() = default;
  ~RawLog();
  RawLog(const RawLog&) = delete;
  RawLog& operator=(const RawLog&) = delete;

  // Creates or empties `path`. False, with the system's reason, when it
  // cannot be opened.
  bool Open(const std::string& path, std::string& error);
  bool IsOpen() const { return file_ != nullptr; }

  // The bytes of one received block.
  void Feed(const char* data, size_t count);
  // What comes next does not continue what came before (a new connection,
  // or bytes lost on the way here).
  void Restart() { splitter_.Restart(); }
  // Hands what is buffered to the system. False once any write has failed;
  // the log is then of no more use and should be closed.
  bool Flush();
  // False when the last of it could not be written.
  bool Close();

  long long Sentences() const { return sentences_; }

 private:
  std::FILE* file_ = nullptr;
  bool failed_ = false;
  long long sentences_ = 0;
  serial::LineSplitter splitter_;
  std::vector<serial::StreamLine> lines_;
};

}  // namespace orv::capture
