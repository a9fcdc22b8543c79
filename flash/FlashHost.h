#pragma once
// What the FLASH run and the read-back need of whoever drives them: the
// port to the unit, the rate the unit talks at, a person (or a script) to
// tell things and ask, and a progress row. The window is one such host; a
// console program or a test is another.
#include <memory>
#include <string>

#include "common/Buttons.h"
#include "serial/Port.h"

namespace orv::flash {

class FlashHost {
 public:
  virtual ~FlashHost() = default;

  // The open port to the unit, or null when there is none.
  virtual std::shared_ptr<serial::Port> LinkPort() = 0;
  // The rate of the normal connection: the unit talks at it, and the port
  // goes back to it after every use of the debugger.
  virtual int ConnectionBaud() = 0;
  // A message box with the caption "Error" or "Status"; the answer
  // (IDOK, or IDYES / IDNO for Buttons::YesNo).
  virtual int Message(const std::string& text, const char* caption, Buttons buttons) = 0;
  // The four address characters the progress row shows after "FLASH ".
  virtual void Progress(const std::string& address) = 0;
  // True from the user's final Yes until the run ends.
  virtual void PortBusy(bool busy) = 0;

  void Tell(const std::string& text, const char* caption = "Error") { Message(text, caption, Buttons::Ok); }
  int Ask(const std::string& question) { return Message(question, "Status", Buttons::YesNo); }
};

}  // namespace orv::flash
