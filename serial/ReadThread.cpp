// The receive thread: the window's side of the receive loop. For each block
// it shows the unit's status text, decodes the block, writes a capture
// record when one is due and has the window repainted; a silence or a
// garbled line shows in the caption; a lost line is handed to the window
// thread, which closes the port and waits for the device to come back.
#include <chrono>

#include "app/Platform.h"
#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "serial/LinkCaption.h"
#include "serial/ReceiveLoop.h"
#include "serial/StatusText.h"

namespace {

using orv::serial::LinkState;

// How long shutdown and disconnect wait for the thread to finish its block.
constexpr auto kJoinBound = std::chrono::seconds(3);

class WindowSink final : public orv::serial::ReceiveSink {
 public:
  WindowSink(CViewerDlg& dlg, PortHandle port, unsigned stream) : dlg_(dlg), port_(std::move(port)), stream_(stream) {}

  // Raw blocks, zero bytes and all, pass here first: a copy goes to the raw
  // monitor and the raw log, whose work is done on the window thread.
  void OnBlock(const char* data, int count, LinkState state) override {
    dlg_.m_tap.Push(data, count, stream_);
    const std::string block = orv::UpToNul(data, count);
    const std::optional<std::string> status =
        state == LinkState::NotNmea ? std::string(orv::kNotNmeaText) : orv::StatusTextOf(block);
    if (status) {
      std::lock_guard<std::mutex> lock(dlg_.m_lock);
      dlg_.m_strCaptionStatus = *status;
    }
    dlg_.DecodeBlock(block);
    if (RecordDue()) dlg_.WriteCaptureRecord(count);
    dlg_.RequestRepaint(false, true);
  }

  // Between blocks the state changes only into a silence, out of one (bytes
  // come again, not yet a block: they are being received), or to a loss.
  void OnLinkState(LinkState state) override {
    if (state == LinkState::Lost) {
      dlg_.OnWindowThread([dlg = &dlg_, port = port_] { dlg->OnLineLost(port); });
      return;
    }
    {
      std::lock_guard<std::mutex> lock(dlg_.m_lock);
      dlg_.m_strCaptionStatus = state == LinkState::Silent ? orv::kSilentText : orv::kNoStatusText;
    }
    dlg_.OnWindowThread([dlg = &dlg_] { dlg->SetCaption(); });
  }

  bool Holding() override { return dlg_.m_bPortBusy == 1; }

 private:
  // The interval restarts at the block that writes the record.
  bool RecordDue() {
    int seconds = 0;
    {
      std::lock_guard<std::mutex> lock(dlg_.m_lock);
      seconds = dlg_.m_nCaptureSeconds;
    }
    std::lock_guard<std::mutex> capture(dlg_.m_captureLock);
    if (!dlg_.m_bRecording) return false;
    dlg_.m_timeNow = dlg_.m_env.clock();
    if (dlg_.m_timeLastRecord + seconds > dlg_.m_timeNow) return false;
    dlg_.m_timeLastRecord = dlg_.m_timeNow;
    return true;
  }

  CViewerDlg& dlg_;
  PortHandle port_;
  const unsigned stream_;
};

}  // namespace

unsigned CViewerDlg::ReadThreadProc(CViewerDlg* dlg) {
  struct Running {
    CViewerDlg* dlg;
    ~Running() {
      std::lock_guard<std::mutex> lock(dlg->m_lock);
      dlg->m_bReadThreadRunning = false;
      dlg->m_readThreadEnded.notify_all();
    }
  } running{dlg};

  // A flash run owns the port: leave it and the caption alone.
  if (dlg->m_bPortBusy == 1) return 0;

  orv::platform::LowerOwnThreadPriority();
  PortHandle port;
  {
    std::lock_guard<std::mutex> lock(dlg->m_lock);
    port = dlg->m_hPort;
  }
  if (!port) {
    dlg->ResetDisplay(true);
    return 0;
  }
  port->SetEventMask(0x0139);
  WindowSink sink(*dlg, port, dlg->m_nStream);
  orv::serial::RunReceiveLoop(*port, dlg->m_bStopReadThread, sink, dlg->m_env.link.silentAfterMs);
  return 0;
}

void CViewerDlg::EndReadThread() {
  if (!m_hReadThread.joinable()) return;
  m_bStopReadThread = true;
  PortHandle port;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    port = m_hPort;
  }
  if (port) port->Cancel();
  // Every wait in the thread is bounded, so it ends within one wait slice;
  // the bound here only tells the user if something went badly wrong.
  bool ended = false;
  {
    std::unique_lock<std::mutex> lock(m_lock);
    ended = m_readThreadEnded.wait_for(lock, kJoinBound, [this] { return !m_bReadThreadRunning; });
  }
  if (!ended) Message("Unable terminate thresd");
  m_hReadThread.join();
  if (port) port->ClearCancel();
}
