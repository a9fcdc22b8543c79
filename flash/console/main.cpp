// orvanta-flash: FLASH and SAVE from a command line, through the same run
// the window uses, so that a script (or a test under Wine) can program a
// unit and read it back without a window.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/Version.h"
#include "flash/FlashProgram.h"
#include "flash/FlashReadback.h"
#include "flash/console/ConsoleHost.h"
#include "serial/OpenFailure.h"
#include "serial/OpenLine.h"
#include "serial/PortNames.h"

namespace {

const char kUsage[] =
    "usage: orvanta-flash [--baud N] [--yes] [--program IMAGE] [--read FILE] PORT\n"
    "       orvanta-flash --help | --version\n";

const char kHelp[] =
    "\n"
    "Programs a Quorvel unit from an image file and reads its program memory\n"
    "back, as Orvanta's FLASH and SAVE buttons do, on the serial port PORT\n"
    "(COM1, COM2, ... or a device path such as /dev/ttyUSB0).\n"
    "\n"
    "  --program IMAGE  program IMAGE: a [TABLE] or [INTELHEX] image through\n"
    "                   the unit's loader (data cable), a [ZTQFLASH] image\n"
    "                   through the on-chip debugger (FLASH cable)\n"
    "  --read FILE      read the 64 KiB program memory into FILE (FLASH cable),\n"
    "                   an image --program takes back; after --program when\n"
    "                   both are given\n"
    "  --baud N         the unit's line rate (default 4800)\n"
    "  --yes            answer Yes to every question instead of asking\n"
    "  -h, --help       show this help and exit\n"
    "  -V, --version    show the version and exit\n"
    "\n"
    "Exit status: 0 when all that was asked was done; 1 when an error was\n"
    "shown, a question answered No or the port could not be opened; 2 for a\n"
    "command line it does not take.\n";

struct Options {
  std::string port, program, read;
  int baud = 4800;
  bool yes = false;
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "orvanta-flash: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "-h" || arg == "--help") {
      std::printf("%s%s", kUsage, kHelp);
      return 0;
    }
    if (arg == "-V" || arg == "--version") {
      std::printf("orvanta-flash %s\n", orv::kVersion);
      return 0;
    }
    if (arg == "--yes") {
      o.yes = true;
    } else if ((arg == "--program" || arg == "--read" || arg == "--baud") && !hasValue) {
      return Usage(arg + " needs a value");
    } else if (arg == "--program") {
      o.program = argv[++i];
    } else if (arg == "--read") {
      o.read = argv[++i];
    } else if (arg == "--baud") {
      char* end = nullptr;
      const long baud = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || baud > 1000000 || !orv::serial::IsSupportedBaudRate(static_cast<int>(baud))) {
        return Usage(std::string("not a rate the unit takes: ") + argv[i]);
      }
      o.baud = static_cast<int>(baud);
    } else if (arg.rfind("-", 0) == 0 || !o.port.empty()) {
      return Usage("unknown argument: " + arg);
    } else {
      o.port = arg;
    }
  }
  if (o.port.empty() || (o.program.empty() && o.read.empty())) return Usage("a PORT and --program or --read, or both");

  const std::string path = orv::serial::DevicePath(o.port, [](const std::string&) { return std::string(); });
  orv::serial::OpenedLine line = orv::serial::OpenLine(path, o.baud);
  if (!line.ok()) {
    std::string text = line.status.Text();
    // The same plain-words reason the window gives: no device, no
    // permission (and the group to join) or another program holding it.
    if (line.failed == orv::serial::OpenStep::Open) {
      text += "\n" + orv::serial::OpenFailureReason(line.status, orv::serial::GatherDeviceFacts(path));
    }
    std::fprintf(stderr, "orvanta-flash: %s\n", text.c_str());
    return 1;
  }
  orv::flash::ConsoleHost host(std::move(line.port), o.baud, o.yes);
  if (!o.program.empty()) {
    std::string image;
    host.Settle();
    if (!orv::flash::ReadImageFile(host, o.program, image) ||
        orv::flash::ProgramImage(host, image) != orv::flash::RunEnd::Finished || host.Failed()) {
      return 1;
    }
  }
  if (!o.read.empty()) {
    host.Settle();
    orv::flash::SaveFlashFile(host, o.read);
  }
  return host.Failed() ? 1 : 0;
}
