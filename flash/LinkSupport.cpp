#include "flash/LinkSupport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "flash/LinkBounds.h"
#include "flash/Readback.h"

namespace orv::flash {

using Clock = std::chrono::steady_clock;

PortHandle PortOf(CViewerDlg& dlg) {
  std::lock_guard<std::mutex> lock(dlg.m_lock);
  return dlg.m_hPort;
}

int ConnectionBaudRate(CViewerDlg& dlg) {
  std::lock_guard<std::mutex> lock(dlg.m_lock);
  return dlg.m_nBaudRate;
}

Drain DrainOutput(orv::serial::Port& port) {
  int inQueue = 0, outQueue = 0;
  if (!port.QueueCounts(inQueue, outQueue).ok()) return Drain::Failed;
  if (outQueue <= 0) return Drain::Empty;
  const int baud = port.BaudRate();
  const auto deadline = Clock::now() + std::chrono::milliseconds(DrainBoundMs(outQueue, baud));
  while (outQueue > 0) {
    if (Clock::now() >= deadline) return Drain::TimedOut;
    // Sleep about as long as what is left needs on the wire, never so long
    // that the exchange after it is held up noticeably.
    const long long us = std::clamp<long long>(WireUs(outQueue, baud), 100, 2000);
    std::this_thread::sleep_for(std::chrono::microseconds(us));
    if (!port.QueueCounts(inQueue, outQueue).ok()) return Drain::Failed;
  }
  return Drain::Empty;
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
