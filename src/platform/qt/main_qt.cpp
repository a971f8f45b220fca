#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/command_line.h"
#include "app/serial_port_app.h"
#include "platform/qt/dialog_qt.h"
#include "platform/text.h"
#include "tarvolm_version.h"

namespace {
// Without a display Qt would fail with a platform-plugin error; say what to do instead.
bool HasDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

CommandLine Parse(int argc, char* argv[]) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(text::FromUtf8(argv[i]));
  return ParseCommandLine(arguments);
}

int Print(const CommandLineReply& reply) {
  std::fputs(text::ToUtf8(reply.text).c_str(), reply.error ? stderr : stdout);
  return reply.exitCode;
}
}  // namespace

int main(int argc, char* argv[]) {
  // --version and --help need no display.
  const CommandLine early = Parse(argc, argv);
  if (early.action == CommandLine::Action::ShowVersion || early.action == CommandLine::Action::ShowHelp) {
    return Print(*ReplyTo(early));
  }
  if (!HasDisplay()) {
    if (const auto reply = ReplyTo(early)) return Print(*reply);
    std::fprintf(stderr,
                 "tarvolm: no display found (DISPLAY is not set); start it in a desktop session, "
                 "or without one as: xvfb-run -a %s\n",
                 argv[0]);
    return 1;
  }
  QApplication application(argc, argv);
  // Qt has taken its own options (-platform, -session from a session manager) out of argv.
  const CommandLine commandLine = Parse(argc, argv);
  if (const auto reply = ReplyTo(commandLine)) return Print(*reply);
  QApplication::setApplicationVersion(QStringLiteral(TARVOLM_VERSION));
  // Wayland matches the window to tarvolm.desktop, and so to its icon, by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral("tarvolm"));
  QtToolkit toolkit;
  theApp.InitInstance(commandLine);
  return 0;
}
