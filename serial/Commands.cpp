// The unit's two buttons and the G command, through the writer they share
// with the flash run (serial/UnitWriter).
#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "serial/UnitWriter.h"

namespace {

PortHandle PortOf(CViewerDlg& dlg) {
  std::lock_guard<std::mutex> lock(dlg.m_lock);
  return dlg.m_hPort;
}

struct CommandButton {
  char letter;
  CBitmapButton CViewerDlg::*button;  // shown pressed while the command goes out; null for none
};

void SendCommand(CViewerDlg& dlg, const CommandButton& command) {
  if (!dlg.m_bConnected) return;
  CBitmapButton* button = command.button ? &(dlg.*command.button) : nullptr;
  if (button) button->SetState(true);
  const int result = orv::serial::SendUnitCommand(PortOf(dlg).get(), command.letter);
  if (result != 0) dlg.Message(orv::Format(orv::serial::kWriteFailure, result));
  if (button) button->SetState(false);
}

}  // namespace

int CViewerDlg::WritePort(const unsigned char* data, int count, unsigned char echo) {
  return orv::serial::WriteToUnit(PortOf(*this).get(), data, count, echo == 1);
}

void CViewerDlg::OnStop() { SendCommand(*this, {'S', &CViewerDlg::m_btnStop}); }
void CViewerDlg::OnPage() { SendCommand(*this, {'N', &CViewerDlg::m_btnPage}); }
void CViewerDlg::SendCommandG() { SendCommand(*this, {'G', nullptr}); }
