#pragma once
// CPU time of processes as the kernel counts it, and the processes a
// benchmark compares against.
#include <sys/types.h>

#include <string>
#include <vector>

namespace bench {

// Seconds of CPU the process's live threads have used so far, to the
// nanosecond (the run time utime + stime are sampled from); -1 when it
// cannot be read. Threads that have ended are not counted, so take both
// readings while the same threads run.
double CpuSeconds(pid_t pid);
// The X server of $DISPLAY (Xvfb, Xorg, X), found by its command line; -1 if none.
pid_t XServerPid();
// The path of program `name` on PATH or in /usr/sbin, /usr/bin; empty if none.
std::string FindProgram(const std::string& name);

// Milliseconds, sorted in place; "p50 .. p99 .. max .." or "no samples".
std::string Percentiles(std::vector<double>& ms);
double Percentile(const std::vector<double>& sorted, double fraction);
// The middle value (the upper of two); 0 when there is none.
double Median(std::vector<double> v);

}  // namespace bench
