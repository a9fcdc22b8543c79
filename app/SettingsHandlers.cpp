// Reading the settings at start-up and writing them at the end.
#include "app/Settings.h"
#include "app/ViewerDlg.h"

void CViewerDlg::ReadSettings() {
  const orv::Settings s = orv::ApplyStoredSettings(SettingsStore::Read());
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_nPortIndex = s.portIndex;
    m_nIntervalIndex = s.intervalIndex;
    m_nDisplayTypeSetting = s.displayTypeSetting;
    m_nCaptureSeconds = s.captureSeconds;
    m_nBaudIndex = s.baudIndex;
    m_nBaudRate = s.baudRate;
  }
  m_nPortListX = m_nBaudListX = m_nIntervalListX = 0;
  m_nPortListY = orv::kListBand * m_nPortIndex;
  m_nBaudListY = orv::kListBand * m_nBaudIndex;
  m_nIntervalListY = orv::kListBand * m_nIntervalIndex;
}

void CViewerDlg::WriteSettings() {
  std::lock_guard<std::mutex> lock(m_lock);
  SettingsStore::Write(m_nBaudIndex, m_nPortIndex, m_nIntervalIndex, m_nDisplayTypeSetting);
}
