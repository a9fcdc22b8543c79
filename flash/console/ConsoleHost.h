#pragma once
// The flash run and the read-back driven from a terminal: "Status" texts on
// stdout, "Error" texts on stderr, each question answered Yes at once
// (--yes) or by a line read from stdin, and a progress line per 4 KiB.
#include <cstdio>
#include <memory>
#include <string>

#include "flash/FlashHost.h"

namespace orv::flash {

class ConsoleHost : public FlashHost {
 public:
  ConsoleHost(std::shared_ptr<serial::Port> port, int baud, bool answerYes)
      : port_(std::move(port)), baud_(baud), answerYes_(answerYes) {}

  std::shared_ptr<serial::Port> LinkPort() override { return port_; }
  int ConnectionBaud() override { return baud_; }
  int Message(const std::string& text, const char* caption, Buttons buttons) override;
  void Progress(const std::string& address) override;
  void PortBusy(bool) override {}

  // The pause a person makes before clicking: what the last command set
  // going (on the FLASH cable, the echo of every byte sent) has come in
  // before anything counts the input queue. Waits until the line has been
  // quiet a moment, at most a couple of seconds on a line that keeps talking.
  void Settle();
  // An error was shown or a question answered No since the start.
  bool Failed() const { return failed_; }

 private:
  std::shared_ptr<serial::Port> port_;
  const int baud_;
  const bool answerYes_;
  bool failed_ = false;
  char lastProgress_ = 0;
};

}  // namespace orv::flash
