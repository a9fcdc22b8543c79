#pragma once
// A main window joined to a simulated unit served in this process on a real
// pseudo-terminal, paced as a real line, with what the flash tests look at:
// the messages, the port, the unit itself.
#include <memory>
#include <string>
#include <vector>

#include "WindowFixture.h"
#include "sim/PtyHost.h"

namespace flashtest {

struct Session {
  Session(orv::sim::UnitOptions unit, bool pacing = true);

  bool Connect(int baud = 4800);
  // FLASH or SAVE (&CViewerDlg::OnFlash, OnSave) with this path in the file
  // dialog and these answers to its questions.
  void Click(void (CViewerDlg::*button)(), const std::string& path, std::vector<int> answers);
  std::string Path(const std::string& name) const { return w.workDir.path().toStdString() + "/" + name; }
  int Baud() const;
  orv::sim::Memory UnitMemory() { return host->WithUnit([](orv::sim::Unit& u) { return u.memory(); }); }
  // How long, in all, the simulated unit's thread has waited for a
  // processor: a machine too busy to let it answer within the debugger
  // link's bound shows here.
  long long UnitHeldUpMs() const;
  // What the window's port has queued for reading.
  int InQueue() const;
  // The unit streams its sentences from now on, if it streams at all, and
  // they reach the window's display at the right rate (bounded).
  bool LiveViewRuns();

  std::unique_ptr<orv::sim::PtyHost> host;
  WindowFixture w;
  bool started = false;
  const bool flashCable;
};

}  // namespace flashtest
