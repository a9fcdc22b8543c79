#include "Screen.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <cstdlib>

#ifdef ORV_BENCH_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace bench {

void ChoosePlatform() {
  if (std::getenv("QT_QPA_PLATFORM")) return;
  const char* display = std::getenv("DISPLAY");
  qputenv("QT_QPA_PLATFORM", display && *display ? "xcb" : "offscreen");
}

std::string PlatformName() { return QGuiApplication::platformName().toStdString(); }

bool WaitForScreen() {
#ifdef ORV_BENCH_XCB
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return false;
  xcb_connection_t* c = x11->connection();
  // The server answers requests in order: once this reply is in, every
  // drawing request sent before it has been carried out.
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  return true;
#else
  return false;
#endif
}

void RunFor(double seconds) {
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace bench
