// The receive thread: the only reader of the unit's stream. It takes the
// stream in blocks of 300 bytes, shows the unit's status text, decodes the
// block, writes a capture record when one is due, and has the window
// repainted. It sleeps in the kernel while fewer than 300 bytes are queued.
#include <chrono>

#include "app/Platform.h"
#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "serial/StatusText.h"

namespace {

constexpr int kBlockSize = 300;
// The longest the thread sleeps before it looks at the stop request again.
constexpr int kWaitSliceMs = 100;
// How long shutdown and disconnect wait for the thread to finish its block.
constexpr auto kJoinBound = std::chrono::seconds(3);

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

  char buffer[kBlockSize + 1];
  while (!dlg->m_bStopReadThread) {
    const orv::serial::Status wait = port->WaitForInput(kBlockSize, kWaitSliceMs);
    if (wait.code == orv::serial::Error::Timeout) continue;
    // Cancelled: asked to stop. Closed or failed: the device went away,
    // which ends the thread as a failed read does, without a message.
    if (!wait.ok()) break;

    int got = 0;
    buffer[0] = 0;
    const orv::serial::Status read = port->Read(buffer, kBlockSize, got);
    if (!read.ok() || got < 5) break;
    buffer[got] = 0;
    const std::string block = orv::UpToNul(buffer, got);

    if (const auto status = orv::StatusTextOf(block)) {
      std::lock_guard<std::mutex> lock(dlg->m_lock);
      dlg->m_strCaptionStatus = *status;
    }
    dlg->DecodeBlock(block);

    bool due = false;
    {
      int seconds = 0;
      {
        std::lock_guard<std::mutex> lock(dlg->m_lock);
        seconds = dlg->m_nCaptureSeconds;
      }
      std::lock_guard<std::mutex> capture(dlg->m_captureLock);
      if (dlg->m_bRecording) {
        dlg->m_timeNow = dlg->m_env.clock();
        // The interval restarts at the block that writes the record.
        if (dlg->m_timeLastRecord + seconds <= dlg->m_timeNow) {
          dlg->m_timeLastRecord = dlg->m_timeNow;
          due = true;
        }
      }
    }
    if (due) dlg->WriteCaptureRecord(got);

    dlg->RequestRepaint(false, true);
  }
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
