#pragma once
// The PC's end of a simulator's pseudo-terminal, for the tests: opened and
// set up as the serial layer does it (raw, 8N1, a given rate), with reads
// and waits that all carry a deadline.
#include <chrono>
#include <cstdint>
#include <string>

namespace orv::sim::test {

using Clock = std::chrono::steady_clock;

class PtyClient {
 public:
  PtyClient() = default;
  ~PtyClient() { Close(); }
  PtyClient(const PtyClient&) = delete;
  PtyClient& operator=(const PtyClient&) = delete;

  bool Open(const std::string& path, int baud, std::string& error);
  void Close();
  bool SetBaud(int baud);
  bool Write(const std::string& bytes);
  // Reads until `count` bytes have come or `timeout` has passed.
  std::string Read(size_t count, std::chrono::milliseconds timeout);
  // Reads for the whole of `span`.
  std::string ReadFor(std::chrono::milliseconds span);
  // Reads until `what` has been seen or `timeout` has passed; returns what
  // was read.
  std::string ReadUntil(const std::string& what, std::chrono::milliseconds timeout);
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace orv::sim::test
