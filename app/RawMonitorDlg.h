#pragma once
// The raw monitor: a window beside the main one that shows the stream as it
// arrives, line by line, with each line's time and checksum verdict, the
// rates and the count of each sentence type. It looks at copies of the
// received blocks (CViewerDlg::DrainTap hands them over); what the display
// decodes is not touched.
#include <QAbstractScrollArea>
#include <QDialog>
#include <deque>

#include "serial/BlockTap.h"
#include "serial/StreamMonitor.h"

class QLabel;
class QPushButton;

// The kept lines, painted: only the rows in sight are formatted and drawn,
// so that a fast stream costs the window next to nothing.
class CRawLinesView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit CRawLinesView(QWidget* parent);
  // `lines` changed: `gone` of those shown before left at the top. A view
  // at the end stays at the end; one scrolled back keeps its lines in sight.
  void Show(const std::deque<orv::serial::MonitorLine>* lines, size_t gone);
  // Keeps the lines shown now while the stream goes on, or lets go of them.
  void Hold(bool hold);
  QString Text() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateBars();

  const std::deque<orv::serial::MonitorLine>* m_pLines = nullptr;
  std::deque<orv::serial::MonitorLine> m_held;
};

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
  unsigned long long m_nShown = 0;  // lines seen when the view was last told
  size_t m_nShownKept = 0;          // and how many were kept then
  QLabel* m_pRates;
  QLabel* m_pCounts;
  CRawLinesView* m_pLines;
  QPushButton* m_pHold;
};
