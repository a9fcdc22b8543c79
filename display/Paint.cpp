// Drawing the unit's screen: three list windows, the background when the
// whole picture is asked for, and the 99 glyph cells copied from the font
// strip. Everything is copied from pictures prepared at start-up; nothing is
// loaded, scaled or rendered as text here.
#include <QPainter>

#include "app/Geometry.h"
#include "app/ViewerDlg.h"

namespace {

// A copy from outside a picture gives black, as a copy from beyond a
// bitmap's edge does on the unit's original platform.
void CopyListWindow(QPainter& painter, int x, const QPixmap& list, int sx, int sy) {
  using namespace geometry;
  const QRect target(x, kListY, kListWidth, kListHeight);
  const QRect source(sx, sy, kListWidth, kListHeight);
  if (!list.rect().contains(source)) painter.fillRect(target, Qt::black);
  painter.drawPixmap(target, list, source);
}

}  // namespace

void CViewerDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  OnPaint(painter);
}

void CViewerDlg::OnPaint(QPainter& painter) {
  using namespace geometry;
  int cells[orv::kCells];
  bool fullRedraw = false;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    std::copy(std::begin(m_model.m_nGlyphOffset), std::end(m_model.m_nGlyphOffset), cells);
    fullRedraw = m_bFullRedraw;
  }

  if (fullRedraw) {
    // The platform's erase of the dialog background, black, where no
    // picture covers the window.
    painter.fillRect(QRect(m_sizeBackground.width(), 0, width() - m_sizeBackground.width(), height()), Qt::black);
    painter.fillRect(QRect(0, m_sizeBackground.height(), m_sizeBackground.width(), height()), Qt::black);
  }

  CopyListWindow(painter, kPortListX, m_dcPortList, m_nPortListX, m_nPortListY);
  CopyListWindow(painter, kIntervalListX, m_dcIntervalList, m_nIntervalListX, m_nIntervalListY);
  CopyListWindow(painter, kBaudListX, m_dcBaudList, m_nBaudListX, m_nBaudListY);

  if (fullRedraw) {
    painter.drawPixmap(0, 0, m_dcBackground, 0, 0, m_sizeBackground.width(), m_sizeBackground.height());
  }

  for (int r = 0; r < orv::kRows; ++r) {
    for (int c = 0; c < orv::kCols; ++c) {
      painter.drawPixmap(kCellX0 + orv::kGlyphWidth * c, kCellY0 + kRowPitch * r, m_dcFont,
                         cells[orv::kCols * r + c], 0, orv::kGlyphWidth, orv::kGlyphHeight);
    }
  }

  std::lock_guard<std::mutex> lock(m_lock);
  m_bFullRedraw = true;
}

void CViewerDlg::RequestRepaint(bool fullRedraw, bool setCaption) {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_bFullRedraw = fullRedraw;
  }
  // The receive thread never touches the widget: the window thread paints.
  OnWindowThread([this, setCaption] {
    if (setCaption) SetCaption();
    repaint();
  });
}
