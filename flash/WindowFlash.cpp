// The window's flash handlers: each hands its work to the Qt-free pieces
// (flash/OcdLink, FlashProgram, FlashReadback) with the window as host.
#include "flash/WindowFlash.h"

#include "flash/FlashProgram.h"
#include "flash/FlashReadback.h"
#include "flash/Messages.h"
#include "flash/OcdLink.h"
#include "flash/Readback.h"

std::shared_ptr<orv::serial::Port> WindowFlashHost::LinkPort() {
  std::lock_guard<std::mutex> lock(dlg_.m_lock);
  return dlg_.m_hPort;
}

int WindowFlashHost::ConnectionBaud() {
  std::lock_guard<std::mutex> lock(dlg_.m_lock);
  return dlg_.m_nBaudRate;
}

int WindowFlashHost::Message(const std::string& text, const char* caption, Buttons buttons) {
  return dlg_.Message(text, caption, buttons);
}

void WindowFlashHost::Progress(const std::string& address) {
  {
    std::lock_guard<std::mutex> lock(dlg_.m_lock);
    orv::flash::FillProgressRow(dlg_.m_model.m_nGlyphOffset, address);
  }
  dlg_.RequestRepaint(false);
}

void WindowFlashHost::PortBusy(bool busy) { dlg_.m_bPortBusy = busy ? 1 : 0; }

int CViewerDlg::OcdExchange(unsigned char* buffer, int writeCount, int readCount) {
  WindowFlashHost host(*this);
  return orv::flash::OcdLink(host).Exchange(buffer, writeCount, readCount);
}

bool CViewerDlg::OcdOpen(const char* question, OcdOrder order) {
  WindowFlashHost host(*this);
  return orv::flash::OcdLink(host).Open(question, order);
}

bool CViewerDlg::FlashInit() {
  WindowFlashHost host(*this);
  orv::flash::OcdLink link(host);
  return orv::flash::FlashInit(link, host);
}

bool CViewerDlg::SaveFlashData(std::FILE* file) {
  WindowFlashHost host(*this);
  RequestRepaint(true);
  return orv::flash::SaveFlashData(host, file);
}

void CViewerDlg::OnFlash() {
  namespace msg = orv::flash::msg;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_model.m_nDisplayType = 3;
  }
  OnDisplay();

  FileDialogRequest request;
  request.open = true;
  request.defaultExt = msg::kFlashFileExtension;
  request.initialName = msg::kFlashFileName;
  request.filter = msg::kFlashFileFilter;
  m_strFlashFile = m_env.modal->FileDialog(this, request);

  if (!m_bConnected) {
    m_bPortBusy = 0;
    return;
  }
  WindowFlashHost host(*this);
  std::string image;
  if (!orv::flash::ReadImageFile(host, m_strFlashFile, image)) return;
  RequestRepaint(true);
  if (orv::flash::ProgramImage(host, image) != orv::flash::RunEnd::Finished) return;
  ResetDisplay(false);
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_model.m_nDisplayType = 2;
  }
  OnDisplay();
}
