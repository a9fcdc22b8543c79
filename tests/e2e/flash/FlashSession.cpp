#include "FlashSession.h"

#include <gtest/gtest.h>

#include <fstream>

#include "Waits.h"

namespace flashtest {

Session::Session(orv::sim::UnitOptions unit, bool pacing) : flashCable(unit.cable == orv::sim::Cable::Flash) {
  // No stream until LiveViewRuns: the loader's answers are all that comes
  // back, so no stream byte can be taken for one.
  unit.replay = std::vector<uint8_t>{};
  host = std::make_unique<orv::sim::PtyHost>(unit, orv::sim::HostOptions{pacing, ""});
  std::string error;
  started = host->Start(error);
  EXPECT_TRUE(started) << error;
}

long long Session::UnitHeldUpMs() const {
  // Linux's schedstat: time on a processor, time waiting for one (ns), slices.
  std::ifstream in("/proc/self/task/" + std::to_string(host->ServiceThreadId()) + "/schedstat");
  long long onCpu = 0, waiting = 0;
  in >> onCpu >> waiting;
  return waiting / 1000000;
}

int Session::InQueue() const {
  const PortHandle port = w.dlg->m_hPort;
  int in = 0, out = 0;
  return port && port->QueueCounts(in, out).ok() ? in : -1;
}

bool Session::Connect(int baud) {
  const std::string path = host->SlavePath();
  w.resolve = [path](const std::string&) { return path; };
  w.dlg->m_nBaudRate = baud;
  w.dlg->OnConnect();
  w.modal.Clear();
  // The unit has heard the three G commands of the connect, and the FLASH
  // cable has returned them.
  return w.dlg->m_hPort && WaitFor([this] { return host->BytesFromPc() >= 24; }, 3000) &&
         (!flashCable || WaitFor([this] { return InQueue() >= 24; }, 3000));
}

void Session::Click(void (CViewerDlg::*button)(), const std::string& path, std::vector<int> answers) {
  w.modal.files.push_back(path);
  w.modal.answers.insert(w.modal.answers.end(), answers.begin(), answers.end());
  (w.dlg.get()->*button)();
}

int Session::Baud() const {
  const PortHandle port = w.dlg->m_hPort;
  return port ? port->BaudRate() : -1;
}

bool Session::LiveViewRuns() {
  host->WithUnit([](orv::sim::Unit& u) { u.SetReplay(std::nullopt); });
  {
    std::lock_guard<std::mutex> lock(w.dlg->m_lock);
    w.dlg->m_strCaptionStatus.clear();
  }
  // Decoded at the right rate: the unit's own status text, not "recieving..".
  const std::string status = host->WithUnit([](orv::sim::Unit& u) { return u.StatusText(); });
  return WaitFor([&] { return w.CaptionStatus() == status; }, 5000);
}

}  // namespace flashtest
