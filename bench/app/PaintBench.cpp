// The cost of one repaint as the program pays it: the window shown (xcb
// when a display is there, offscreen otherwise), the repaint request made
// on the window thread, Qt's painting and its flush, and under X the wait
// until the X server has carried the drawing out. Wall time and CPU per
// repaint, of this process and of the X server. Prints figures; gates nothing.
#include <QApplication>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "ProcessCpu.h"
#include "Screen.h"
#include "TempSettings.h"
#include "app/Modal.h"
#include "app/ViewerDlg.h"

namespace {

using Clock = std::chrono::steady_clock;

// A glyph that differs from `offset`, for cells that must change.
int Other(int offset) { return offset == 20 ? 40 : 20; }

struct Case {
  const char* legend;
  bool fullRedraw;
  // Changes the cells under the window's lock before each request.
  std::function<void(int* cells)> change;
};

}  // namespace

int main(int argc, char** argv) {
  bench::ChoosePlatform();
  QApplication app(argc, argv);
  TempSettings settings;
  GuiModal modal;
  ViewerEnvironment env;
  env.modal = &modal;
  CViewerDlg dlg(env);
  dlg.OnInitDialog();
  dlg.show();
  bench::RunFor(0.3);
  const pid_t xServer = bench::XServerPid();
  const bool onX = bench::WaitForScreen();

  const Case cases[] = {
      {"data-only, no cell changed", false, [](int*) {}},
      {"data-only, one cell", false, [](int* cells) { cells[40] = Other(cells[40]); }},
      {"data-only, one value (4 cells)", false,
       [](int* cells) {
         for (int c = 7; c < 11; ++c) cells[2 * orv::kCols + c] = Other(cells[2 * orv::kCols + c]);
       }},
      {"data-only, two values (rows 2, 6)", false,
       [](int* cells) {
         for (int row : {2, 6}) {
           for (int c = 7; c < 11; ++c) cells[row * orv::kCols + c] = Other(cells[row * orv::kCols + c]);
         }
       }},
      {"data-only, all 99 cells", false,
       [](int* cells) {
         for (int i = 0; i < orv::kCells; ++i) cells[i] = Other(cells[i]);
       }},
      {"full redraw", true, [](int*) {}},
  };
  // Batches of repaints, the cases taking turns, and the median batch of
  // each: a busy machine spoils some batches, not the figure.
  constexpr int kBatches = 15;
  constexpr int kRounds = 100;
  struct Figures {
    std::vector<double> wall, cpu, x;
  };
  std::vector<Figures> figures(std::size(cases));
  for (int b = 0; b < kBatches; ++b) {
    for (size_t k = 0; k < std::size(cases); ++k) {
      const Case& c = cases[k];
      const double cpu0 = bench::CpuSeconds(getpid());
      const double x0 = xServer > 0 ? bench::CpuSeconds(xServer) : 0;
      const auto t0 = Clock::now();
      for (int i = 0; i < kRounds; ++i) {
        {
          std::lock_guard<std::mutex> lock(dlg.m_lock);
          c.change(dlg.m_model.m_nGlyphOffset);
        }
        dlg.RequestRepaint(c.fullRedraw);
        bench::WaitForScreen();
      }
      figures[k].wall.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / kRounds);
      figures[k].cpu.push_back((bench::CpuSeconds(getpid()) - cpu0) * 1e6 / kRounds);
      if (xServer > 0) figures[k].x.push_back((bench::CpuSeconds(xServer) - x0) * 1e6 / kRounds);
    }
  }
  std::printf("one repaint, %s, %s; median of %d batches of %d:\n", bench::PlatformName().c_str(),
              onX ? "until the X server has carried it out" : "until flushed", kBatches, kRounds);
  for (size_t k = 0; k < std::size(cases); ++k) {
    std::printf("  %-34s %7.1f us wall, %7.1f us CPU", cases[k].legend, bench::Median(figures[k].wall),
                bench::Median(figures[k].cpu));
    if (xServer > 0) std::printf(", X server %6.1f us CPU", bench::Median(figures[k].x));
    std::printf("\n");
  }
  dlg.done(0);
  return 0;
}
