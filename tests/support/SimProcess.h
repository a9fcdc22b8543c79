#pragma once
// Runs the simulated unit, quorvel-sim, as its own process on a real
// pseudo-terminal, the way an end-to-end test meets the unit.
#include <string>
#include <sys/types.h>
#include <vector>

class SimProcess {
 public:
  SimProcess() = default;
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Starts quorvel-sim with `args` and waits (bounded) for the slave path it
  // prints first. False when it did not start or print in time.
  bool Start(const std::vector<std::string>& args, int timeoutMs = 5000);
  // SIGTERM, then waits for the exit (bounded; SIGKILL only if the bound
  // runs out, which a test then reports). Returns the exit status or -1.
  int Stop(int timeoutMs = 5000);

  const std::string& SlavePath() const { return slavePath_; }
  pid_t Pid() const { return pid_; }
  // Everything the simulator printed after the first line.
  std::string Output();

 private:
  pid_t pid_ = -1;
  int stdoutFd_ = -1;
  std::string slavePath_;
  std::string pending_;
};
