// Pacing accuracy of the simulator: the bytes per second a PC reads from the
// pseudo-terminal at each rate, against the ideal of baud / 10. The
// simulator stands in for the wire, so later timings lean on this.
//
//   bench_sim_pacing [seconds per rate, default 3]
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/PtyHost.h"

namespace {

using Clock = std::chrono::steady_clock;

int OpenAt(const std::string& path, int baud) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  termios tio{};
  tcgetattr(fd, &tio);
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  cfsetspeed(&tio, orv::sim::SpeedOf(baud));
  if (tcsetattr(fd, TCSANOW, &tio) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Bytes read from `fd` over `seconds`.
long long Drain(int fd, double seconds) {
  long long total = 0;
  char buf[8192];
  const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(seconds));
  while (Clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    poll(&p, 1, 10);
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) total += n;
  }
  return total;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
  std::printf("%8s %12s %12s %8s\n", "baud", "bytes/s", "ideal", "ratio");
  for (const int baud : {4800, 57600, 230400}) {
    orv::sim::UnitOptions unit;
    unit.unitBaud = baud;
    orv::sim::PtyHost host(unit, orv::sim::HostOptions{});
    std::string error;
    if (!host.Start(error)) {
      std::fprintf(stderr, "bench_sim_pacing: %s\n", error.c_str());
      return 1;
    }
    const int fd = OpenAt(host.SlavePath(), baud);
    if (fd < 0) {
      std::fprintf(stderr, "bench_sim_pacing: cannot open %s\n", host.SlavePath().c_str());
      return 1;
    }
    Drain(fd, 0.3);  // past the start
    const auto start = Clock::now();
    const long long bytes = Drain(fd, seconds);
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    close(fd);
    host.Stop();
    const double rate = static_cast<double>(bytes) / elapsed;
    const double ideal = baud / 10.0;
    std::printf("%8d %12.1f %12.1f %8.4f\n", baud, rate, ideal, rate / ideal);
  }
  return 0;
}
