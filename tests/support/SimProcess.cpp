#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

// One read from a pipe poll() called ready; at its end (or on a broken
// pipe) the descriptor is closed, so later polls leave it out.
void ReadSome(int& fd, std::string& text) {
  char buf[1024];
  const ssize_t n = read(fd, buf, sizeof buf);
  if (n > 0) {
    text.append(buf, static_cast<size_t>(n));
  } else if (n == 0 || errno != EINTR) {
    CloseFd(fd);
  }
}

// What the pipe holds now, without waiting for more.
void ReadReady(int& fd, std::string& text) {
  while (fd >= 0) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) break;
    ReadSome(fd, text);
  }
}

// Waits up to timeoutMs for output on either pipe, which is read (so the
// simulator never stalls on a full pipe), or, with `exitFd`, for its end.
// False when nothing came in time.
bool Pump(int& out, std::string& outText, int& err, std::string& errText, int exitFd, int timeoutMs,
          bool& ended) {
  pollfd fds[3] = {{out, POLLIN, 0}, {err, POLLIN, 0}, {exitFd, POLLIN, 0}};
  const int ready = poll(fds, 3, timeoutMs);
  if (ready <= 0) return ready < 0 && errno == EINTR;
  if (fds[0].revents != 0) ReadSome(out, outText);
  if (fds[1].revents != 0) ReadSome(err, errText);
  ended = fds[2].revents != 0;
  return true;
}

}  // namespace

SimProcess::~SimProcess() {
  Stop();
  for (int* fd : {&pidfd_, &out_, &err_}) CloseFd(*fd);
}

bool SimProcess::Spawn(const std::vector<std::string>& args, std::string& error) {
  if (pid_ > 0) {
    error = "quorvel-sim already runs";
    return false;
  }
  for (int* fd : {&pidfd_, &out_, &err_}) CloseFd(*fd);
  haveFirstLine_ = false;
  firstLine_.clear();
  outText_.clear();
  errText_.clear();

  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) {
    error = std::string("pipe2: ") + std::strerror(errno);
    return false;
  }
  if (pipe2(errPipe, O_CLOEXEC) != 0) {
    error = std::string("pipe2: ") + std::strerror(errno);
    close(outPipe[0]);
    close(outPipe[1]);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
  std::vector<std::string> argvStrings{ORVANTA_SIM_PATH};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, ORVANTA_SIM_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  out_ = outPipe[0];
  err_ = errPipe[0];
  if (rc != 0) {
    error = std::string("posix_spawn " ORVANTA_SIM_PATH ": ") + std::strerror(rc);
    CloseFd(out_);
    CloseFd(err_);
    return false;
  }
  pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (pidfd_ < 0) {
    error = std::string("pidfd_open: ") + std::strerror(errno);
    // Without a pidfd no wait on it could be bounded, so it goes now.
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    CloseFd(out_);
    CloseFd(err_);
    return false;
  }
  pid_ = pid;
  return true;
}

bool SimProcess::Start(const std::vector<std::string>& args, int timeoutMs) {
  std::string error;
  if (!Spawn(args, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  if (!FirstLine(std::chrono::milliseconds(timeoutMs)).empty()) return true;
  // The caller only learns that it failed; the simulator's own words on
  // why must not be lost with the pipe.
  std::fputs(Errors().c_str(), stderr);
  return false;
}

void SimProcess::TakeFirstLine() {
  if (haveFirstLine_) return;
  const size_t eol = outText_.find('\n');
  if (eol == std::string::npos) return;
  firstLine_ = outText_.substr(0, eol);
  outText_.erase(0, eol + 1);
  haveFirstLine_ = true;
}

std::string SimProcess::FirstLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    TakeFirstLine();
    // A closed output brings no line any more.
    if (haveFirstLine_ || out_ < 0) break;
    const int left = MsLeft(deadline);
    bool ended = false;
    if (!Pump(out_, outText_, err_, errText_, -1, left, ended) || left == 0) {
      TakeFirstLine();
      break;
    }
  }
  return haveFirstLine_ ? firstLine_ : std::string();
}

std::string SimProcess::Output() {
  ReadReady(out_, outText_);
  TakeFirstLine();
  return outText_;
}

std::string SimProcess::Errors() {
  ReadReady(err_, errText_);
  return errText_;
}

void SimProcess::Signal(int signal) {
  if (pid_ > 0) kill(pid_, signal);
}

bool SimProcess::Wait(std::chrono::milliseconds timeout, int& status) {
  if (pid_ <= 0) return false;
  const auto deadline = Clock::now() + timeout;
  bool ended = false;
  while (!ended) {
    const int left = MsLeft(deadline);
    if (!Pump(out_, outText_, err_, errText_, pidfd_, left, ended)) return false;
    if (!ended && left == 0) return false;
  }
  int raw = 0;
  if (waitpid(pid_, &raw, 0) != pid_) return false;
  pid_ = -1;
  CloseFd(pidfd_);
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return true;
}

int SimProcess::Stop(int timeoutMs) {
  if (pid_ <= 0) return -1;
  Signal(SIGTERM);
  int status = -1;
  if (Wait(std::chrono::milliseconds(timeoutMs), status)) return status;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
  CloseFd(pidfd_);
  return -1;
}
