// Time per data-only and per full repaint of the main window, offscreen,
// painting into a surface the size of the window. Prints figures.
#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPixmap>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdio>

#include "ScriptedModal.h"
#include "TempSettings.h"
#include "app/ViewerDlg.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TempSettings settings;
  ScriptedModal modal;
  ViewerEnvironment env;
  env.modal = &modal;
  CViewerDlg dlg(env);
  dlg.OnInitDialog();
  for (int i = 0; i < orv::kCells; ++i) dlg.m_model.m_nGlyphOffset[i] = (i % orv::kGlyphCount) * orv::kGlyphWidth;

  QPixmap surface(dlg.size());
  constexpr int kRounds = 2000;
  for (bool full : {false, true}) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRounds; ++i) {
      dlg.m_bFullRedraw = full;
      QPainter painter(&surface);
      dlg.OnPaint(painter);
    }
    std::printf("%-9s repaint: %.1f us\n", full ? "full" : "data-only",
                static_cast<double>(timer.nsecsElapsed()) / 1000.0 / kRounds);
  }
  dlg.done(0);
  return 0;
}
