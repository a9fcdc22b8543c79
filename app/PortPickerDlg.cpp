#include "app/PortPickerDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <condition_variable>
#include <mutex>

#include "app/Settings.h"
#include "app/SettingsRules.h"
#include "app/ViewerDlg.h"
#include "common/Text.h"
#include "serial/PortNames.h"

namespace {

// A scan reads a few dozen directory entries and small files; should one
// hang (a device that does not answer), closing the dialog waits this long
// and then leaves the scan to finish on its own.
constexpr auto kScanJoinBound = std::chrono::seconds(2);

std::string ComLabel(int portIndex) { return orv::Format("COM %d", portIndex + 1); }

}  // namespace

// What the scan thread and the window thread share. `dialog` is read and
// cleared on the window thread only; the rest is under `lock`. A scan that
// is abandoned posts nothing.
struct CPortPickerDlg::Scan {
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
  bool abandoned = false;
  CPortPickerDlg* dialog = nullptr;
};

CPortPickerDlg::CPortPickerDlg(CViewerDlg& owner) : QDialog(&owner), m_owner(owner) {
  setWindowTitle("Serial Ports");
  m_pComNames = new QListWidget(this);
  m_pDevices = new QListWidget(this);
  m_pStatus = new QLabel(this);
  m_pComNames->setObjectName("comNames");
  m_pDevices->setObjectName("devices");
  m_pStatus->setObjectName("status");
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* assign = buttons->addButton("Assign", QDialogButtonBox::ActionRole);
  QPushButton* toDefault = buttons->addButton("Default", QDialogButtonBox::ActionRole);
  QPushButton* again = buttons->addButton("Look Again", QDialogButtonBox::ActionRole);
  buttons->addButton(QDialogButtonBox::Close);
  assign->setObjectName("assign");
  toDefault->setObjectName("default");
  assign->setToolTip("The selected COM name opens the selected device from now on");
  toDefault->setToolTip("The selected COM name opens its usual device again");
  connect(assign, &QPushButton::clicked, this, [this] { Assign(false); });
  connect(toDefault, &QPushButton::clicked, this, [this] { Assign(true); });
  connect(again, &QPushButton::clicked, this, [this] { StartScan(); });
  connect(m_pDevices, &QListWidget::itemDoubleClicked, this, [this] { Assign(false); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel("COM names", this), 0, 0);
  layout->addWidget(new QLabel("Serial devices present", this), 0, 1);
  layout->addWidget(m_pComNames, 1, 0);
  layout->addWidget(m_pDevices, 1, 1);
  layout->addWidget(m_pStatus, 2, 0, 1, 2);
  layout->addWidget(buttons, 3, 0, 1, 2);
  layout->setColumnStretch(0, 2);
  layout->setColumnStretch(1, 3);
  resize(760, 340);

  int current = 0;
  {
    std::lock_guard<std::mutex> lock(m_owner.m_lock);
    current = m_owner.m_nPortIndex;
  }
  for (int i = 0; i < orv::kListEntries; ++i) m_portIndex.push_back(i);
  // A stored port beyond the list (COM12) is shown too: it is the one in use.
  if (current >= orv::kListEntries && current < orv::kStoredIndexLimit) m_portIndex.push_back(current);
  ShowComNames();
  for (size_t row = 0; row < m_portIndex.size(); ++row) {
    if (m_portIndex[row] == current) m_pComNames->setCurrentRow(static_cast<int>(row));
  }
  StartScan();
}

CPortPickerDlg::~CPortPickerDlg() { EndScan(); }

// While a scan runs, another is only asked for: it starts when the running
// one is done, so the window thread never waits for one.
void CPortPickerDlg::StartScan() {
  if (m_scan) {
    m_bScanAgain = true;
    return;
  }
  m_bScanAgain = false;
  m_comPath.clear();
  for (int index : m_portIndex) m_comPath.push_back(m_owner.m_env.resolvePort(orv::serial::PortName(index)));
  m_pStatus->setText("Looking for serial devices...");
  m_scan = std::make_shared<Scan>();
  m_scan->dialog = this;
  CViewerDlg* owner = &m_owner;
  try {
    m_scanThread = std::thread([scan = m_scan, roots = m_owner.m_env.scanRoots, paths = m_comPath, owner] {
      std::vector<orv::serial::FoundPort> found = orv::serial::ScanPorts(roots);
      std::vector<std::string> devices;
      for (const std::string& path : paths) devices.push_back(orv::serial::PresentDevice(path, roots));
      std::lock_guard<std::mutex> lock(scan->lock);
      scan->done = true;
      scan->ended.notify_all();
      if (scan->abandoned) return;
      owner->OnWindowThread([scan, found = std::move(found), devices = std::move(devices)]() mutable {
        if (scan->dialog) scan->dialog->ShowScan(std::move(found), std::move(devices));
      });
    });
  } catch (const std::system_error&) {
    m_pStatus->setText("Could not look for serial devices");
    m_scan.reset();
  }
}

void CPortPickerDlg::EndScan() {
  if (!m_scan) return;
  m_scan->dialog = nullptr;
  bool done = false;
  {
    std::unique_lock<std::mutex> lock(m_scan->lock);
    m_scan->abandoned = true;
    done = m_scan->ended.wait_for(lock, kScanJoinBound, [this] { return m_scan->done; });
  }
  // The thread holds its own share of what it touches, so one that has not
  // ended in time may finish on its own.
  if (done) {
    m_scanThread.join();
  } else {
    std::fprintf(stderr, "orvanta: the serial device scan did not end in time\n");
    m_scanThread.detach();
  }
  m_scan.reset();
}

void CPortPickerDlg::ShowScan(std::vector<orv::serial::FoundPort> found, std::vector<std::string> comDevices) {
  EndScan();  // done already: only joined
  if (m_bScanAgain) {
    StartScan();
    return;
  }
  m_found = std::move(found);
  m_comDevice = std::move(comDevices);
  ShowComNames();
  m_pDevices->clear();
  for (const orv::serial::FoundPort& port : m_found) {
    std::string users;
    for (size_t row = 0; row < m_comDevice.size(); ++row) {
      if (!port.device.empty() && m_comDevice[row] == port.device) users += "  <- " + ComLabel(m_portIndex[row]);
    }
    const std::string text = port.description + "  (" + port.device + ")" + users + "\n    " + port.path;
    m_pDevices->addItem(QString::fromLocal8Bit(text.c_str()));
  }
  if (!m_found.empty()) m_pDevices->setCurrentRow(0);
  const QString count =
      m_found.empty() ? QString("No serial device found") : QString("%1 serial device(s) found").arg(m_found.size());
  m_pStatus->setText(m_note.isEmpty() ? count : count + ".  " + m_note);
}

// "COM 3    /dev/serial/by-id/usb-FTDI_...   (ttyUSB0)", or "(nothing there)".
void CPortPickerDlg::ShowComNames() {
  const int selected = m_pComNames->currentRow();
  m_pComNames->clear();
  for (size_t row = 0; row < m_portIndex.size(); ++row) {
    std::string text = ComLabel(m_portIndex[row]);
    if (row < m_comPath.size()) text += "    " + m_comPath[row];
    if (row < m_comDevice.size()) {
      const std::string& device = m_comDevice[row];
      if (device.empty()) {
        text += "   (nothing there)";
      } else if (device != m_comPath[row]) {
        text += "   (" + device + ")";
      }
    }
    m_pComNames->addItem(QString::fromLocal8Bit(text.c_str()));
  }
  if (selected >= 0) m_pComNames->setCurrentRow(selected);
}

void CPortPickerDlg::Assign(bool toDefault) {
  const int row = m_pComNames->currentRow();
  const int device = m_pDevices->currentRow();
  if (row < 0 || (!toDefault && (device < 0 || device >= static_cast<int>(m_found.size())))) return;
  const int index = m_portIndex[static_cast<size_t>(row)];
  const std::string name = orv::serial::PortName(index);
  const std::string path = toDefault ? std::string() : m_found[static_cast<size_t>(device)].path;
  if (!SettingsStore::WritePortPath(name, path)) {
    m_owner.Message("Could not store the port in the settings");
    return;
  }
  m_owner.SelectPort(index);
  StartScan();
  const std::string opens = m_owner.m_env.resolvePort(name);
  // Under --simulate every COM name leads to the simulated unit.
  const std::string note = toDefault || opens == path
                               ? ComLabel(index) + " opens " + opens
                               : ComLabel(index) + " opens " + opens + " in this run; " + path + " is stored for later";
  m_note = QString::fromLocal8Bit(note.c_str());
  m_pStatus->setText(m_note);
}

void CViewerDlg::OnPortPicker() {
  CPortPickerDlg picker(*this);
  m_env.modal->RunDialog(picker);
}

std::string CViewerDlg::PortToolTip() const {
  int index = 0;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    index = m_nPortIndex;
  }
  const std::string path = m_env.resolvePort(orv::serial::PortName(index));
  // A by-id link already carries the adapter's maker, model and serial
  // number; said plainly, it is the name on the cable's label.
  const std::string byId = "/serial/by-id/";
  const size_t at = path.find(byId);
  const std::string adapter = at == std::string::npos ? "" : "\n" + orv::serial::UsbNameOf(path.substr(at + byId.size()));
  return ComLabel(index) + " opens " + path + adapter;
}
