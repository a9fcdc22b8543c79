#pragma once
// The main window. It owns every piece of run-time state: the port and the
// receive thread, the display model, the pictures, the settings and list
// positions, the capture file and the flash run's state. The handlers that
// act on it live with their subsystem (serial/, display/, capture/, flash/);
// this header is the one place that declares them all.
//
// Two threads touch this object: the window's own thread (every handler,
// painting, flash runs) and the receive thread. Fields marked [m_lock] are
// read or written by both and are only touched with m_lock held; fields
// marked [capture] are guarded by m_captureLock, which a record write and a
// close of the capture file both take, so the two never overlap. The receive
// thread never touches a widget: caption changes, repaints and message boxes
// it needs are posted to the window thread.
#include <QDialog>
#include <QIcon>
#include <QPixmap>
#include <QRegion>
#include <QTimer>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "app/BitmapButton.h"
#include "app/Modal.h"
#include "app/WindowQueue.h"
#include "capture/RawLog.h"
#include "display/DisplayModel.h"
#include "flash/OcdLink.h"
#include "serial/BlockTap.h"
#include "serial/LinkWatch.h"
#include "serial/Port.h"
#include "serial/PortScan.h"
#include "serial/Reconnect.h"

class QPainter;
class CRawMonitorDlg;

// What start-up hands the window: the modal seam, where COM names lead, and
// the clock (whole seconds, local time) the recorder stamps records with.
struct ViewerEnvironment {
  IModal* modal = nullptr;
  // "COM8:" to a device path. Empty: the [Ports] group of the settings, else /dev/ttyS7.
  std::function<std::string(const std::string& portName)> resolvePort;
  std::function<std::time_t()> clock;
  // When a line counts as silent, and how a lost one is tried again.
  orv::serial::LinkTimings link;
  // Where the port picker looks for serial devices.
  orv::serial::ScanRoots scanRoots;
};

using PortHandle = std::shared_ptr<orv::serial::Port>;

using OcdOrder = orv::flash::OcdOrder;

class CViewerDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CViewerDlg(const ViewerEnvironment& env, QWidget* parent = nullptr);
  ~CViewerDlg() override;

  // ---- Start-up, system menu, shutdown (app/) ----
  // Initialises the window and runs it modally through the modal seam.
  int DoModal();
  bool OnInitDialog();
  void OnSysCommand(unsigned nID);
  QIcon OnQueryDragIcon() const { return m_hIcon; }
  void OnDestroy();
  void OnContextMenu(QWidget* pWnd, QPoint point);
  // Makes `index` the port in use, as the port arrows do.
  void SelectPort(int index);
  // The port picker: the serial devices present, and which COM name leads where.
  void OnPortPicker();
  // What the port list's tooltip says: the device the COM name in use opens.
  std::string PortToolTip() const;
  void ReadSettings();
  void WriteSettings();
  void SetCaption();  // window thread: caption from status + state, under m_lock
  std::string Caption() const;  // status + state as they stand
  void ShowAbout();

  // ---- Connection, receive thread, commands (serial/) ----
  bool OpenPort(const std::string& portName);
  // Opens `path` with the unit's line settings and starts the receive
  // thread: null when all went well, else the message of the step that
  // failed, with `status` saying why.
  const char* StartLine(const std::string& path, orv::serial::Status& status);
  bool ClosePort(PortHandle port);
  // Ends the receive thread and closes the port, whatever is open.
  void CloseLine();
  void OnConnect();
  void ShowConnectionState(bool connected, int normalPicture, int pressedPicture, const char* state,
                           const char* status = "");
  // Window thread: the receive thread found `port` gone.
  void OnLineLost(const PortHandle& port);
  void TryReconnect();
  void StopReconnect();
  static unsigned ReadThreadProc(CViewerDlg* dlg);
  // Asks the receive thread to stop and joins it within a bound.
  void EndReadThread();
  int WritePort(const unsigned char* data, int count, unsigned char echo);
  void OnStop();
  void OnPage();
  void SendCommandG();

  // ---- Display (display/) ----
  bool DecodeBlock(std::string block);
  void WriteRow(int row);
  void ResetDisplay(bool repaint);
  // Draws the part of the picture in `region` (client pixels).
  void OnPaint(QPainter& painter, const QRegion& region);
  // Sets m_bFullRedraw and has the window repainted at once, setting the
  // caption anew first when asked; from the receive thread both are posted
  // to the window thread as one piece of work. A full redraw paints the
  // whole window; otherwise only the cells and list windows that differ
  // from what the screen shows are painted, and nothing when none does.
  void RequestRepaint(bool fullRedraw, bool setCaption = false);
  // Window thread: the cells and list windows that differ from what the
  // screen shows, and the number of blocks decoded into the cells compared.
  QRegion ChangedRegion(uint64_t& blocksDecoded) const;
  // With m_lock held: the cells are what the screen shows, and so is the
  // caption unless it is to be set anew.
  bool NothingToShow(bool setCaption) const;
  void OnDisplay();
  void OnPortUp();
  void OnPortDown();
  void OnIntervalUp();
  void OnIntervalDown();
  void OnBaudUp();
  void OnBaudDown();
  bool LoadPageFile();

  // ---- Recording (capture/) ----
  void OnRecord();
  bool WriteCaptureRecord(int byteCount);
  bool CloseCaptureFile();
  void StopRecording();
  bool KeepEarlierRecords(std::string& path);
  void ShowRecordingStopped(int written);
  void ShowRecordingOff(const std::string& state);
  void OnSave();

  // ---- The raw stream: monitor and raw log (app/RawMonitorDlg.cpp, app/RawStream.cpp) ----
  void OnRawMonitor();
  // Starts the raw log in a file the user chooses, or stops it.
  void OnRawLog();
  // Closes the raw log; `failure` is said once when there is one.
  void StopRawLog(const char* failure = nullptr);
  // Window thread: hands the tapped blocks to the monitor and the raw log.
  void DrainTap();
  // Takes blocks off the receive thread only while someone uses them.
  void UpdateTap();

  // ---- Flash (flash/) ----
  int OcdExchange(unsigned char* buffer, int writeCount, int readCount);
  bool OcdOpen(const char* question, OcdOrder order);
  bool FlashInit();
  void OnFlash();
  bool SaveFlashData(std::FILE* file);

  // A modal message box owned by this window; caption "Error" unless given.
  int Message(const std::string& text, const char* caption = "Error", Buttons buttons = Buttons::Ok);
  // Runs `fn` on the window thread (at once when already there, else posted).
  void OnWindowThread(std::function<void()> fn);

  // The button with this control id, or null.
  CBitmapButton* Button(int controlId);

  // ---- Fields ----
  ViewerEnvironment m_env;

  // Buttons, bound in OnInitDialog.
  CBitmapButton m_btnRecord, m_btnStop, m_btnSave, m_btnConnect, m_btnFlash, m_btnPage;
  CBitmapButton m_btnPortUp, m_btnPortDown, m_btnIntervalUp, m_btnIntervalDown;
  CBitmapButton m_btnOk, m_btnDisplay, m_btnBaudUp, m_btnBaudDown;

  QIcon m_hIcon;

  // Caption parts [m_lock].
  std::string m_strCaptionStatus;
  std::string m_strCaptionState;

  // Settings; the receive thread reads m_nCaptureSeconds and m_nBaudRate [m_lock].
  int m_nPortIndex = 0;
  int m_nBaudIndex = 0;
  int m_nBaudRate = 0;
  int m_nIntervalIndex = 0;
  int m_nCaptureSeconds = 0;
  int m_nDisplayTypeSetting = 0;

  // Pictures: the bitmaps as loaded and the drawing surfaces made from them
  // once at start-up, so that painting only copies.
  QPixmap m_bmpFont, m_bmpBackground, m_bmpBaudList, m_bmpPortList, m_bmpIntervalList;
  QPixmap m_dcFont, m_dcBackground, m_dcBaudList, m_dcPortList, m_dcIntervalList;
  std::array<QPixmap, 5> m_hOldBitmap;  // what each surface held before its bitmap
  QSize m_sizeBackground;

  // List picture offsets (window thread only).
  int m_nPortListX = 0, m_nPortListY = 0;
  int m_nBaudListX = 0, m_nBaudListY = 0;
  int m_nIntervalListX = 0, m_nIntervalListY = 0;

  // Display model: cells, page table, raw slots, row buffers, display type [m_lock].
  orv::DisplayModel m_model;
  bool m_bFullRedraw = false;  // [m_lock]
  // How far the screen has caught up with the stream: the blocks decoded
  // [m_lock], and how many of them the last finished repaint shows (window
  // thread). Nothing reads them to decide anything; they are there to be
  // measured.
  uint64_t m_nBlocksDecoded = 0;
  uint64_t m_nBlocksShown = 0;
  // What the screen shows: the glyph offset last drawn whole in each cell
  // [m_lock], the source corner each list window last showed (window
  // thread), the caption last set [m_lock]. Unknown until drawn whole.
  static constexpr int kUnknownGlyph = -1;
  static constexpr QPoint kUnknownList{-1, -1};
  int m_nShownGlyph[orv::kCells];
  std::array<QPoint, 3> m_ptShownList;
  std::string m_strCaptionShown;

  // Serial port. m_hPort is empty (the invalid handle) when no port is open;
  // the receive thread holds its own reference while it runs [m_lock].
  PortHandle m_hPort;
  bool m_bConnected = false;
  // The device the connection opened, tried again after a line loss, and
  // the schedule of those tries (window thread only).
  std::string m_strPortPath;
  std::optional<orv::serial::ReconnectSchedule> m_reconnect;
  QTimer m_reconnectTimer;

  // Receive thread.
  std::thread m_hReadThread;
  std::atomic<bool> m_bStopReadThread{false};
  std::atomic<bool> m_bReadThreadRunning{false};
  std::condition_variable m_readThreadEnded;  // with m_lock
  std::atomic<int> m_bPortBusy{0};

  // Capture [capture].
  bool m_bRecording = false;
  std::string m_strCaptureFile;
  std::FILE* m_pCaptureFile = nullptr;
  int m_nRecordCount = 0;
  std::time_t m_timeNow = 0;
  std::time_t m_timeLastRecord = 0;

  // The raw stream: copies of the received blocks, numbered by connection
  // (m_nStream is set before each receive thread starts), the monitor
  // window and the raw log they go to (window thread only).
  orv::serial::BlockTap m_tap;
  unsigned m_nStream = 0;
  unsigned m_nTapStream = 0;
  QTimer m_tapTimer;
  std::unique_ptr<CRawMonitorDlg> m_pRawMonitor;
  orv::capture::RawLog m_rawLog;
  std::string m_strRawLogFile;

  // Flash.
  std::string m_strFlashFile;
  std::string m_strFlashSaveFile;

  mutable std::mutex m_lock;
  std::mutex m_captureLock;
  // What the receive thread hands to the window thread.
  WindowQueue m_windowQueue;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
#ifdef Q_OS_WIN
  bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

 public:
  void done(int result) override;

 private:
  void BindButtons();
  void StepList(int controlId);
  bool m_bDestroyed = false;
};
