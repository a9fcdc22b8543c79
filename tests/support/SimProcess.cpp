#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::max<long long>(0, left));
}

}  // namespace

SimProcess::~SimProcess() {
  Stop();
  CloseAll();
}

void SimProcess::CloseAll() {
  for (int* fd : {&pidfd_, &out_, &err_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

bool SimProcess::Spawn(const std::vector<std::string>& args, std::string& error) {
  if (pid_ > 0) {
    error = "quorvel-sim already runs";
    return false;
  }
  CloseAll();
  slavePath_.clear();
  // Standard error goes to a memory file, which never fills up and is read
  // whenever a test asks; standard output to a pipe for the first line.
  int out[2];
  err_ = memfd_create("quorvel-sim-errors", MFD_CLOEXEC);
  if (err_ < 0 || pipe2(out, O_CLOEXEC) != 0) {
    error = std::string("memfd_create/pipe2: ") + std::strerror(errno);
    CloseAll();
    return false;
  }
  out_ = out[0];
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err_, STDERR_FILENO);
  std::vector<std::string> strings{ORVANTA_SIM_PATH};
  strings.insert(strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& s : strings) argv.push_back(s.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, ORVANTA_SIM_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (rc != 0) {
    error = std::string("posix_spawn " ORVANTA_SIM_PATH ": ") + std::strerror(rc);
    CloseAll();
    return false;
  }
  pidfd_ = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (pidfd_ < 0) {
    // Without a pidfd no wait on it could be bounded, so it goes now.
    error = std::string("pidfd_open: ") + std::strerror(errno);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    CloseAll();
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
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string text;
  for (char c = 0; c != '\n';) {
    pollfd p{out_, POLLIN, 0};
    if (poll(&p, 1, MsLeft(deadline)) <= 0 || read(out_, &c, 1) != 1) {
      std::fputs(Errors().c_str(), stderr);
      return false;
    }
    if (c != '\n') text += c;
  }
  slavePath_ = text;
  return true;
}

std::string SimProcess::Errors() const {
  std::string text;
  char buf[1024];
  for (ssize_t n; err_ >= 0 && (n = pread(err_, buf, sizeof buf, static_cast<off_t>(text.size()))) > 0;) {
    text.append(buf, static_cast<size_t>(n));
  }
  return text;
}

void SimProcess::Signal(int signal) {
  if (pid_ > 0) kill(pid_, signal);
}

bool SimProcess::Wait(std::chrono::milliseconds timeout, int& status) {
  pollfd p{pidfd_, POLLIN, 0};
  int raw = 0;
  if (pid_ <= 0 || poll(&p, 1, static_cast<int>(timeout.count())) != 1 || waitpid(pid_, &raw, 0) != pid_) {
    return false;
  }
  pid_ = -1;
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
  return -1;
}
