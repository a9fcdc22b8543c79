#pragma once
// The port picker: the serial devices present now, the COM names and where
// each leads, and a button that maps the chosen device to the chosen name.
// The devices are looked for on a thread of its own (a scan touches the
// file system and may be slow), whose result comes back to the window
// thread; the dialog answers at once whatever the scan does.
#include <QDialog>
#include <memory>
#include <thread>
#include <vector>

#include "serial/PortScan.h"

class CViewerDlg;
class QLabel;
class QListWidget;

class CPortPickerDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CPortPickerDlg(CViewerDlg& owner);
  ~CPortPickerDlg() override;

 private:
  struct Scan;
  // Starts a scan, or another once the running one is done.
  void StartScan();
  // Joins the scan within a bound, or lets go of it.
  void EndScan();
  // Window thread: a scan is done.
  void ShowScan(std::vector<orv::serial::FoundPort> found, std::vector<std::string> comDevices);
  void ShowComNames();
  // Maps the selected COM name to the selected device, or to its default.
  void Assign(bool toDefault);

  CViewerDlg& m_owner;
  std::vector<int> m_portIndex;  // of each COM row
  std::vector<std::string> m_comPath, m_comDevice;
  std::vector<orv::serial::FoundPort> m_found;
  std::shared_ptr<Scan> m_scan;
  std::thread m_scanThread;
  bool m_bScanAgain = false;
  QListWidget* m_pComNames;
  QListWidget* m_pDevices;
  QLabel* m_pStatus;
  QString m_note;  // what the last assignment did
};
