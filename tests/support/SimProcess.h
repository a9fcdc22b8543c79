#pragma once
// Runs the simulated unit, quorvel-sim, as its own process on a real
// pseudo-terminal, the way a user or an end-to-end test meets the unit.
// Every wait on it has a bound; its exit is watched through a pidfd.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

class SimProcess {
 public:
  SimProcess() = default;
  // Stops it as Stop() does if it still runs.
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  // Starts quorvel-sim with `args` (the program name not included) and
  // waits for nothing. False, with `error` saying why, when it could not be
  // started.
  bool Spawn(const std::vector<std::string>& args, std::string& error);
  // Spawn(), then waits (bounded) for the slave path it prints first. False
  // when it did not start or print in time; what it wrote on standard error
  // then goes to this process's.
  bool Start(const std::vector<std::string>& args, int timeoutMs = 5000);

  // The first line on its standard output, without the LF; empty if none
  // came in time.
  std::string FirstLine(std::chrono::milliseconds timeout);
  // The first line, once Start() or FirstLine() has seen it.
  const std::string& SlavePath() const { return firstLine_; }
  pid_t Pid() const { return pid_; }
  // Everything it printed after the first line, so far.
  std::string Output();
  // Everything it wrote to standard error, so far.
  std::string Errors();

  void Signal(int signal);
  // Waits for the exit; false if it did not come in time. `status` is the
  // exit code, or 128 + the signal that ended it.
  bool Wait(std::chrono::milliseconds timeout, int& status);
  // SIGTERM, then waits for the exit (bounded; SIGKILL only if the bound
  // runs out, which a test then reports). Returns the exit status, or -1
  // when it was not running or had to be killed.
  int Stop(int timeoutMs = 5000);

 private:
  void TakeFirstLine();

  pid_t pid_ = -1;
  int pidfd_ = -1;
  int out_ = -1;
  int err_ = -1;
  bool haveFirstLine_ = false;
  std::string firstLine_;
  // Standard output after the first line (all of it until that line is in).
  std::string outText_;
  std::string errText_;
};
