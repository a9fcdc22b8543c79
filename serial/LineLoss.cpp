// A line that went away: the device was unplugged or the unit's end of the
// line closed. The window says so, blanks the readings that are no longer
// true, and tries the same device again (a USB adapter comes back under
// the same by-id path) until it answers or the time allowed runs out.
// CONNECT while it waits stops the waiting.
#include "app/ViewerDlg.h"
#include "capture/CaptureRecord.h"
#include "res/Resources.h"
#include "serial/LinkCaption.h"
#include "serial/ReceiveLoop.h"

void CViewerDlg::OnLineLost(const PortHandle& lost) {
  {
    // CONNECT closed the line, or a new one opened, before this came.
    std::lock_guard<std::mutex> lock(m_lock);
    if (!lost || m_hPort != lost) return;
  }
  // Closed at once, so that the device's name is free for it when it
  // comes back: Linux gives a re-plugged adapter a new name while the old
  // one is still held open.
  CloseLine();
  ResetDisplay(true);
  ShowConnectionState(true, res::kConnectRed, res::kConnectRed, orv::kWaitingText, orv::kLineLostText);
  m_reconnect.emplace(m_env.link, orv::serial::SteadyMs());
  m_reconnectTimer.start(m_reconnect->FirstDelayMs());
  repaint();
}

void CViewerDlg::TryReconnect() {
  if (!m_reconnect) return;
  // A flash run owns the port's place: try again later.
  orv::serial::Status status;
  const char* failed = m_bPortBusy == 1 ? "" : StartLine(m_strPortPath, status);
  if (!failed) {
    StopReconnect();
    std::string state = "connected";
    {
      std::lock_guard<std::mutex> capture(m_captureLock);
      if (m_bRecording) state = orv::RecordingState(m_nRecordCount);
    }
    ShowConnectionState(true, res::kConnectGreen, res::kConnectRed, state.c_str());
    for (int i = 0; i < 3; ++i) SendCommandG();
    repaint();
    return;
  }
  CloseLine();  // whatever half opened
  const int next = m_reconnect->NextDelayMs(orv::serial::SteadyMs());
  if (next >= 0) {
    m_reconnectTimer.start(next);
    return;
  }
  // Given up: the line is closed, and the next press of CONNECT opens.
  StopReconnect();
  ShowConnectionState(false, res::kConnectRed, res::kConnectRed, "disconnected", orv::kLineLostText);
  repaint();
}

void CViewerDlg::StopReconnect() {
  m_reconnectTimer.stop();
  m_reconnect.reset();
}
