#pragma once
// Cases the port tests of both platforms run: on POSIX against the master
// of a pseudo-terminal, on Windows against the simulated unit behind a COM
// port (under Wine), whose FLASH cable returns every byte it is sent.
#include <functional>
#include <string>
#include <vector>

#include "serial/Port.h"

namespace orv::serial::test {

// Upper bounds are generous: the build machine has two busy cores.
constexpr long long kSlackMs = 250;

struct ReadCase {
  const char* legend;
  Timeouts timeouts;
  std::string bytes;  // what the far end sends
  bool duringRead;    // sent once the read waits, else queued before it
  int want;
  const char* code;
  long long minMs;
  long long maxMs;
};

// The two time-out regimes: the connection's reads take what is queued and
// never wait; the OCD link's wait for every byte asked for, up to 100 ms
// and 1 ms a byte.
inline const std::vector<ReadCase>& ReadCases() {
  static const std::vector<ReadCase> cases = {
      {"connection, nothing queued", Timeouts::Connection(), "", false, 300, "None", 0, 50},
      {"connection, takes what is queued", Timeouts::Connection(), "12345", false, 300, "None", 0, 50},
      {"ocd, nothing comes", Timeouts::Ocd(), "", false, 5, "Timeout", 105 - 1, 105 + kSlackMs},
      {"ocd, three of five", Timeouts::Ocd(), "abc", false, 5, "Timeout", 105 - 1, 105 + kSlackMs},
      {"ocd, all came", Timeouts::Ocd(), "\x05\x80", false, 2, "None", 0, 50},
      {"ocd, all come while it waits", Timeouts::Ocd(), "rev", true, 3, "None", 0, 103},
  };
  return cases;
}

struct PortCall {
  const char* legend;
  std::function<Status(Port&)> call;
};

// The calls that must refuse work with Closed once the device has gone or
// the port was closed.
inline std::vector<PortCall> IoCalls() {
  return {
      {"read that returns at once", [](Port& p) { char b[8]; int n = 0; return p.Read(b, 8, n); }},
      {"read that waits",
       [](Port& p) { p.SetTimeouts(Timeouts::Ocd()); char b[8]; int n = 0; return p.Read(b, 8, n); }},
      {"write", [](Port& p) { int n = 0; return p.Write("G", 1, n); }},
      {"queue counts", [](Port& p) { int in = 0, out = 0; return p.QueueCounts(in, out); }},
      {"wait for input", [](Port& p) { return p.WaitForInput(1, 1000); }},
  };
}

}  // namespace orv::serial::test
