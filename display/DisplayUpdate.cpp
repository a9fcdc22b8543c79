// The window's view of the display model: every change to the cells, the
// raw slots or the page table happens under m_lock, since the receive thread
// decodes into the same model the window paints from.
#include "app/ViewerDlg.h"

bool CViewerDlg::DecodeBlock(std::string block) {
  std::lock_guard<std::mutex> lock(m_lock);
  ++m_nBlocksDecoded;
  return m_model.DecodeBlock(std::move(block));
}

void CViewerDlg::WriteRow(int row) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_model.WriteRow(row);
}

void CViewerDlg::ResetDisplay(bool repaint) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_model.ResetDisplay();
  }
  if (repaint) RequestRepaint(false);
}
