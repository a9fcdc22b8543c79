#pragma once
// The window as the host of the flash run and the read-back: the port it
// holds, its message boxes, row 0 of its display for progress (a repaint of
// the cells only), and the port-busy flag its receive thread looks at.
#include "app/ViewerDlg.h"
#include "flash/FlashHost.h"

class WindowFlashHost : public orv::flash::FlashHost {
 public:
  explicit WindowFlashHost(CViewerDlg& dlg) : dlg_(dlg) {}

  std::shared_ptr<orv::serial::Port> LinkPort() override;
  int ConnectionBaud() override;
  int Message(const std::string& text, const char* caption, Buttons buttons) override;
  void Progress(const std::string& address) override;
  void PortBusy(bool busy) override;

 private:
  CViewerDlg& dlg_;
};
