#include "flash/LinkSupport.h"

#include <cstring>

#include "flash/LinkBounds.h"
#include "flash/Readback.h"

namespace orv::flash {

PortHandle PortOf(CViewerDlg& dlg) {
  std::lock_guard<std::mutex> lock(dlg.m_lock);
  return dlg.m_hPort;
}

int ConnectionBaudRate(CViewerDlg& dlg) {
  std::lock_guard<std::mutex> lock(dlg.m_lock);
  return dlg.m_nBaudRate;
}

int Exchange(CViewerDlg& dlg, const OcdCommand& command, OcdBuffer& buffer) {
  const int writeCount = static_cast<int>(command.bytes.size());
  if (writeCount > static_cast<int>(buffer.size()) || command.readCount > static_cast<int>(buffer.size())) {
    return 1;
  }
  std::memcpy(buffer.data(), command.bytes.data(), command.bytes.size());
  return dlg.OcdExchange(buffer.data(), writeCount, command.readCount);
}

bool RestoreBaudRate(CViewerDlg& dlg) {
  const PortHandle port = PortOf(dlg);
  return port && port->IsOpen() && port->SetBaudRate(ConnectionBaudRate(dlg)).ok();
}

void ShowProgress(CViewerDlg& dlg, const std::string& address) {
  {
    std::lock_guard<std::mutex> lock(dlg.m_lock);
    FillProgressRow(dlg.m_model.m_nGlyphOffset, address);
  }
  dlg.RequestRepaint(false);
}

}  // namespace orv::flash
