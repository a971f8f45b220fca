// The read thread on the Qt event loop: the rate at which it hands chunks to a trivial
// handler from a pseudo-terminal fed as fast as it accepts, and the CPU an open port takes
// while nothing arrives.
//   QT_QPA_PLATFORM=offscreen build/bench/reader_qt [MB]
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/qt/dialog_qt.h"
#include "res/dialog_template.h"
#include "serial/serial_port.h"
#include "support/pty_pair.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts what the reader hands over, on a window's UI thread.
struct Counter {
  Counter()
      : port(PortReader::Sink{[this](std::span<const std::uint8_t> chunk) {
                                received += chunk.size();
                                ++chunks;
                              },
                              [] {}, {}}) {}
  CDialogEx window{MainDialogTemplate()};
  SerialPort port;
  std::size_t received = 0;
  std::size_t chunks = 0;
};

}  // namespace

int main(int argc, char* argv[]) {
  const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  QApplication application(argc, argv);
  QtToolkit toolkit;
  testsupport::PtyPair pty;
  Counter dialog;
  dialog.window.Create();
  const auto opened = dialog.port.Open(pty.PortName(), LineSettingTexts{115200, u"NONE", u"8", u"1"}, {},
                                       [&](std::function<void()> handler) { return dialog.window.Window()->CreateWaker(handler); });
  if (opened.opened != SerialPort::Opened::Yes) return 1;

  const double idleCpuBefore = CpuSeconds();
  QElapsedTimer idle;
  idle.start();
  {
    QEventLoop loop;
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
  }
  const double idlePercent = (CpuSeconds() - idleCpuBefore) / (double(idle.elapsed()) / 1000.0) * 100.0;

  const std::size_t total = megabytes * 1000 * 1000;
  std::vector<std::uint8_t> block(1 << 16, 'x');
  std::thread writer([&] {
    for (std::size_t sent = 0; sent < total; sent += block.size()) {
      pty.WriteAll(block.data(), std::min(block.size(), total - sent), std::chrono::seconds(60));
    }
  });
  QElapsedTimer clock;
  clock.start();
  const double cpuBefore = CpuSeconds();
  while (dialog.received < total) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const double seconds = double(clock.nsecsElapsed()) / 1e9;
  const double cpu = CpuSeconds() - cpuBefore;
  writer.join();
  dialog.port.Close();
  std::printf("idle open port: %.3f %% of one core\n", idlePercent);
  std::printf("reader -> trivial handler: %.1f MB/s, %.0f chunks/s, %.3f CPU s/MB (%zu MB)\n",
              double(total) / 1e6 / seconds, double(dialog.chunks) / seconds, cpu / (double(total) / 1e6),
              megabytes);
  return 0;
}
