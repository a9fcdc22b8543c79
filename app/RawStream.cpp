// Who gets the copies of the received blocks: the raw monitor and the raw
// log. The receive thread only queues them (BlockTap); here, on the window
// thread, a few times a second, they are split into lines and sentences,
// shown and written.
//
// The raw log is switched on from the context menu ("Raw Log..."), which
// asks for the file, and off from the same entry ("Stop Raw Log"), or by
// closing the window. It records whatever arrives while it is on, over
// disconnects and reconnects alike, and is kept apart from RECORD: the
// capture file stays as it always was.
#include "app/RawMonitorDlg.h"
#include "app/ViewerDlg.h"

namespace {

// Often enough that the monitor looks live; the queue holds far more.
constexpr int kDrainEveryMs = 250;

constexpr const char* kRawLogName = "Quorvel_Raw";
constexpr const char* kRawLogWriteFailed = "Error Writing to raw log file - the raw log is stopped";
constexpr const char* kRawLogLost = "Part of the stream was lost before it could be written - the raw log is stopped";

}  // namespace

void CViewerDlg::OnRawLog() {
  if (m_rawLog.IsOpen()) {
    StopRawLog();
    return;
  }
  FileDialogRequest request;
  request.defaultExt = "nmea";
  request.initialName = kRawLogName;
  request.filter = "NMEA Logs (*.nmea)|*.nmea|Text Files (*.txt)|*.txt||";
  const std::string path = m_env.modal->FileDialog(this, request);
  // A dialog that was cancelled hands back the name it started with.
  if (path.empty() || path == request.initialName) return;
  // What was queued before the file was chosen does not go into it.
  DrainTap();
  std::string error;
  if (!m_rawLog.Open(path, error)) {
    std::fprintf(stderr, "orvanta: %s: %s\n", path.c_str(), error.c_str());
    Message("Could not Open Raw Log File");
    return;
  }
  m_strRawLogFile = path;
  UpdateTap();
}

void CViewerDlg::StopRawLog(const char* failure) {
  // What is still queued belongs in the log; a failure while writing it
  // stops the log there and says so.
  if (!failure) DrainTap();
  if (!m_rawLog.IsOpen()) return;
  const bool closed = m_rawLog.Close();
  UpdateTap();
  if (!failure && !closed) failure = kRawLogWriteFailed;
  if (failure) {
    std::fprintf(stderr, "orvanta: %s: %s\n", m_strRawLogFile.c_str(), failure);
    Message(failure);
  }
}

// A failure is said after every block has been handed on: the message box
// runs the event loop, and with it the next drain.
void CViewerDlg::DrainTap() {
  long long dropped = 0;
  std::vector<orv::serial::TappedBlock> blocks = m_tap.Take(dropped);
  CRawMonitorDlg* monitor = m_pRawMonitor && m_pRawMonitor->isVisible() ? m_pRawMonitor.get() : nullptr;
  const char* failure = nullptr;
  if (dropped > 0) {
    if (monitor) monitor->Restart(dropped);
    if (m_rawLog.IsOpen()) failure = kRawLogLost;
  }
  for (const orv::serial::TappedBlock& block : blocks) {
    if (block.stream != m_nTapStream) {
      m_nTapStream = block.stream;
      m_rawLog.Restart();
      if (monitor) monitor->Restart(0);
    }
    if (!failure) m_rawLog.Feed(block.bytes.data(), block.bytes.size());
    if (monitor) monitor->Feed(block);
  }
  if (!failure && m_rawLog.IsOpen() && !m_rawLog.Flush()) failure = kRawLogWriteFailed;
  if (monitor) monitor->Refresh();
  if (failure) StopRawLog(failure);
}

void CViewerDlg::UpdateTap() {
  const bool wanted = m_rawLog.IsOpen() || (m_pRawMonitor && m_pRawMonitor->isVisible());
  if (wanted == m_tap.Active()) return;
  m_tap.SetActive(wanted);
  if (wanted) {
    m_tapTimer.start(kDrainEveryMs);
  } else {
    m_tapTimer.stop();
  }
}
