#include "app/RawMonitorDlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "serial/ReceiveLoop.h"

namespace {

using orv::serial::Checksum;
using orv::serial::MonitorLine;

const char* Verdict(const MonitorLine& line) {
  if (!line.ended) return "cut";  // no line end within kMaxLineBytes
  switch (line.checksum) {
    case Checksum::Valid:
      return "ok";
    case Checksum::Invalid:
      return "BAD";
    case Checksum::Absent:
      return "--";
    case Checksum::NotSentence:
      break;
  }
  return "";
}

//   12:34:56.789  ok   $SDMTW,12.5,C*02
QString LineText(const MonitorLine& line) {
  return QDateTime::fromMSecsSinceEpoch(line.wallMs).toString("HH:mm:ss.zzz") +
         QString::asprintf("  %-4s ", Verdict(line)) + QString::fromLatin1(orv::serial::Printable(line.text).c_str());
}

// Characters LineText gives for `line`: 20 before the printable text.
int Width(const MonitorLine& line) { return 20 + static_cast<int>(orv::serial::Printable(line.text).size()); }

//   $IIXDR,     1200     $SDMTW,      120
//   ...
//   other talkers, not shown: MTW 412  VHW 400
std::string CountsText(const orv::serial::MonitorCounts& c) {
  using orv::kSentenceHeaders;
  std::string text;
  std::string others;
  for (size_t i = 0; i < kSentenceHeaders.size(); ++i) {
    text += orv::Format("%-8s%8lld", kSentenceHeaders[i], c.types[i].known) + (i % 2 ? "\n" : "     ");
    if (c.types[i].otherTalker) others += orv::Format("  %s %lld", kSentenceHeaders[i] + 3, c.types[i].otherTalker);
  }
  text += orv::Format("%-8s%8lld\n", "others", c.otherSentences);
  if (!others.empty()) text += "other talkers, not shown:" + others + "\n";
  text += orv::Format("checksum  ok %lld   bad %lld   none %lld", c.valid, c.invalid, c.absent);
  if (c.lostBytes) text += orv::Format("   lost %lld bytes", c.lostBytes);
  return text;
}

}  // namespace

CRawLinesView::CRawLinesView(QWidget* parent) : QAbstractScrollArea(parent) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void CRawLinesView::Show(const std::deque<MonitorLine>* lines, size_t gone) {
  if (!lines) return;
  QScrollBar* bar = verticalScrollBar();
  const bool atEnd = bar->value() >= bar->maximum();
  const int keep = bar->value() - static_cast<int>(std::min<size_t>(gone, static_cast<size_t>(bar->value())));
  m_pLines = lines;
  UpdateBars();
  bar->setValue(atEnd ? bar->maximum() : keep);
  viewport()->update();
}

void CRawLinesView::Hold(bool hold) {
  m_held.clear();
  if (hold && m_pLines) {
    m_held = *m_pLines;
    m_pLines = &m_held;
  }
}

QString CRawLinesView::Text() const {
  QStringList text;
  if (m_pLines) {
    for (const MonitorLine& line : *m_pLines) text << LineText(line);
  }
  return text.join('\n');
}

void CRawLinesView::UpdateBars() {
  const QFontMetrics metrics(font());
  const int rows = viewport()->height() / metrics.height();
  int count = 0, widest = 0;
  if (m_pLines) {
    count = static_cast<int>(m_pLines->size());
    for (const MonitorLine& line : *m_pLines) widest = std::max(widest, Width(line));
  }
  verticalScrollBar()->setRange(0, std::max(0, count - rows));
  verticalScrollBar()->setPageStep(rows);
  horizontalScrollBar()->setRange(0, std::max(0, widest * metrics.horizontalAdvance('0') + 8 - viewport()->width()));
  horizontalScrollBar()->setPageStep(viewport()->width());
}

void CRawLinesView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateBars();
}

void CRawLinesView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.fillRect(viewport()->rect(), palette().color(QPalette::Base));
  if (!m_pLines) return;
  painter.setPen(palette().color(QPalette::Text));
  const QFontMetrics metrics(font());
  const int x = 4 - horizontalScrollBar()->value();
  const size_t first = static_cast<size_t>(verticalScrollBar()->value());
  for (size_t i = first, y = 0; i < m_pLines->size() && static_cast<int>(y) < viewport()->height(); ++i) {
    y += static_cast<size_t>(metrics.height());
    painter.drawText(x, static_cast<int>(y) - metrics.descent(), LineText((*m_pLines)[i]));
  }
}

CRawMonitorDlg::CRawMonitorDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Raw Monitor");
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  m_pRates = new QLabel(this);
  m_pCounts = new QLabel(this);
  m_pLines = new CRawLinesView(this);
  m_pRates->setFont(fixed);
  m_pCounts->setFont(fixed);
  m_pCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A person reading a line wants it to stay put; the counts go on.
  m_pHold = new QPushButton("Hold", this);
  m_pHold->setCheckable(true);
  auto* copy = new QPushButton("Copy", this);
  copy->setToolTip("Copies the lines kept here to the clipboard");
  connect(m_pHold, &QPushButton::toggled, this, [this](bool hold) {
    m_pLines->Hold(hold);
    if (!hold) Refresh();
  });
  connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(m_pLines->Text()); });
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_pHold);
  buttons->addWidget(copy);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pRates);
  layout->addWidget(m_pCounts);
  layout->addWidget(m_pLines, 1);
  layout->addLayout(buttons);
  resize(640, 520);
  Refresh();
}

void CRawMonitorDlg::Feed(const orv::serial::TappedBlock& block) {
  m_monitor.Feed(block.bytes.data(), block.bytes.size(), block.wallMs, block.steadyMs);
}

void CRawMonitorDlg::Refresh() {
  const long long now = orv::serial::SteadyMs();
  m_pRates->setText(QString::asprintf("%8.0f bytes/s   %6.1f sentences/s", m_monitor.BytesPerSecond(now),
                                      m_monitor.SentencesPerSecond(now)));
  m_pCounts->setText(QString::fromLatin1(CountsText(m_monitor.Counts()).c_str()));
  if (m_pHold->isChecked() || m_monitor.LinesSeen() == m_nShown) return;
  const size_t kept = m_monitor.Lines().size();
  const size_t gone = m_nShownKept + static_cast<size_t>(m_monitor.LinesSeen() - m_nShown) - kept;
  m_nShown = m_monitor.LinesSeen();
  m_nShownKept = kept;
  m_pLines->Show(&m_monitor.Lines(), gone);
}

void CViewerDlg::OnRawMonitor() {
  if (!m_pRawMonitor || !m_pRawMonitor->isVisible()) {
    // A monitor opened again starts counting afresh.
    m_pRawMonitor = std::make_unique<CRawMonitorDlg>(this);
    connect(m_pRawMonitor.get(), &QDialog::finished, this, [this] { UpdateTap(); });
    m_pRawMonitor->show();
    UpdateTap();
  }
  m_pRawMonitor->raise();
  m_pRawMonitor->activateWindow();
}
