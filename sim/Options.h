#pragma once
// The quorvel-sim command line:
//
//   quorvel-sim [--link PATH] [--cable data|flash] [--baud N] [--replay FILE [--loop]]
//               [--no-pacing] [--memory FILE] [--dump FILE] [--fault NAME[=N]]... [--seed N]
//   quorvel-sim --help | --version     (also -h, -V)
//
// "--name value" and "--name=value" are both taken.
#include <string>
#include <vector>

#include "sim/HostOptions.h"
#include "sim/Unit.h"

namespace orv::sim {

struct SimOptions {
  UnitOptions unit;  // the replay bytes are read by the caller from replayPath
  HostOptions host;
  std::string replayPath;
  std::string memoryPath;
  std::string dumpPath;
  bool help = false;
  bool version = false;
};

// `args` are the arguments after the program name. False with a reason in
// `error` for anything it cannot take.
bool ParseSimArgs(const std::vector<std::string>& args, SimOptions& options, std::string& error);

std::string SimUsage();

// The rates a POSIX serial line can be set to.
bool IsLineRate(long rate);

}  // namespace orv::sim
