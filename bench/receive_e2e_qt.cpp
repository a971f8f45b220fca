// End to end, as a user feels it: a pseudo-terminal fed as fast as it accepts, into the real
// window (run it under Xvfb so the window is really shown and painted), Auto Clear off,
// filter on, until the RX counter has every byte. Prints MB/s, CPU seconds per MB, the worst
// lateness of a 5 ms UI timer during the flood and how long a Pause takes to stop the flow.
// With "stamps" it runs the text flood a second time with Time stamp, Show sent (an auto send
// every 10 ms) and a text log on.
//   xvfb-run -a build/bench/receive_e2e_qt [MB of text] [MB of hex and of hex dump] [stamps]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <sys/resource.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

#include "app/serial_port_app.h"
#include "app/main_window.h"
#include "platform/app_dir.h"
#include "platform/profile.h"
#include "platform/codepage.h"
#include "platform/qt/dialog_qt.h"
#include "receive_feed.h"
#include "res/resource.h"
#include "support/pty_pair.h"

namespace {

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Run {
  double residentBytesPerByte;
  double megabytesPerSecond;
  double cpuSecondsPerMegabyte;
  double worstStallMs;
  double pauseMs;
};

enum class Mode { Text, Hex, Dump };

Run Flood(MainWindow& dlg, testsupport::PtyPair& pty, Mode mode, std::size_t bytes) {
  dlg.SendNotify(BN_CLICKED, IDC_COUNT_CLEAR);
  dlg.CheckDlgButton(IDC_RX_HEX, mode == Mode::Hex ? BST_CHECKED : BST_UNCHECKED);
  dlg.SendNotify(BN_CLICKED, IDC_RX_HEX);
  dlg.CheckDlgButton(IDC_RX_HEXDUMP, mode == Mode::Dump ? BST_CHECKED : BST_UNCHECKED);
  dlg.SendNotify(BN_CLICKED, IDC_RX_HEXDUMP);
  dlg.SendNotify(BN_CLICKED, IDC_RX_CLEAR);
  QApplication::processEvents();

  const auto traffic = bench::SampleTraffic(1 << 20);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    std::size_t sent = 0;
    while (sent < bytes && !stop) {
      const std::size_t n = std::min<std::size_t>(traffic.size(), bytes - sent);
      pty.WriteAll(traffic.data(), n, std::chrono::seconds(60));
      sent += n;
    }
  });

  double worstStall = 0;
  QElapsedTimer sinceTick;
  sinceTick.start();
  QTimer ticker;
  ticker.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    worstStall = std::max(worstStall, double(sinceTick.nsecsElapsed()) / 1e6 - 5.0);
    sinceTick.restart();
  });
  ticker.start(5);

  QElapsedTimer clock;
  clock.start();
  const long residentBefore = bench::ResidentKilobytes();
  const double cpuBefore = CpuSeconds();
  // The UI timer wakes the loop often enough to see the end.
  while (std::uint64_t(dlg.GetReceiver().RxCount()) < bytes) QApplication::processEvents(QEventLoop::WaitForMoreEvents);
  const double seconds = double(clock.nsecsElapsed()) / 1e9;
  const double cpu = CpuSeconds() - cpuBefore;
  ticker.stop();
  writer.join();
  // Let the box show everything before its memory is counted.
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 3000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  const double resident = double(bench::ResidentKilobytes() - residentBefore) * 1024.0 / double(bytes);

  // Pause during a second flood: how long until chunks stop arriving.
  std::thread second([&] { pty.WriteAll(traffic.data(), traffic.size(), std::chrono::seconds(5)); });
  while (dlg.GetReceiver().RxCount() < std::int64_t(bytes) + 100000) QApplication::processEvents(QEventLoop::AllEvents, 5);
  QElapsedTimer pause;
  pause.start();
  dlg.SendNotify(BN_CLICKED, IDC_RX_PAUSE);
  std::int64_t last = dlg.GetReceiver().RxCount();
  double lastChange = 0;
  while (pause.elapsed() < 500) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (dlg.GetReceiver().RxCount() != last) {
      last = dlg.GetReceiver().RxCount();
      lastChange = double(pause.nsecsElapsed()) / 1e6;
    }
  }
  dlg.SendNotify(BN_CLICKED, IDC_RX_PAUSE);
  while (dlg.GetReceiver().RxCount() < std::int64_t(bytes + traffic.size())) QApplication::processEvents(QEventLoop::AllEvents, 5);
  second.join();
  const double mb = double(bytes) / 1e6;
  return {resident, mb / seconds, cpu / mb, worstStall, lastChange};
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::size_t textMb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  const std::size_t hexMb = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 30;
  QApplication application(argc, argv);
  const auto folder = std::filesystem::temp_directory_path() / "tarvolm-e2e";
  std::filesystem::create_directories(folder);
  g_strAppDir = folder.u16string();
  platform::SetACPForTesting(65001);
  QtToolkit toolkit;
  testsupport::PtyPair pty;
  MainWindow dlg;
  dlg.Create();
  for (QWidget* w : QApplication::topLevelWidgets()) w->show();
  dlg.SetDlgItemText(IDC_PORT, pty.PortName());
  dlg.CheckDlgButton(IDC_RX_AUTOCLEAR, BST_UNCHECKED);
  // The filter box takes its conditions from the settings file, as a user's click does.
  platform::WritePrivateProfileString(u"Setting", u"Filter", u"OK,ERR", platform::SettingsFilePath(g_strAppDir, u"Sorvane.ini"));
  dlg.CheckDlgButton(IDC_RX_FILTER, BST_CHECKED);
  dlg.SendNotify(BN_CLICKED, IDC_RX_FILTER);
  dlg.SetDlgItemText(IDC_PORT, pty.PortName());
  dlg.SendNotify(BN_CLICKED, IDC_OPEN);
  if (!dlg.GetConnection().IsOpen()) {
    std::fprintf(stderr, "cannot open %s\n", pty.SlavePath().c_str());
    return 1;
  }
  std::printf("pty -> real window, Auto Clear off, filter on (platform %s)\n",
              qPrintable(QGuiApplication::platformName()));
  std::printf("%-5s %6s %8s %10s %16s %10s %12s\n", "mode", "MB", "MB/s", "CPU s/MB", "worst stall ms", "pause ms",
              "RSS B/byte");
  const auto print = [](const char* mode, std::size_t mb, const Run& r) {
    std::printf("%-5s %6zu %8.2f %10.4f %16.1f %10.1f %12.2f\n", mode, mb, r.megabytesPerSecond,
                r.cpuSecondsPerMegabyte, r.worstStallMs, r.pauseMs, r.residentBytesPerByte);
    std::fflush(stdout);
  };
  for (const Mode mode : {Mode::Text, Mode::Hex, Mode::Dump}) {
    const std::size_t mb = mode == Mode::Text ? textMb : hexMb;
    print(mode == Mode::Text ? "text" : mode == Mode::Hex ? "hex" : "dump", mb, Flood(dlg, pty, mode, mb * 1000 * 1000));
  }
  if (argc > 3 && std::string_view(argv[3]) == "stamps") {
    dlg.CheckDlgButton(IDC_RX_TIMESTAMP, BST_CHECKED);
    dlg.CheckDlgButton(IDC_SHOW_SENT, BST_CHECKED);
    dlg.SetDlgItemText(IDC_TX_EDIT, u"ping");
    dlg.SetDlgItemText(IDC_TX_INTERVAL, u"10");
    dlg.CheckDlgButton(IDC_TX_AUTOSEND, BST_CHECKED);
    dlg.SendNotify(BN_CLICKED, IDC_TX_AUTOSEND);
    dlg.GetReceiver().StartLogAt((folder / "e2e.log").u16string(), true);
    print("stamp", textMb, Flood(dlg, pty, Mode::Text, textMb * 1000 * 1000));
    dlg.CheckDlgButton(IDC_TX_AUTOSEND, BST_UNCHECKED);
    dlg.SendNotify(BN_CLICKED, IDC_TX_AUTOSEND);
    dlg.SendNotify(BN_CLICKED, IDC_LOG);
    std::printf("text log: %ju bytes\n", std::uintmax_t(std::filesystem::file_size(folder / "e2e.log")));
  }
  dlg.SendNotify(BN_CLICKED, IDC_OPEN);
  std::filesystem::remove_all(folder);
  return 0;
}
