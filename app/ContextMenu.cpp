// Right-click: the "COM" popup of the program's menu. Choosing an entry
// selects that port the way the port arrows do; the check mark stands at the
// port in use. The menu's "CAPTURE" popup is never shown: its intervals are
// not the ones the program records at.
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
#ifndef Q_OS_WIN
  // Elsewhere the window manager owns the system menu, so the About box is
  // offered here, where a mouse user looks for it.
  menu.addSeparator();
  QAction* about = menu.addAction("&About Orvanta...");
  about->setData(16);
#endif

  QAction* chosen = m_env.modal->TrackPopupMenu(menu, point);
  if (!chosen) return;
  const int id = chosen->data().toInt();
  if (id == 16) {
    ShowAbout();
    return;
  }
  const int index = id - kComPopup[0].commandId;
  if (index < 0 || index >= orv::kListEntries) return;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_nPortIndex = index;
  }
  m_nPortListX = 0;
  m_nPortListY = orv::kListBand * index;
  RequestRepaint(false);
}
