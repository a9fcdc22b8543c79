#pragma once
// The raw monitor: a window beside the main one that shows the stream as it
// arrives, line by line, with each line's time and checksum verdict, the
// rates and the count of each sentence type. It looks at copies of the
// received blocks (CViewerDlg::DrainTap hands them over); what the display
// decodes is not touched.
#include <QDialog>

#include "serial/BlockTap.h"
#include "serial/StreamMonitor.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

class CRawMonitorDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CRawMonitorDlg(QWidget* parent);

  void Feed(const orv::serial::TappedBlock& block);
  // A new connection, or bytes lost before they came here.
  void Restart(long long lostBytes) { m_monitor.Restart(lostBytes); }
  // Shows what has come since the last call.
  void Refresh();

  const orv::serial::StreamMonitor& Monitor() const { return m_monitor; }

 private:
  orv::serial::StreamMonitor m_monitor;
  unsigned long long m_nShown = 0;
  QLabel* m_pRates;
  QLabel* m_pCounts;
  QPlainTextEdit* m_pLines;
  QPushButton* m_pHold;
};
