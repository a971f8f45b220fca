// Time per 500-byte chunk of the receive handler on the headless window, as the receive
// text grows: the program's own cost, without any widget.
#include <cstdio>
#include <filesystem>

#include "app/serial_port_app.h"
#include "platform/codepage.h"
#include "support/headless/dialog_headless.h"
#include "receive_feed.h"

int main() {
  const auto folder = std::filesystem::temp_directory_path() / "tarvolm-bench";
  std::filesystem::create_directories(folder);
  g_strAppDir = folder.u16string();
  platform::SetACPForTesting(65001);
  HeadlessToolkit toolkit;
  std::printf("receive handler, headless window, µs per 500-byte chunk (Auto Clear off)\n");
  std::printf("%-6s %-7s %10s %10s %10s %14s\n", "mode", "filter", "10 KB", "1 MB", "20 MB", "RSS B/byte");
  for (const bool hex : {false, true}) {
    for (const bool filter : {false, true}) {
      MainWindow dlg;
      dlg.Create();
      const auto r = bench::FeedReceive(dlg, hex, filter, [&] { toolkit.ProcessPosted(); });
      std::printf("%-6s %-7s %10.2f %10.2f %10.2f %14.2f\n", hex ? "hex" : "text", filter ? "on" : "off",
                  r.microsPerChunk[0], r.microsPerChunk[1], r.microsPerChunk[2], r.residentBytesPerByte);
    }
  }
  std::filesystem::remove_all(folder);
  return 0;
}
