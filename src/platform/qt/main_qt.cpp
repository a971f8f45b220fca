#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/serial_port_app.h"
#include "platform/qt/dialog_qt.h"

namespace {
// Without a display Qt would fail with a platform-plugin error; say what to do instead.
bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}
}  // namespace

int main(int argc, char* argv[]) {
  if (!HasDisplay()) {
    std::fprintf(stderr,
                 "tarvolm: no display found (DISPLAY is not set); start it in a desktop session, "
                 "or without one as: xvfb-run -a %s\n",
                 argv[0]);
    return 1;
  }
  QApplication application(argc, argv);
  QtToolkit toolkit;
  theApp.InitInstance();
  return 0;
}
