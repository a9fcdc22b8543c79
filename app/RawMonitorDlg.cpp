#include "app/RawMonitorDlg.h"

#include <QDateTime>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <chrono>

#include "app/ViewerDlg.h"
#include "common/Text.h"

namespace {

using orv::serial::Checksum;

const char* Verdict(const orv::serial::MonitorLine& line) {
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
QString LineText(const orv::serial::MonitorLine& line) {
  return QDateTime::fromMSecsSinceEpoch(line.wallMs).toString("HH:mm:ss.zzz") +
         QString::asprintf("  %-4s ", Verdict(line)) + QString::fromLatin1(orv::serial::Printable(line.text).c_str());
}

//   $IIXDR,     1200     $SDVLW,      120
//   ...
//   other talkers, not shown: MTW 412  VHW 400
std::string CountsText(const orv::serial::MonitorCounts& c) {
  using orv::serial::kSentenceHeaders;
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

long long SteadyNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

CRawMonitorDlg::CRawMonitorDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Raw Monitor");
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  m_pRates = new QLabel(this);
  m_pCounts = new QLabel(this);
  m_pLines = new QPlainTextEdit(this);
  // A person reading a line wants it to stay put; the counts go on.
  m_pHold = new QPushButton("Hold", this);
  m_pHold->setCheckable(true);
  m_pRates->setObjectName("rates");
  m_pCounts->setObjectName("counts");
  m_pLines->setObjectName("lines");
  for (QWidget* w : {static_cast<QWidget*>(m_pRates), static_cast<QWidget*>(m_pCounts),
                     static_cast<QWidget*>(m_pLines)}) {
    w->setFont(fixed);
  }
  m_pCounts->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_pLines->setReadOnly(true);
  m_pLines->setLineWrapMode(QPlainTextEdit::NoWrap);
  m_pLines->setMaximumBlockCount(static_cast<int>(orv::serial::kMonitorLines));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pRates);
  layout->addWidget(m_pCounts);
  layout->addWidget(m_pLines, 1);
  layout->addWidget(m_pHold, 0, Qt::AlignLeft);
  resize(640, 520);
  Refresh();
}

void CRawMonitorDlg::Feed(const orv::serial::TappedBlock& block) {
  m_monitor.Feed(block.bytes.data(), block.bytes.size(), block.wallMs, block.steadyMs);
}

void CRawMonitorDlg::Refresh() {
  const long long now = SteadyNowMs();
  m_pRates->setText(QString::asprintf("%8.0f bytes/s   %6.1f sentences/s", m_monitor.BytesPerSecond(now),
                                      m_monitor.SentencesPerSecond(now)));
  m_pCounts->setText(QString::fromLatin1(CountsText(m_monitor.Counts()).c_str()));
  if (m_pHold->isChecked()) return;
  const auto& lines = m_monitor.Lines();
  const size_t fresh = static_cast<size_t>(std::min<unsigned long long>(m_monitor.LinesSeen() - m_nShown, lines.size()));
  m_nShown = m_monitor.LinesSeen();
  if (fresh == 0) return;
  QStringList text;
  for (size_t i = lines.size() - fresh; i < lines.size(); ++i) text << LineText(lines[i]);
  m_pLines->appendPlainText(text.join('\n'));
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
