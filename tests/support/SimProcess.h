#pragma once
// Runs the simulated unit, quorvel-sim, as its own process on a real
// pseudo-terminal, the way a user or an end-to-end test meets the unit.
// Every wait on it has a bound; its exit is watched through a pidfd, and
// what it says on standard error is kept in memory for a failure's message.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

class SimProcess {
 public:
  SimProcess() = default;
  ~SimProcess();  // Stop()
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Starts quorvel-sim with `args` and waits for nothing; false, with
  // `error` saying why, when it could not be started.
  bool Spawn(const std::vector<std::string>& args, std::string& error);
  // Spawn(), then waits (bounded) for the slave path it prints first; on
  // failure what it said goes to this process's standard error.
  bool Start(const std::vector<std::string>& args, int timeoutMs = 5000);
  const std::string& SlavePath() const { return slavePath_; }
  // Everything it wrote to standard error so far.
  std::string Errors() const;

  void Signal(int signal);
  // Waits for the exit; false if it did not come in time. `status` is the
  // exit code, or 128 + the signal that ended it.
  bool Wait(std::chrono::milliseconds timeout, int& status);
  // SIGTERM and a bounded wait (SIGKILL only when that runs out). The exit
  // status, or -1 when it was not running or had to be killed.
  int Stop(int timeoutMs = 5000);

 private:
  void CloseAll();

  pid_t pid_ = -1;
  int pidfd_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string slavePath_;
};
