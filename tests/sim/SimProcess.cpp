#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace orv::sim::test {

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return static_cast<int>(std::max<int64_t>(0, left.count()));
}

}  // namespace

SimProcess::~SimProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  for (const int fd : {pidfd_, out_, err_}) {
    if (fd >= 0) close(fd);
  }
}

bool SimProcess::Start(const std::vector<std::string>& args, std::string& error) {
  int outPipe[2];
  int errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0) {
    error = std::string("pipe2: ") + std::strerror(errno);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(outPipe[1]);
  close(errPipe[1]);
  out_ = outPipe[0];
  err_ = errPipe[0];
  if (rc != 0) {
    pid_ = -1;
    error = std::string("posix_spawn ") + args[0] + ": " + std::strerror(rc);
    return false;
  }
  pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
  if (pidfd_ < 0) {
    error = std::string("pidfd_open: ") + std::strerror(errno);
    return false;
  }
  return true;
}

std::string SimProcess::FirstLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (outText_.find('\n') == std::string::npos) {
    pollfd p{out_, POLLIN, 0};
    if (poll(&p, 1, MsLeft(deadline)) <= 0) return "";
    char buf[256];
    const ssize_t n = read(out_, buf, sizeof buf);
    if (n <= 0) return "";
    outText_.append(buf, static_cast<size_t>(n));
  }
  return outText_.substr(0, outText_.find('\n'));
}

void SimProcess::Signal(int signal) {
  if (pid_ > 0) kill(pid_, signal);
}

bool SimProcess::Wait(std::chrono::milliseconds timeout, int& status) {
  if (pid_ <= 0) return false;
  pollfd p{pidfd_, POLLIN, 0};
  if (poll(&p, 1, static_cast<int>(timeout.count())) <= 0) return false;
  int raw = 0;
  if (waitpid(pid_, &raw, 0) != pid_) return false;
  pid_ = -1;
  status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  return true;
}

std::string SimProcess::Errors() {
  std::string text;
  char buf[1024];
  pollfd p{err_, POLLIN, 0};
  while (poll(&p, 1, 0) > 0) {
    const ssize_t n = read(err_, buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<size_t>(n));
  }
  return text;
}

}  // namespace orv::sim::test
