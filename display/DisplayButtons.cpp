// DISPLAY steps through the four display types; the six arrows step the COM
// port, capture interval and baud rate through their lists of eight.
#include "app/SettingsRules.h"
#include "app/ViewerDlg.h"

void CViewerDlg::OnDisplay() {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    const int next = (m_model.m_nDisplayType + 1) % orv::kPages;
    m_model.m_nDisplayType = next < 0 ? 0 : next;
    m_strCaptionState = orv::kDisplayTypeName[m_model.m_nDisplayType];
    m_model.ClearCells();
  }
  SetCaption();
  RequestRepaint(true);
}

namespace {

// One row per arrow: which index it steps, which way, what follows from the
// new index, and which list window shows it.
struct ListArrow {
  int controlId;
  int CViewerDlg::*index;
  int step;
  int CViewerDlg::*derived;  // null: nothing derived (the port)
  int (*lookup)(int index, int previous);
  int CViewerDlg::*listX;
  int CViewerDlg::*listY;
};

int BaudRateOf(int index, int previous) { return orv::BaudRateForIndex(index, previous); }
int SecondsOf(int index, int previous) {
  return index >= 0 && index < orv::kListEntries ? orv::CaptureSecondsForIndex(index) : previous;
}

const ListArrow kArrows[] = {
    {1015, &CViewerDlg::m_nPortIndex, +1, nullptr, nullptr, &CViewerDlg::m_nPortListX, &CViewerDlg::m_nPortListY},
    {1016, &CViewerDlg::m_nPortIndex, -1, nullptr, nullptr, &CViewerDlg::m_nPortListX, &CViewerDlg::m_nPortListY},
    {1018, &CViewerDlg::m_nIntervalIndex, +1, &CViewerDlg::m_nCaptureSeconds, SecondsOf,
     &CViewerDlg::m_nIntervalListX, &CViewerDlg::m_nIntervalListY},
    {1017, &CViewerDlg::m_nIntervalIndex, -1, &CViewerDlg::m_nCaptureSeconds, SecondsOf,
     &CViewerDlg::m_nIntervalListX, &CViewerDlg::m_nIntervalListY},
    {1028, &CViewerDlg::m_nBaudIndex, +1, &CViewerDlg::m_nBaudRate, BaudRateOf, &CViewerDlg::m_nBaudListX,
     &CViewerDlg::m_nBaudListY},
    {1029, &CViewerDlg::m_nBaudIndex, -1, &CViewerDlg::m_nBaudRate, BaudRateOf, &CViewerDlg::m_nBaudListX,
     &CViewerDlg::m_nBaudListY},
};

}  // namespace

void CViewerDlg::StepList(int controlId) {
  for (const ListArrow& arrow : kArrows) {
    if (arrow.controlId != controlId) continue;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      int& index = this->*arrow.index;
      // Up is bounded at 7 only from above and down at 0 only from below, so
      // a stored index above 7 steps down one at a time, and up lands on 7.
      index += arrow.step;
      if (arrow.step > 0 && index > orv::kListEntries - 1) index = orv::kListEntries - 1;
      if (arrow.step < 0 && index < 0) index = 0;
      if (arrow.derived) this->*arrow.derived = arrow.lookup(index, this->*arrow.derived);
      this->*arrow.listX = 0;
      this->*arrow.listY = orv::kListBand * index;
    }
    RequestRepaint(false);
    return;
  }
}

void CViewerDlg::OnPortUp() { StepList(1015); }
void CViewerDlg::OnPortDown() { StepList(1016); }
void CViewerDlg::OnIntervalUp() { StepList(1018); }
void CViewerDlg::OnIntervalDown() { StepList(1017); }
void CViewerDlg::OnBaudUp() { StepList(1028); }
void CViewerDlg::OnBaudDown() { StepList(1029); }
