#include "app/ViewerDlg.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QThread>
#include <QToolTip>
#include <algorithm>
#include <iterator>
#include <tuple>

#include "app/AboutDlg.h"
#include "app/Geometry.h"
#include "app/Legend.h"
#include "app/Platform.h"
#include "app/RawMonitorDlg.h"
#include "app/Settings.h"
#include "res/Resources.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr unsigned kIdmAboutBox = 16;  // system menu entry, as command id 0x0010
#ifdef Q_OS_WIN
constexpr const char* kAboutMenuText = "&About Orvanta...";  // string 101
#endif

// The fourteen picture buttons, in the order they are bound (which is also
// their tab order), with their template rectangles in dialog units.
struct ButtonSpec {
  int id;
  const char* text;
  CBitmapButton CViewerDlg::*member;
  int x, y;
  const char* tip;
  void (CViewerDlg::*handler)();
};

const ButtonSpec kButtons[] = {
    {1003, "FLASH", &CViewerDlg::m_btnFlash, 162, 105, legend::kFlash, &CViewerDlg::OnFlash},
    {1004, "RECORD", &CViewerDlg::m_btnRecord, 162, 5, legend::kRecord, &CViewerDlg::OnRecord},
    {1007, "SAVE", &CViewerDlg::m_btnSave, 162, 55, legend::kSave, &CViewerDlg::OnSave},
    {1005, "STOP", &CViewerDlg::m_btnStop, 162, 30, legend::kSelect, &CViewerDlg::OnStop},
    {1006, "CONNECT", &CViewerDlg::m_btnConnect, 162, 80, legend::kConnect, &CViewerDlg::OnConnect},
    {1002, "PAGE", &CViewerDlg::m_btnPage, 162, 130, legend::kScroll, &CViewerDlg::OnPage},
    {1024, "DISPLAY", &CViewerDlg::m_btnDisplay, 163, 156, legend::kDisplay, &CViewerDlg::OnDisplay},
    {1, "OK", &CViewerDlg::m_btnOk, 133, 70, "OK", nullptr},
    {1015, "UP", &CViewerDlg::m_btnPortUp, 50, 180, "COM port up", &CViewerDlg::OnPortUp},
    {1016, "DOWN", &CViewerDlg::m_btnPortDown, 50, 190, "COM port down", &CViewerDlg::OnPortDown},
    {1028, "BUP", &CViewerDlg::m_btnBaudUp, 171, 180, "Baud rate up", &CViewerDlg::OnBaudUp},
    {1029, "BDOWN", &CViewerDlg::m_btnBaudDown, 171, 190, "Baud rate down", &CViewerDlg::OnBaudDown},
    {1018, "IUP", &CViewerDlg::m_btnIntervalUp, 108, 180, "Capture interval up", &CViewerDlg::OnIntervalUp},
    {1017, "IDOWN", &CViewerDlg::m_btnIntervalDown, 108, 190, "Capture interval down",
     &CViewerDlg::OnIntervalDown},
};

// The five pictures painting copies from, each loaded once into the surface
// of the same name; loaded and released in this order.
struct Picture {
  int resource;
  QPixmap CViewerDlg::*bitmap;
  QPixmap CViewerDlg::*surface;
};

const Picture kPictures[] = {
    {res::kFont, &CViewerDlg::m_bmpFont, &CViewerDlg::m_dcFont},
    {res::kBackground, &CViewerDlg::m_bmpBackground, &CViewerDlg::m_dcBackground},
    {res::kBaudList, &CViewerDlg::m_bmpBaudList, &CViewerDlg::m_dcBaudList},
    {res::kPortList, &CViewerDlg::m_bmpPortList, &CViewerDlg::m_dcPortList},
    {res::kIntervalList, &CViewerDlg::m_bmpIntervalList, &CViewerDlg::m_dcIntervalList},
};
static_assert(std::size(kPictures) == std::tuple_size<decltype(CViewerDlg::m_hOldBitmap)>::value);

}  // namespace

CViewerDlg::CViewerDlg(const ViewerEnvironment& env, QWidget* parent)
    : QDialog(parent),
      m_env(env),
      m_btnRecord(this), m_btnStop(this), m_btnSave(this), m_btnConnect(this), m_btnFlash(this),
      m_btnPage(this), m_btnPortUp(this), m_btnPortDown(this), m_btnIntervalUp(this),
      m_btnIntervalDown(this), m_btnOk(this), m_btnDisplay(this), m_btnBaudUp(this), m_btnBaudDown(this) {
  std::fill(std::begin(m_nShownGlyph), std::end(m_nShownGlyph), kUnknownGlyph);
  m_ptShownList.fill(kUnknownList);
  if (!m_env.clock) m_env.clock = [] { return std::time(nullptr); };
  if (!m_env.resolvePort) m_env.resolvePort = [](const std::string& name) { return SettingsStore::DevicePath(name); };
  m_hIcon = res::Icon();

  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(geometry::kClientWidth, geometry::kClientHeight);
  // The paint handler draws every pixel itself and, for a data-only repaint,
  // relies on the previous picture staying where it was.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setWindowTitle("Orvanta");
  m_reconnectTimer.setSingleShot(true);
  connect(&m_reconnectTimer, &QTimer::timeout, this, [this] { TryReconnect(); });
  connect(&m_tapTimer, &QTimer::timeout, this, [this] { DrainTap(); });
  // A file-size limit must make a capture or read-back write fail, which
  // the writer reports, rather than end the program mid-record.
  orv::platform::IgnoreFileSizeSignal();
}

CViewerDlg::~CViewerDlg() {
  // A window that was never shown through its modal run still must not
  // leave the receive thread behind.
  EndReadThread();
}

int CViewerDlg::DoModal() {
  OnInitDialog();
  return m_env.modal->RunDialog(*this);
}

bool CViewerDlg::OnInitDialog() {
  BindButtons();

#ifdef Q_OS_WIN
  if (HMENU menu = ::GetSystemMenu(reinterpret_cast<HWND>(winId()), FALSE)) {
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kIdmAboutBox, kAboutMenuText);
  }
#endif
  setWindowIcon(m_hIcon);

  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_strCaptionStatus = "::";
    m_strCaptionState = "disconnected";
  }
  SetCaption();

  for (size_t i = 0; i < std::size(kPictures); ++i) {
    const Picture& p = kPictures[i];
    this->*p.bitmap = res::Load(p.resource);
    m_hOldBitmap[i] = this->*p.surface;
    this->*p.surface = this->*p.bitmap;
  }
  m_sizeBackground = m_bmpBackground.size();

  if (!LoadPageFile()) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_model.SetDefaultPages();
  }
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_model.m_nDisplayType = 0;
  }
  ResetDisplay(true);

  ReadSettings();

  {
    std::lock_guard<std::mutex> capture(m_captureLock);
    m_strCaptureFile = "Quorvel_Capture.txt";
    m_nRecordCount = 0;
    m_bRecording = false;
    m_pCaptureFile = nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bFullRedraw = true;
  }
  m_strFlashFile.clear();
  m_strFlashSaveFile.clear();
  m_bConnected = false;
  return true;
}

void CViewerDlg::BindButtons() {
  QWidget* previous = nullptr;
  for (const ButtonSpec& spec : kButtons) {
    CBitmapButton& button = this->*spec.member;
    button.AutoLoad(spec.id, spec.text, geometry::DluToPx(spec.x, spec.y));
    button.setToolTip(QString::fromLatin1(spec.tip));
    button.setAccessibleName(QString::fromLatin1(spec.tip));
    if (spec.handler) {
      const auto handler = spec.handler;
      connect(&button, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
    }
    if (previous) setTabOrder(previous, &button);
    previous = &button;
  }
  // OK exists only so that Enter has a command to give; it is never shown.
  m_btnOk.hide();
}

CBitmapButton* CViewerDlg::Button(int controlId) {
  for (const ButtonSpec& spec : kButtons) {
    if (spec.id == controlId) return &(this->*spec.member);
  }
  return nullptr;
}

void CViewerDlg::OnSysCommand(unsigned nID) {
  if ((nID & 0xFFF0) == kIdmAboutBox) {
    ShowAbout();
  }
}

void CViewerDlg::ShowAbout() {
  CAboutDlg about(this);
  m_env.modal->RunDialog(about);
}

void CViewerDlg::OnDestroy() {
  if (m_bDestroyed) return;
  m_bDestroyed = true;
  StopReconnect();
  WriteSettings();
  for (size_t i = 0; i < std::size(kPictures); ++i) {
    this->*kPictures[i].surface = m_hOldBitmap[i];
    this->*kPictures[i].bitmap = QPixmap();
  }
  EndReadThread();
  // The last blocks go into the raw log before it is closed.
  StopRawLog();
  if (m_pRawMonitor) m_pRawMonitor->close();
  UpdateTap();
}

void CViewerDlg::done(int result) {
  OnDestroy();
  QDialog::done(result);
}

void CViewerDlg::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // No button is a default push button, so Enter gives the plain OK.
      done(IDOK);
      return;
    case Qt::Key_Escape:
      done(IDCANCEL);
      return;
    case Qt::Key_F1:
      ShowAbout();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void CViewerDlg::closeEvent(QCloseEvent* event) {
  OnDestroy();
  QDialog::closeEvent(event);
}

void CViewerDlg::contextMenuEvent(QContextMenuEvent* event) {
  const QPoint at = event->reason() == QContextMenuEvent::Keyboard ? QPoint(-1, -1) : event->globalPos();
  OnContextMenu(this, at);
}

// The port list is a picture, so its tooltip is asked for here: it names
// the device the COM name in use opens, which the picture cannot show.
bool CViewerDlg::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const QRect portList(geometry::kPortListX, geometry::kListY, geometry::kListWidth, geometry::kListHeight);
    if (portList.contains(help->pos())) {
      QToolTip::showText(help->globalPos(), QString::fromLocal8Bit(PortToolTip().c_str()), this, portList);
      return true;
    }
  }
  return QDialog::event(event);
}

#ifdef Q_OS_WIN
bool CViewerDlg::nativeEvent(const QByteArray& eventType, void* message, qintptr* result) {
  MSG* msg = static_cast<MSG*>(message);
  if (msg->message == WM_SYSCOMMAND && (static_cast<unsigned>(msg->wParam) & 0xFFF0) == kIdmAboutBox) {
    OnSysCommand(static_cast<unsigned>(msg->wParam));
    *result = 0;
    return true;
  }
  return QDialog::nativeEvent(eventType, message, result);
}
#endif

void CViewerDlg::SetCaption() {
  std::string caption;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    caption = m_strCaptionStatus + m_strCaptionState;
    m_strCaptionShown = caption;
  }
  setWindowTitle(QString::fromLatin1(caption.c_str()));
}

std::string CViewerDlg::Caption() const {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_strCaptionStatus + m_strCaptionState;
}

int CViewerDlg::Message(const std::string& text, const char* caption, Buttons buttons) {
  return m_env.modal->MessageBox(this, text, caption, buttons);
}

void CViewerDlg::OnWindowThread(std::function<void()> fn) {
  if (QThread::currentThread() == thread()) {
    fn();
  } else {
    m_windowQueue.Post(std::move(fn));
  }
}
