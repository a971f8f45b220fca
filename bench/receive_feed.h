#pragma once

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/serial_port_app.h"
#include "platform/app_dir.h"
#include "platform/profile.h"
#include "res/resource.h"

// Feeds 500-byte chunks into the main dialog's receive handler, Auto Clear off, and times a
// run of chunks each time the received bytes reach 10 KB, 1 MB and 20 MB.
namespace bench {

inline long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

struct FeedResult {
  double microsPerChunk[3];     // at 10 KB, 1 MB and 20 MB received
  double residentBytesPerByte;  // growth of resident memory per received byte
};

// Lines of 60 printable characters and CR LF, with an "OK" now and then for the filter.
inline std::vector<std::uint8_t> SampleTraffic(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    const std::size_t column = i % 62;
    bytes[i] = column == 60 ? '\r' : column == 61 ? '\n' : static_cast<std::uint8_t>('0' + (i * 7 + i / 62) % 43);
  }
  return bytes;
}

inline FeedResult FeedReceive(MainWindow& dlg, bool hex, bool filter, const std::function<void()>& settle) {
  dlg.CheckDlgButton(IDC_RX_AUTOCLEAR, BST_UNCHECKED);
  dlg.CheckDlgButton(IDC_RX_HEX, hex ? BST_CHECKED : BST_UNCHECKED);
  dlg.SendNotify(BN_CLICKED, IDC_RX_HEX);
  // The filter box takes its conditions from the settings file, as a user's click does.
  platform::WritePrivateProfileString(u"Setting", u"Filter", u"OK,ERR", platform::SettingsFilePath(g_strAppDir, u"Sorvane.ini"));
  dlg.CheckDlgButton(IDC_RX_FILTER, filter ? BST_CHECKED : BST_UNCHECKED);
  dlg.SendNotify(BN_CLICKED, IDC_RX_FILTER);
  dlg.SendNotify(BN_CLICKED, IDC_RX_CLEAR);
  settle();

  constexpr std::size_t kChunk = 500;
  constexpr std::size_t kTimedChunks = 400;
  const std::size_t marks[3] = {10 * 1024, 1024 * 1024, 20 * 1024 * 1024};
  const auto traffic = SampleTraffic(1 << 20);
  std::size_t received = 0;
  auto feed = [&] {
    const std::uint8_t* chunk = traffic.data() + (received % (traffic.size() - kChunk));
    dlg.GetReceiver().Receive({chunk, kChunk});
    dlg.GetReceiver().HandOverDone();
    received += kChunk;
  };
  FeedResult result{};
  const long residentBefore = ResidentKilobytes();
  for (int m = 0; m < 3; ++m) {
    while (received < marks[m]) feed();
    settle();
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < kTimedChunks; ++i) feed();
    settle();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    result.microsPerChunk[m] = spent.count() / kTimedChunks;
  }
  result.residentBytesPerByte = double(ResidentKilobytes() - residentBefore) * 1024.0 / double(received);
  return result;
}

}  // namespace bench
