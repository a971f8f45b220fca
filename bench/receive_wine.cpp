// The Windows program's receive rate under Wine: bytes written into the far end of COM5
// (a pseudo-terminal) until the RX counter of the real tarvolm.exe shows them all.
// Wine's serial emulation and its edit control are in the path, so the figure is a floor
// for the program on Windows, not a measure of it.
//
//   receive_wine [MB text] [MB hex]      (TARVOLM_WIN_EXE, TARVOLM_WINDOW_DRIVER as for wine_tests)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/text.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "wine/window_driver_client.h"
#include "wine/wine_session.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string Configured(const char* name, const char* built) {
  const char* value = std::getenv(name);
  return value && *value ? value : built;
}

// Printable lines only: a fresh pty under Wine keeps XON/XOFF, which would eat 0x11/0x13.
std::string Lines(std::size_t bytes) {
  std::string out;
  while (out.size() < bytes) {
    std::string line = "line " + std::to_string(out.size()) + " the quick brown fox jumps over the lazy dog";
    line.resize(62, '.');
    out += line + "\r\n";
  }
  out.resize(bytes);
  return out;
}

double Measure(winetest::WindowDriverClient& drive, testsupport::PtyPair& line, std::size_t bytes,
               std::uint64_t& received) {
  const std::string data = Lines(bytes);
  const auto started = std::chrono::steady_clock::now();
  if (!line.WriteAll(data.data(), data.size(), 600s)) return -1;
  received += bytes;
  const auto done = drive({"wait-text", std::to_string(IDC_RX_COUNT), "equals",
                           "RX:" + std::to_string(received), "600000"});
  if (!done.ok) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

}  // namespace

int main(int argc, char* argv[]) {
  const double textMb = argc > 1 ? std::atof(argv[1]) : 4;
  const double hexMb = argc > 2 ? std::atof(argv[2]) : 1;
  const std::string exe = Configured("TARVOLM_WIN_EXE", TARVOLM_WIN_EXE);
  const std::string driverExe = Configured("TARVOLM_WINDOW_DRIVER", TARVOLM_WINDOW_DRIVER);
  if (!fs::exists(exe) || !fs::exists(driverExe)) {
    std::fprintf(stderr, "build the Windows program first (tools/build-windows.sh)\n");
    return 1;
  }
  const std::string user = std::to_string(::getuid());
  const fs::path logs = fs::temp_directory_path() / ("tarvolm-wine-bench-logs-" + user);
  fs::create_directories(logs);
  const std::string prefix = Configured("TARVOLM_WINEPREFIX", "");
  winetest::WineSession session(prefix.empty() ? fs::temp_directory_path() / ("tarvolm-wine-" + user) : fs::path(prefix),
                                logs);
  testsupport::PtyPair line;
  session.PointPortAt(line.SlavePath());
  testsupport::TempDir folder;
  fs::copy_file(exe, folder.Path() / "tarvolm.exe");
  auto program = session.Start({(folder.Path() / "tarvolm.exe").string()}, "en_US.UTF-8");
  winetest::WindowDriverClient drive(session.Start({driverExe}, "", true));
  if (!drive({"window", text::ToUtf8(kProgramTitle), "30000"}).ok) return 1;
  drive({"set-text", std::to_string(IDC_PORT), winetest::WineSession::kPortName});
  drive({"click", std::to_string(IDC_OPEN)});
  if (!drive({"wait-text", std::to_string(IDC_OPEN), "equals", "Close", "10000"}).ok) {
    std::fprintf(stderr, "COM5 did not open\n");
    return 1;
  }
  std::uint64_t received = 0;
  std::printf("COM5 (pty) -> tarvolm.exe under Wine, Auto Clear on\nmode      MB     MB/s\n");
  const auto textBytes = static_cast<std::size_t>(textMb * 1e6);
  const double textSeconds = Measure(drive, line, textBytes, received);
  std::printf("text  %6.1f  %7.2f\n", textMb, textSeconds > 0 ? textMb / textSeconds : 0.0);
  drive({"click", std::to_string(IDC_RX_HEX)});
  const auto hexBytes = static_cast<std::size_t>(hexMb * 1e6);
  const double hexSeconds = Measure(drive, line, hexBytes, received);
  std::printf("hex   %6.1f  %7.2f\n", hexMb, hexSeconds > 0 ? hexMb / hexSeconds : 0.0);
  drive({"close", "20000"});
  program->Wait(20s);
  return textSeconds > 0 && hexSeconds > 0 ? 0 : 1;
}
