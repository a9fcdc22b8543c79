// CONNECT: opening the chosen port with the unit's line settings, starting
// the receive thread, and closing it all again.
#include <system_error>

#include "app/ViewerDlg.h"
#include "res/Resources.h"
#include "serial/PortNames.h"
#include "serial/UnitCommands.h"

namespace {

void Log(const orv::serial::Status& status) {
  std::fprintf(stderr, "orvanta: %s\n", status.Text().c_str());
}

}  // namespace

bool CViewerDlg::OpenPort(const std::string& portName) {
  using orv::serial::Status;
  const std::string path = m_env.resolvePort(portName);
  Status status;
  PortHandle port(orv::serial::OpenPort(path, status));
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_hPort = port;
  }
  if (!port) {
    Log(status);
    Message("Unable to open the port");
    return false;
  }
  int baudRate = 0;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    baudRate = m_nBaudRate;
  }
  if (!(status = port->Configure(baudRate)).ok()) {
    Log(status);
    Message("Unable to configure the serial port");
    return false;
  }
  if (!(status = port->SetTimeouts(orv::serial::Timeouts::Connection())).ok()) {
    Log(status);
    Message("Unable to set the time-out parameters");
    return false;
  }
  // Pseudo-terminals and some adapters have no RTS line; that is no reason to fail.
  port->SetRts(true);

  // A thread left from an earlier connection (one that ended by itself when
  // its device went away) is joined before the next one starts.
  EndReadThread();
  m_bStopReadThread = false;
  port->ClearCancel();
  try {
    m_bReadThreadRunning = true;
    m_hReadThread = std::thread(&CViewerDlg::ReadThreadProc, this);
  } catch (const std::system_error& e) {
    m_bReadThreadRunning = false;
    std::fprintf(stderr, "orvanta: thread: %s\n", e.what());
    Message("Unable to create the read thread");
    return false;
  }
  // The thread lowers its own priority as its first act (POSIX can only
  // renice the calling thread), so there is nothing left here to fail.
  return true;
}

bool CViewerDlg::ClosePort(PortHandle port) {
  if (!port) return false;
  const orv::serial::Status status = port->Close();
  if (!status.ok()) Log(status);
  return status.ok();
}

// The CONNECT picture pair, the flag and the caption of one connection state:
//   Open          171 green / 170 red   "connected"
//   Open failed   170 red / 171 green   "disconnected"  (the next press closes)
//   Closed        170 red / 170 red     "disconnected"
void CViewerDlg::ShowConnectionState(bool connected, int normalPicture, int pressedPicture, const char* state) {
  m_btnConnect.LoadBitmaps(normalPicture, pressedPicture);
  m_bConnected = connected;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_strCaptionStatus = "";
    m_strCaptionState = state;
    m_bFullRedraw = false;
  }
  SetCaption();
}

void CViewerDlg::OnConnect() {
  const std::string portName = orv::serial::PortName(m_nPortIndex);
  if (!m_bConnected) {
    if (OpenPort(portName)) {
      ShowConnectionState(true, res::kConnectGreen, res::kConnectRed, "connected");
      for (int i = 0; i < 3; ++i) SendCommandG();
    } else {
      Message("Unable to Initialize  the port");
      // Connected even though nothing may be open: the next press runs the
      // closing branch, which closes whatever the failed attempt left open.
      ShowConnectionState(true, res::kConnectRed, res::kConnectGreen, "disconnected");
    }
  } else {
    PortHandle port;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      port = m_hPort;
    }
    // The receive thread lets go of the port before it is closed, so no
    // read ever lands on a descriptor that has been closed or reused.
    EndReadThread();
    if (port) {
      ClosePort(port);
      std::lock_guard<std::mutex> lock(m_lock);
      m_hPort.reset();
    }
    ResetDisplay(true);
    ShowConnectionState(false, res::kConnectRed, res::kConnectRed, "disconnected");
  }
  repaint();
}
