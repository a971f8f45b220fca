// Time per 500-byte chunk of the receive handler with the real Qt window (offscreen unless a
// display is given), as the receive text grows; the box's refreshes are included.
#include <QApplication>
#include <cstdio>
#include <filesystem>

#include "app/serial_port_app.h"
#include "platform/codepage.h"
#include "platform/qt/dialog_qt.h"
#include "receive_feed.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  const auto folder = std::filesystem::temp_directory_path() / "tarvolm-bench-qt";
  std::filesystem::create_directories(folder);
  g_strAppDir = folder.u16string();
  platform::SetACPForTesting(65001);
  QtToolkit toolkit;
  std::printf("receive handler, Qt window (%s), µs per 500-byte chunk (Auto Clear off)\n",
              qPrintable(QGuiApplication::platformName()));
  std::printf("%-6s %-7s %10s %10s %10s %14s\n", "mode", "filter", "10 KB", "1 MB", "20 MB", "RSS B/byte");
  for (const bool hex : {false, true}) {
    for (const bool filter : {false, true}) {
      MainWindow dlg;
      dlg.Create();
      const auto r = bench::FeedReceive(dlg, hex, filter, [] {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
      });
      std::printf("%-6s %-7s %10.2f %10.2f %10.2f %14.2f\n", hex ? "hex" : "text", filter ? "on" : "off",
                  r.microsPerChunk[0], r.microsPerChunk[1], r.microsPerChunk[2], r.residentBytesPerByte);
    }
  }
  std::filesystem::remove_all(folder);
  return 0;
}
