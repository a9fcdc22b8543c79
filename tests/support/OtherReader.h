#pragma once
// Another program that reads a serial device without taking any lock, as
// gpsd does: cat, with what it reads thrown away. Ended when it goes.
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "serial/OpenFailure.h"

extern char** environ;

class OtherReader {
 public:
  explicit OtherReader(const std::string& path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>("cat"), const_cast<char*>(path.c_str()), nullptr};
    if (posix_spawn(&pid_, "/bin/cat", &actions, nullptr, argv, environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    // Bounded: until the process table shows it holding the device.
    for (int waited = 0; pid_ > 0 && waited < 5000 && !holding_; waited += 10) {
      holding_ = !orv::serial::OtherUsersOf(path).empty();
      if (!holding_) poll(nullptr, 0, 10);
    }
  }
  ~OtherReader() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  OtherReader(const OtherReader&) = delete;
  OtherReader& operator=(const OtherReader&) = delete;

 private:
  pid_t pid_ = -1;
  bool holding_ = false;
};
