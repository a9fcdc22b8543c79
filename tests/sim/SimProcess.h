#pragma once
// quorvel-sim as a child process, with bounded waits for its first line and
// its exit.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace orv::sim::test {

class SimProcess {
 public:
  SimProcess() = default;
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  bool Start(const std::vector<std::string>& args, std::string& error);
  // The first line on its standard output, without the LF; empty if none
  // came in time.
  std::string FirstLine(std::chrono::milliseconds timeout);
  void Signal(int signal);
  // Waits for the exit; false if it did not come in time. `status` is the
  // exit code, or 128 + the signal that ended it.
  bool Wait(std::chrono::milliseconds timeout, int& status);
  // Everything it wrote to standard error (after it has ended).
  std::string Errors();

 private:
  pid_t pid_ = -1;
  int pidfd_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string outText_;
};

}  // namespace orv::sim::test
