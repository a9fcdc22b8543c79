#pragma once
// A pseudo-terminal whose slave the port under test opens and whose master
// the test drives. On Linux the termios calls on the master act on the
// slave's settings, which lets a test see what the port configured.
#include <chrono>
#include <string>

#include <termios.h>

namespace orv::serial::test {

class Pty {
 public:
  Pty();
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  bool Ok() const { return master_ >= 0; }
  const std::string& SlavePath() const { return slavePath_; }

  // Writes all of `bytes` to the master; false if that took longer than 2 s.
  bool Send(const std::string& bytes);
  // Reads from the master until n bytes came or timeoutMs ran out.
  std::string Receive(size_t n, int timeoutMs);
  // The slave's line settings.
  bool SlaveSettings(termios& t) const;
  bool SetSlaveSettings(const termios& t);
  // Hangs the line up, as a pulled cable does for the port.
  void CloseMaster();

 private:
  int master_ = -1;
  std::string slavePath_;
};

using TestClock = std::chrono::steady_clock;

inline long long MsSince(TestClock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(TestClock::now() - start).count();
}

}  // namespace orv::serial::test
