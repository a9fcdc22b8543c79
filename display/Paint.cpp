// Drawing the unit's screen: three list windows, the background when the
// whole picture is asked for, and the 99 glyph cells copied from the font
// strip. Everything is copied from pictures prepared at start-up; nothing is
// loaded, scaled or rendered as text here.
//
// A repaint for data draws only what differs from what the screen shows:
// the cells whose glyph changed and the list windows whose entry changed,
// nothing at all when a block changed nothing. The window keeps what each
// cell and list window last showed for that; the picture itself is the
// same as a full paint gives.
#include <QBackingStore>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QThread>
#include <algorithm>

#include "app/Geometry.h"
#include "app/ViewerDlg.h"

namespace {

using namespace geometry;

QRect CellRect(int index) {
  return QRect(kCellX0 + orv::kGlyphWidth * (index % orv::kCols), kCellY0 + kRowPitch * (index / orv::kCols),
               orv::kGlyphWidth, orv::kGlyphHeight);
}

struct ListWindow {
  int x;
  const QPixmap CViewerDlg::*picture;
  int CViewerDlg::*sourceX;
  int CViewerDlg::*sourceY;
};

const ListWindow kListWindows[] = {
    {kPortListX, &CViewerDlg::m_dcPortList, &CViewerDlg::m_nPortListX, &CViewerDlg::m_nPortListY},
    {kIntervalListX, &CViewerDlg::m_dcIntervalList, &CViewerDlg::m_nIntervalListX, &CViewerDlg::m_nIntervalListY},
    {kBaudListX, &CViewerDlg::m_dcBaudList, &CViewerDlg::m_nBaudListX, &CViewerDlg::m_nBaudListY},
};
static_assert(std::size(kListWindows) == std::tuple_size<decltype(CViewerDlg::m_ptShownList)>::value);

QRect ListRect(const ListWindow& list) { return QRect(list.x, kListY, kListWidth, kListHeight); }

// A cell the paint did not touch.
constexpr int kUnchanged = -2;

constexpr int kMostRectangles = 3;

// Where the cells and the list windows are: what a data-only paint draws.
const QRegion& DataRegion() {
  static const QRegion region = [] {
    QRegion r;
    for (int row = 0; row < orv::kRows; ++row) {
      r += QRect(kCellX0, kCellY0 + kRowPitch * row, orv::kGlyphWidth * orv::kCols, orv::kGlyphHeight);
    }
    for (const ListWindow& list : kListWindows) r += ListRect(list);
    return r;
  }();
  return region;
}

// Whether `region` covers all of `rect`. A rectangle split across several
// of the region's rectangles counts as not covered, which only costs a
// redraw that was not needed.
bool Covers(const QRegion& region, const QRect& rect) {
  for (const QRect& r : region) {
    if (r.contains(rect)) return true;
  }
  return false;
}

// A copy from outside a picture gives black, as a copy from beyond a
// bitmap's edge does on the unit's original platform.
void CopyListWindow(QPainter& painter, const QRect& target, const QPixmap& list, int sx, int sy) {
  const QRect source(sx, sy, kListWidth, kListHeight);
  if (!list.rect().contains(source)) painter.fillRect(target, Qt::black);
  painter.drawPixmap(target, list, source);
}

}  // namespace

void CViewerDlg::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  OnPaint(painter, event->region());
}

void CViewerDlg::OnPaint(QPainter& painter, const QRegion& region) {
  int cells[orv::kCells];
  bool fullRedraw = false;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    std::copy(std::begin(m_model.m_nGlyphOffset), std::end(m_model.m_nGlyphOffset), cells);
    fullRedraw = m_bFullRedraw;
  }
  // Only a paint into the window's own backing store reaches the screen; a
  // grab into a picture leaves what the screen shows as it was.
  QBackingStore* store = backingStore();
  const bool toScreen = store && painter.paintEngine() && painter.paintEngine()->paintDevice() == store->paintDevice();

  // Without the flag the background under the cells and list windows stays
  // as it is; any other part of the region (the window system asked for it)
  // is drawn whole all the same.
  // Each rectangle is a plain copy: no clip, which would send a large copy
  // through the painter's slower, multi-threaded path.
  const QRegion ground = fullRedraw ? region : region.subtracted(DataRegion());
  const QRect picture(QPoint(0, 0), m_sizeBackground);
  for (const QRect& r : ground.intersected(picture)) painter.drawPixmap(r, m_dcBackground, r);
  // The platform's erase of the dialog background, black, where no
  // picture covers the window.
  for (const QRect& r : ground.subtracted(picture)) painter.fillRect(r, Qt::black);

  for (size_t i = 0; i < std::size(kListWindows); ++i) {
    const ListWindow& list = kListWindows[i];
    const QRect target = ListRect(list);
    if (!region.intersects(target)) continue;
    const QPoint source(this->*list.sourceX, this->*list.sourceY);
    CopyListWindow(painter, target, this->*list.picture, source.x(), source.y());
    if (toScreen) m_ptShownList[i] = Covers(region, target) ? source : kUnknownList;
  }

  int shown[orv::kCells];
  bool anyCell = false;
  for (int i = 0; i < orv::kCells; ++i) {
    const QRect target = CellRect(i);
    shown[i] = kUnchanged;
    if (!region.intersects(target)) continue;
    painter.drawPixmap(target.topLeft(), m_dcFont, QRect(cells[i], 0, orv::kGlyphWidth, orv::kGlyphHeight));
    shown[i] = Covers(region, target) ? cells[i] : kUnknownGlyph;
    anyCell = true;
  }

  std::lock_guard<std::mutex> lock(m_lock);
  m_bFullRedraw = true;
  if (toScreen && anyCell) {
    for (int i = 0; i < orv::kCells; ++i) {
      if (shown[i] != kUnchanged) m_nShownGlyph[i] = shown[i];
    }
  }
}

QRegion CViewerDlg::ChangedRegion(uint64_t& blocksDecoded) const {
  QRegion changed;
  std::lock_guard<std::mutex> lock(m_lock);
  blocksDecoded = m_nBlocksDecoded;
  for (int i = 0; i < orv::kCells; ++i) {
    if (m_model.m_nGlyphOffset[i] != m_nShownGlyph[i]) changed += CellRect(i);
  }
  for (size_t i = 0; i < std::size(kListWindows); ++i) {
    const ListWindow& list = kListWindows[i];
    if (QPoint(this->*list.sourceX, this->*list.sourceY) != m_ptShownList[i]) changed += ListRect(list);
  }
  return changed;
}

bool CViewerDlg::NothingToShow(bool setCaption) const {
  if (setCaption && m_strCaptionStatus + m_strCaptionState != m_strCaptionShown) return false;
  return std::equal(std::begin(m_model.m_nGlyphOffset), std::end(m_model.m_nGlyphOffset), m_nShownGlyph);
}

void CViewerDlg::RequestRepaint(bool fullRedraw, bool setCaption) {
  const bool windowThread = QThread::currentThread() == thread();
  {
    std::lock_guard<std::mutex> lock(m_lock);
    // Most blocks change no cell; from the receive thread such a block
    // costs the window thread nothing at all. (The list windows change
    // only on the window thread.)
    if (!fullRedraw && !windowThread && NothingToShow(setCaption)) return;
    m_bFullRedraw = fullRedraw;
  }
  // The receive thread never touches the widget: the window thread works
  // out what changed and paints it.
  OnWindowThread([this, fullRedraw, setCaption] {
    if (setCaption) SetCaption();
    uint64_t decoded = 0;
    QRegion region = ChangedRegion(decoded);
    // Each rectangle costs the flush a request of its own; past a few the
    // one rectangle around them all is cheaper.
    if (region.rectCount() > kMostRectangles) region = region.boundingRect();
    if (fullRedraw) region = rect();
    if (region.isEmpty()) {
      // Nothing to draw: as far as the flag goes, the paint is done.
      std::lock_guard<std::mutex> lock(m_lock);
      m_bFullRedraw = true;
    } else {
      repaint(region);
    }
    m_nBlocksShown = decoded;
  });
}
