// DISPLAY and the six arrows, and what the paint handler makes of the cells.
#include <QBackingStore>
#include <QImage>
#include <QPaintEvent>
#include <QTest>
#include <functional>
#include <thread>
#include <gtest/gtest.h>

#include "WindowFixture.h"
#include "flash/WindowFlash.h"
#include "res/Resources.h"

namespace {

TEST(DisplayButton, CyclesTheFourTypes) {
  WindowFixture w;
  const char* expected[] = {" IIXDR9-15", " SONAR", " GPS", " IIXDR0-8"};
  for (const char* name : expected) {
    w.dlg->OnDisplay();
    EXPECT_EQ(w.dlg->m_strCaptionState, name);
    EXPECT_EQ(w.dlg->windowTitle().toStdString(), std::string("::") + name);
    for (int cell : w.dlg->m_model.m_nGlyphOffset) ASSERT_EQ(cell, 0) << name;
  }
  EXPECT_EQ(w.dlg->m_model.m_nDisplayType, 0);
}

// Each arrow, clicked, steps its index, bounded at 7 going up and at 0 going
// down (an index above 7 steps down one at a time); the rate or interval
// follows from the table, and is kept for an index off it.
TEST(ArrowButtons, StepBoundAndDerive) {
  using Field = int CViewerDlg::*;
  using Button = CBitmapButton CViewerDlg::*;
  const struct Arrows {
    Button up, down;
    Field index, derived, listY;
  } baud{&CViewerDlg::m_btnBaudUp, &CViewerDlg::m_btnBaudDown, &CViewerDlg::m_nBaudIndex, &CViewerDlg::m_nBaudRate,
         &CViewerDlg::m_nBaudListY},
      interval{&CViewerDlg::m_btnIntervalUp, &CViewerDlg::m_btnIntervalDown, &CViewerDlg::m_nIntervalIndex,
               &CViewerDlg::m_nCaptureSeconds, &CViewerDlg::m_nIntervalListY},
      // The port has nothing derived: its index stands in.
      port{&CViewerDlg::m_btnPortUp, &CViewerDlg::m_btnPortDown, &CViewerDlg::m_nPortIndex, &CViewerDlg::m_nPortIndex,
           &CViewerDlg::m_nPortListY};
  const struct {
    const char* legend;
    const Arrows& arrows;
    bool up;
    int start, expectedIndex, expectedDerived;
  } rows[] = {
      {"BDOWN at 0 stays at 0", baud, false, 0, 0, 2400},
      {"BUP from 4", baud, true, 4, 5, 57600},
      {"BDOWN from 9 gives 8, rate kept", baud, false, 9, 8, 1234},
      {"BUP from 9 gives 7", baud, true, 9, 7, 230400},
      {"IUP from 4 gives 1 MIN", interval, true, 4, 5, 60},
      {"IDOWN from 9 gives 8, seconds kept", interval, false, 9, 8, 1234},
      {"UP at 7", port, true, 7, 7, 7},
      {"DOWN from 11", port, false, 11, 10, 10},
  };
  for (const auto& row : rows) {
    WindowFixture w(false);
    CViewerDlg& d = *w.dlg;
    d.*row.arrows.derived = 1234;
    d.*row.arrows.index = row.start;
    (d.*(row.up ? row.arrows.up : row.arrows.down)).click();
    EXPECT_EQ(d.*row.arrows.index, row.expectedIndex) << row.legend;
    EXPECT_EQ(d.*row.arrows.derived, row.expectedDerived) << row.legend;
    EXPECT_EQ(d.*row.arrows.listY, 25 * row.expectedIndex) << row.legend;
  }
}

// Every one of the 99 cells, pixel for pixel, is the glyph its offset names.
TEST(Paint, EveryCellShowsItsGlyph) {
  WindowFixture w;
  // Every glyph of the font somewhere.
  for (int i = 0; i < orv::kCells; ++i) w.dlg->m_model.m_nGlyphOffset[i] = (i % orv::kGlyphCount) * orv::kGlyphWidth;
  w.dlg->RequestRepaint(false);
  const QImage shot = w.dlg->grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QImage font = res::Load(res::kFont).toImage().convertToFormat(QImage::Format_RGB32);
  for (int r = 0; r < orv::kRows; ++r) {
    for (int c = 0; c < orv::kCols; ++c) {
      const int offset = w.dlg->m_model.m_nGlyphOffset[orv::kCols * r + c];
      const QImage expected = font.copy(offset, 0, orv::kGlyphWidth, orv::kGlyphHeight);
      const QImage actual = shot.copy(10 + 20 * c, 5 + 30 * r, orv::kGlyphWidth, orv::kGlyphHeight);
      EXPECT_TRUE(expected == actual) << "row " << r << " column " << c << " offset " << offset;
    }
  }
}

// What the window's paint events covered, by widget.
struct PaintLog : QObject {
  std::vector<std::pair<QObject*, QRegion>> paints;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) paints.emplace_back(watched, static_cast<QPaintEvent*>(event)->region());
    return false;
  }
};

// A block's repaint request as the receive thread makes it, and what the
// window thread then does with it.
void FromReceiveThread(CViewerDlg& dlg) {
  std::thread([&dlg] { dlg.RequestRepaint(false, true); }).join();
  QCoreApplication::processEvents();
}

// A repaint for data paints the changed cells or list window and nothing
// else, and leaves on the screen the picture a full paint draws.
TEST(Paint, DataRepaintDrawsOnlyWhatChanged) {
  const int other = 21 * orv::kGlyphWidth;  // "H", in no cell after start-up
  struct Case {
    const char* legend;
    std::function<void(CViewerDlg&)> change;
    QRegion painted;  // the window's own paint; the arrows over a list window repaint with it
  } cases[] = {
      {"no cell changed", [](CViewerDlg& d) { d.RequestRepaint(false); }, QRegion()},
      {"one cell",
       [&](CViewerDlg& d) {
         d.m_model.m_nGlyphOffset[40] = other;
         d.RequestRepaint(false);
       },
       QRect(10 + 20 * 7, 5 + 30 * 3, 20, 25)},
      {"two cells of a row",
       [&](CViewerDlg& d) {
         d.m_model.m_nGlyphOffset[9] = d.m_model.m_nGlyphOffset[10] = other;
         d.RequestRepaint(false);
       },
       QRect(190, 5, 40, 25)},
      {"BUP steps the baud list", [](CViewerDlg& d) { d.OnBaudUp(); }, QRect(175, 292, 75, 25)},
      {"flash progress 1200 to 1210", [](CViewerDlg& d) { WindowFlashHost(d).Progress("1210"); },
       QRect(10 + 20 * 8, 5, 20, 25)},
      {"receive thread, no cell changed", [](CViewerDlg& d) { FromReceiveThread(d); }, QRegion()},
      {"receive thread, one cell",
       [&](CViewerDlg& d) {
         d.m_model.m_nGlyphOffset[98] = other;
         FromReceiveThread(d);
       },
       QRect(210, 245, 20, 25)},
  };
  for (const Case& c : cases) {
    WindowFixture w;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.dlg.get()));
    WindowFlashHost(*w.dlg).Progress("1200");
    w.dlg->RequestRepaint(true);
    PaintLog log;
    w.dlg->installEventFilter(&log);
    for (QObject* child : w.dlg->children()) child->installEventFilter(&log);
    c.change(*w.dlg);
    QRegion painted;
    for (const auto& [widget, region] : log.paints) {
      if (widget == w.dlg.get()) {
        painted += region;
      } else {
        const QRect button(static_cast<QWidget*>(widget)->geometry());
        EXPECT_TRUE(c.painted.intersects(button)) << c.legend << ": a button away from the change was painted";
      }
    }
    EXPECT_EQ(painted, c.painted) << c.legend;
    const auto* screen = static_cast<const QImage*>(w.dlg->backingStore()->paintDevice());
    EXPECT_TRUE(screen->convertToFormat(QImage::Format_RGB32) ==
                w.dlg->grab().toImage().convertToFormat(QImage::Format_RGB32))
        << c.legend << ": the screen differs from a full paint";
  }
}

}  // namespace
