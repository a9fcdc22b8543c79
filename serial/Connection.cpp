// CONNECT: opening the chosen port with the unit's line settings, starting
// the receive thread, and closing it all again.
#include <system_error>

#include "app/ViewerDlg.h"
#include "res/Resources.h"
#include "serial/OpenFailure.h"
#include "serial/OpenLine.h"
#include "serial/PortNames.h"

namespace {

constexpr const char* kUnableToOpen = "Unable to open the port";

void Log(const orv::serial::Status& status) {
  std::fprintf(stderr, "orvanta: %s\n", status.Text().c_str());
}

const char* StepMessage(orv::serial::OpenStep step) {
  switch (step) {
    case orv::serial::OpenStep::Open:
      return kUnableToOpen;
    case orv::serial::OpenStep::Configure:
      return "Unable to configure the serial port";
    case orv::serial::OpenStep::Timeouts:
      return "Unable to set the time-out parameters";
    case orv::serial::OpenStep::None:
      break;
  }
  return "";
}

}  // namespace

bool CViewerDlg::OpenPort(const std::string& portName) {
  m_strPortPath = m_env.resolvePort(portName);
  orv::serial::Status status;
  const char* failed = StartLine(m_strPortPath, status);
  if (!failed) return true;
  std::string text = failed;
  // The reason in plain words, so that the user knows what to do about it.
  if (text == kUnableToOpen) text += "\n\n" + OpenFailureReason(status, orv::serial::GatherDeviceFacts(m_strPortPath));
  Message(text);
  return false;
}

const char* CViewerDlg::StartLine(const std::string& path, orv::serial::Status& status) {
  int baudRate = 0;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    baudRate = m_nBaudRate;
  }
  orv::serial::OpenedLine line = orv::serial::OpenLine(path, baudRate);
  const PortHandle port(std::move(line.port));
  {
    // What opened stays in m_hPort even when a later step failed: the next
    // press of CONNECT closes it.
    std::lock_guard<std::mutex> lock(m_lock);
    m_hPort = port;
  }
  status = line.status;
  if (!line.ok()) {
    Log(status);
    return StepMessage(line.failed);
  }

  // A thread left from an earlier connection (one that ended by itself when
  // its device went away) is joined before the next one starts.
  EndReadThread();
  m_bStopReadThread = false;
  port->ClearCancel();
  // What the raw monitor and the raw log get from this connection does not
  // continue what they got from the last.
  ++m_nStream;
  try {
    m_bReadThreadRunning = true;
    m_hReadThread = std::thread(&CViewerDlg::ReadThreadProc, this);
  } catch (const std::system_error& e) {
    m_bReadThreadRunning = false;
    std::fprintf(stderr, "orvanta: thread: %s\n", e.what());
    return "Unable to create the read thread";
  }
  // The thread lowers its own priority as its first act (POSIX can only
  // renice the calling thread), so there is nothing left here to fail.
  return nullptr;
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
//   Line lost     170 red / 170 red     "line lost..waiting" (the next press closes)
void CViewerDlg::ShowConnectionState(bool connected, int normalPicture, int pressedPicture, const char* state,
                                     const char* status) {
  m_btnConnect.LoadBitmaps(normalPicture, pressedPicture);
  m_bConnected = connected;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_strCaptionStatus = status;
    m_strCaptionState = state;
    m_bFullRedraw = false;
  }
  SetCaption();
}

// Closes whatever is open: the receive thread lets go of the port before it
// is closed, so no read ever lands on a descriptor that has been closed or
// reused.
void CViewerDlg::CloseLine() {
  PortHandle port;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    port = m_hPort;
  }
  EndReadThread();
  if (port) {
    ClosePort(port);
    std::lock_guard<std::mutex> lock(m_lock);
    m_hPort.reset();
  }
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
    StopReconnect();
    CloseLine();
    ResetDisplay(true);
    ShowConnectionState(false, res::kConnectRed, res::kConnectRed, "disconnected");
  }
  repaint();
}
