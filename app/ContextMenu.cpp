// Right-click: the "COM" popup of the program's menu. Choosing an entry
// selects that port the way the port arrows do; the check mark stands at the
// port in use. The menu's "CAPTURE" popup is never shown: its intervals are
// not the ones the program records at. Below the ports: the port picker, the
// raw monitor and the raw log, which start or stop from here.
#include <QAction>
#include <QMenu>

#include "app/SettingsRules.h"
#include "app/ViewerDlg.h"

namespace {

struct MenuEntry {
  const char* text;
  int commandId;
};

// Menu 149, popup "COM".
const MenuEntry kComPopup[] = {
    {"COM 1", 32771}, {"COM 2", 32772}, {"COM 3", 32773}, {"COM 4", 32774},
    {"COM 5", 32775}, {"COM 6", 32776}, {"COM 7", 32777}, {"COM 8", 32778},
};

constexpr int kIdPortPicker = 32790;
constexpr int kIdRawMonitor = 32791;
constexpr int kIdRawLog = 32792;
constexpr int kIdAbout = 16;

}  // namespace

void CViewerDlg::OnContextMenu(QWidget*, QPoint point) {
  QMenu menu(this);
  menu.setObjectName("COM");
  int portIndex = 0;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    portIndex = m_nPortIndex;
  }
  for (int i = 0; i < orv::kListEntries; ++i) {
    QAction* action = menu.addAction(QString::fromLatin1(kComPopup[i].text));
    action->setData(kComPopup[i].commandId);
    action->setCheckable(true);
    action->setChecked(i == portIndex);
  }
  menu.addSeparator();
  menu.addAction("Serial Ports...")->setData(kIdPortPicker);
  menu.addAction("Raw Monitor...")->setData(kIdRawMonitor);
  menu.addAction(m_rawLog.IsOpen() ? "Stop Raw Log" : "Raw Log...")->setData(kIdRawLog);
#ifndef Q_OS_WIN
  // Elsewhere the window manager owns the system menu, so the About box is
  // offered here, where a mouse user looks for it.
  menu.addSeparator();
  menu.addAction("&About Orvanta...")->setData(kIdAbout);
#endif

  QAction* chosen = m_env.modal->TrackPopupMenu(menu, point);
  if (!chosen) return;
  switch (const int id = chosen->data().toInt()) {
    case kIdAbout:
      ShowAbout();
      return;
    case kIdPortPicker:
      OnPortPicker();
      return;
    case kIdRawMonitor:
      OnRawMonitor();
      return;
    case kIdRawLog:
      OnRawLog();
      return;
    default:
      if (id >= kComPopup[0].commandId && id < kComPopup[0].commandId + orv::kListEntries) {
        SelectPort(id - kComPopup[0].commandId);
      }
  }
}

void CViewerDlg::SelectPort(int index) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_nPortIndex = index;
  }
  m_nPortListX = 0;
  m_nPortListY = orv::kListBand * index;
  RequestRepaint(false);
}
