#include "SimProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

SimProcess::~SimProcess() { Stop(); }

bool SimProcess::Start(const std::vector<std::string>& args, int timeoutMs) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  std::vector<std::string> argvStrings{ORVANTA_SIM_PATH};
  argvStrings.insert(argvStrings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : argvStrings) argv.push_back(s.data());
  argv.push_back(nullptr);
  const int rc = posix_spawn(&pid_, ORVANTA_SIM_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    pid_ = -1;
    return false;
  }
  stdoutFd_ = fds[0];

  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (pending_.find('\n') == std::string::npos) {
    pollfd p{stdoutFd_, POLLIN, 0};
    if (poll(&p, 1, RemainingMs(deadline)) <= 0) return false;
    char buf[256];
    const ssize_t n = read(stdoutFd_, buf, sizeof buf);
    if (n <= 0) return false;
    pending_.append(buf, static_cast<size_t>(n));
  }
  const size_t eol = pending_.find('\n');
  slavePath_ = pending_.substr(0, eol);
  pending_.erase(0, eol + 1);
  return !slavePath_.empty();
}

std::string SimProcess::Output() {
  if (stdoutFd_ >= 0) {
    char buf[1024];
    for (;;) {
      pollfd p{stdoutFd_, POLLIN, 0};
      if (poll(&p, 1, 0) <= 0) break;
      const ssize_t n = read(stdoutFd_, buf, sizeof buf);
      if (n <= 0) break;
      pending_.append(buf, static_cast<size_t>(n));
    }
  }
  return pending_;
}

int SimProcess::Stop(int timeoutMs) {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  // The simulator's stdout closes when it exits: wait for that, bounded.
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(pid_, &status, WNOHANG)) == 0 && RemainingMs(deadline) > 0) {
    // Until its stdout closes, wait on that; afterwards the exit is a
    // moment away, so check back every few milliseconds.
    pollfd p{stdoutFd_, POLLIN, 0};
    if (poll(stdoutFd_ >= 0 ? &p : nullptr, stdoutFd_ >= 0 ? 1 : 0, stdoutFd_ >= 0 ? RemainingMs(deadline) : 5) > 0) {
      char buf[1024];
      const ssize_t n = read(stdoutFd_, buf, sizeof buf);
      if (n > 0) {
        pending_.append(buf, static_cast<size_t>(n));
      } else {
        close(stdoutFd_);
        stdoutFd_ = -1;
      }
    }
  }
  if (done == 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    status = -1;
  }
  if (stdoutFd_ >= 0) close(stdoutFd_);
  stdoutFd_ = -1;
  pid_ = -1;
  return status == -1 ? -1 : (WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}
