#pragma once
// Telling a live line from a silent, garbled or lost one, from what the
// receive loop sees: how many bytes are queued, each block it reads, and
// whether the port failed. Pure: the loop hands in the time, so tests drive
// it with a clock of their own.
//
//   Waiting  connected, nothing judged yet
//   Live     the last block held NMEA sentences
//   Silent   nothing at all has arrived for silentAfterMs
//   NotNmea  bytes arrive, but the last two blocks held no sentence: what a
//            line at the wrong rate (or a device that is not the unit) gives
//   Lost     the port failed: the device went away (sticky)
//
// A 300-byte block of the unit's stream always holds the start of several
// sentences (none is longer than 82 characters), so one block without any
// may be a burst of line noise, but two in a row are not the unit talking
// at the rate the line is set to.
#include <string>

namespace orv::serial {

enum class LinkState { Waiting, Live, Silent, NotNmea, Lost };

// Everything about the link that is a matter of time, in milliseconds.
struct LinkTimings {
  // A talker sends at least once a second, and at 2400 bit/s a whole block
  // takes 1.25 s: three seconds without a byte is a silent line.
  int silentAfterMs = 3000;
  // After a line loss the same device is tried again: first after this...
  int reconnectFirstMs = 500;
  // ...then this often...
  int reconnectEveryMs = 1000;
  // ...for this long after the loss (time enough to re-plug an adapter).
  int reconnectForMs = 120000;
};

// Whether `data` holds the start of an NMEA sentence: "$", five capital
// letters or digits, ",". Zero bytes do not end the search.
bool HasSentenceStart(const char* data, int count);

class LinkWatch {
 public:
  static constexpr int kNotNmeaBlocks = 2;

  // Connected at nowMs.
  LinkWatch(int silentAfterMs, long long nowMs);

  // The input queue holds `queued` bytes at nowMs; growth means arrivals.
  void Queued(long long nowMs, int queued);
  // A block of `bytes` was read at nowMs.
  void Block(long long nowMs, int bytes, bool hasSentence);
  // Another user owns the line (a flash run), so silence is expected: the
  // silence is counted from nowMs again.
  void Hold(long long nowMs);
  // The port failed.
  void Failed() { lost_ = true; }

  LinkState State(long long nowMs) const;

 private:
  int silentAfterMs_;
  long long lastArrivalMs_;
  int queued_ = 0;
  int blocksWithout_ = 0;
  bool sawSentence_ = false;
  bool lost_ = false;
};

}  // namespace orv::serial
