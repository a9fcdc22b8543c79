#include "sim/Options.h"

#include <cerrno>
#include <cstdlib>

namespace orv::sim {

namespace {

constexpr long kLineRates[] = {50,     75,      110,     134,     150,     200,     300,
                               600,    1200,    1800,    2400,    4800,    9600,    19200,
                               38400,  57600,   115200,  230400,  460800,  500000,  576000,
                               921600, 1000000, 1152000, 1500000, 2000000, 2500000, 3000000,
                               3500000, 4000000};

bool ParseNumber(const std::string& text, unsigned long long max, unsigned long long& value) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
  errno = 0;
  const unsigned long long n = std::strtoull(text.c_str(), nullptr, 10);
  if (errno != 0 || n > max) return false;
  value = n;
  return true;
}

using Setter = bool (*)(const std::string& value, SimOptions& options, std::string& error);

struct OptionRule {
  const char* name;
  bool takesValue;
  Setter set;
};

bool AskHelp(const std::string&, SimOptions& o, std::string&) {
  o.help = true;
  return true;
}

bool AskVersion(const std::string&, SimOptions& o, std::string&) {
  o.version = true;
  return true;
}

const OptionRule kRules[] = {
    {"--link", true,
     [](const std::string& v, SimOptions& o, std::string&) {
       o.host.linkPath = v;
       return true;
     }},
    {"--cable", true,
     [](const std::string& v, SimOptions& o, std::string& e) {
       if (v == "data") {
         o.unit.cable = Cable::Data;
       } else if (v == "flash") {
         o.unit.cable = Cable::Flash;
       } else {
         e = "--cable takes data or flash, not " + v;
         return false;
       }
       return true;
     }},
    {"--baud", true,
     [](const std::string& v, SimOptions& o, std::string& e) {
       unsigned long long n = 0;
       if (!ParseNumber(v, 4000000, n) || !IsLineRate(static_cast<long>(n))) {
         e = "--baud takes a serial line rate such as 4800, not " + v;
         return false;
       }
       o.unit.unitBaud = static_cast<int>(n);
       return true;
     }},
    {"--replay", true,
     [](const std::string& v, SimOptions& o, std::string&) {
       o.replayPath = v;
       return true;
     }},
    {"--loop", false,
     [](const std::string&, SimOptions& o, std::string&) {
       o.unit.loop = true;
       return true;
     }},
    {"--no-pacing", false,
     [](const std::string&, SimOptions& o, std::string&) {
       o.host.pacing = false;
       return true;
     }},
    {"--memory", true,
     [](const std::string& v, SimOptions& o, std::string&) {
       o.memoryPath = v;
       return true;
     }},
    {"--dump", true,
     [](const std::string& v, SimOptions& o, std::string&) {
       o.dumpPath = v;
       return true;
     }},
    {"--fault", true,
     [](const std::string& v, SimOptions& o, std::string& e) {
       return ApplyFault(v, o.unit.faults, e);
     }},
    {"--seed", true,
     [](const std::string& v, SimOptions& o, std::string& e) {
       unsigned long long n = 0;
       if (!ParseNumber(v, 0xFFFFFFFFULL, n)) {
         e = "--seed takes a number from 0 to 4294967295, not " + v;
         return false;
       }
       o.unit.seed = static_cast<uint32_t>(n);
       return true;
     }},
    {"--help", false, AskHelp},
    {"-h", false, AskHelp},
    {"--version", false, AskVersion},
    {"-V", false, AskVersion},
};

}  // namespace

bool IsLineRate(long rate) {
  for (const long r : kLineRates) {
    if (r == rate) return true;
  }
  return false;
}

bool ParseSimArgs(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    const OptionRule* rule = nullptr;
    for (const OptionRule& r : kRules) {
      if (name == r.name) rule = &r;
    }
    if (rule == nullptr) {
      error = "unknown argument: " + arg;
      return false;
    }
    std::string value;
    if (eq != std::string::npos) {
      if (!rule->takesValue) {
        error = name + " takes no value";
        return false;
      }
      value = arg.substr(eq + 1);
    } else if (rule->takesValue) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
    }
    if (rule->takesValue && value.empty()) {
      error = name + " needs a value";
      return false;
    }
    if (!rule->set(value, options, error)) return false;
  }
  if (options.unit.loop && options.replayPath.empty()) {
    error = "--loop needs --replay FILE";
    return false;
  }
  return true;
}

std::string SimUsage() {
  return "usage: quorvel-sim [--link PATH] [--cable data|flash] [--baud N]\n"
         "                   [--replay FILE [--loop]] [--no-pacing] [--memory FILE]\n"
         "                   [--dump FILE] [--fault NAME[=N]]... [--seed N]\n"
         "       quorvel-sim --help | --version\n"
         "\n"
         "Serves a simulated Quorvel unit on a pseudo-terminal and prints the\n"
         "terminal's path as its first line. Runs until SIGINT or SIGTERM.\n"
         "\n"
         "  --link PATH       also make PATH a symbolic link to the terminal\n"
         "  --cable data      NMEA stream, commands and firmware loader (default)\n"
         "  --cable flash     echoing FLASH cable and on-chip debugger at 57600\n"
         "  --baud N          the unit's line rate (default 4800)\n"
         "  --replay FILE     send FILE's bytes instead of the generated stream,\n"
         "                    from the first $PZTQC,G on; --loop repeats them\n"
         "  --no-pacing       no wire time: the PC's bytes arrive at once, and the\n"
         "                    unit's, stream and replay included, go out as fast\n"
         "                    as the terminal takes them\n"
         "  --memory FILE     program memory at start: 64 KiB binary, or Intel HEX\n"
         "                    when FILE ends in .hex, Orvanta's read-back files\n"
         "                    included (default: erased, all FF)\n"
         "  --dump FILE       write program memory, 64 KiB binary, at exit\n"
         "  --seed N          seed of the generated values (default 1)\n"
         "  --fault NAME[=N]  no-echo, bad-echo, late-reply[=MS], stop-ack=N,\n"
         "                    erase-hang, drop-after=N, hang-up=N, noise[=N], hash-ack\n"
         "  -h, --help        show this help and exit\n"
         "  -V, --version     show the version and exit\n";
}

}  // namespace orv::sim
