// The send side's two goals: bytes per second through Send -> send thread -> a pseudo-terminal
// whose far end is drained (at least 20 MB/s, so the thread is never the limit), and the time
// of one checksum refresh on a 64 KB hex text (under 1 ms: it runs five times a second).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "send_session.h"

namespace {
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
  std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
  return values[values.size() / 2];
}

// MB/s of `sends` Sends of `payload`, at most `inFlight` requests queued at a time.
double Throughput(SendSession& session, const std::u16string& payload, int sends, int inFlight) {
  HeadlessToolkit& toolkit = session.toolkit;
  DrainedLine& line = session.line;
  MainWindow& dlg = session.dlg;
  HeadlessWindow& window = session.Window();
  window.Replace(IDC_TX_EDIT, payload);
  const std::uint64_t start = line.Received();
  const std::uint64_t total = static_cast<std::uint64_t>(payload.size()) * static_cast<std::uint64_t>(sends);
  dlg.GetSender().ClearCount();
  const auto began = Clock::now();
  for (int i = 0; i < sends; ++i) {
    toolkit.PumpUntil([&] { return dlg.GetSender().TxCount() + payload.size() * static_cast<std::uint64_t>(inFlight) >=
                                   payload.size() * static_cast<std::uint64_t>(i + 1); });
    window.Click(IDC_SEND);
  }
  while (line.Received() - start < total) std::this_thread::yield();
  const std::chrono::duration<double> spent = Clock::now() - began;
  toolkit.PumpUntil([&] { return dlg.GetSender().TxCount() == total; });
  return static_cast<double>(total) / 1e6 / spent.count();
}

double ChecksumMicroseconds(MainWindow& dlg, HeadlessWindow& window) {
  std::u16string hex;
  for (int i = 0; hex.size() < 65536; ++i) {
    hex += text::HexByteLower(static_cast<std::uint8_t>(i * 37));
    hex += (i % 16 == 15) ? u"\r\n" : u" ";
  }
  hex.resize(65536);
  window.Replace(IDC_TX_EDIT, hex);
  std::vector<double> rounds;
  for (int round = 0; round < 30; ++round) {
    const auto began = Clock::now();
    for (int i = 0; i < 20; ++i) dlg.GetSender().UpdateChecksum();
    const std::chrono::duration<double, std::micro> spent = Clock::now() - began;
    rounds.push_back(spent.count() / 20);
  }
  return Median(rounds);
}
}  // namespace

int main() {
  SendSession session;
  if (!session.Open()) return 1;
  std::vector<double> large, small;
  for (int run = 0; run < 5; ++run) {
    large.push_back(Throughput(session, std::u16string(65536, u'x'), 1024, 4));
    small.push_back(Throughput(session, std::u16string(64, u'y'), 20000, 64));
  }
  std::printf("Send -> send thread -> pty, 64 KB requests:  %8.1f MB/s (median of 5, target >= 20)\n",
              Median(large));
  std::printf("Send -> send thread -> pty, 64 B requests:   %8.1f MB/s (%.0f requests/s)\n", Median(small),
              Median(small) * 1e6 / 64);

  session.Window().Click(IDC_TX_HEX);
  std::printf("UpdateChecksum, 64 KB hex text:              %8.1f us (median, target < 1000)\n",
              ChecksumMicroseconds(session.dlg, session.Window()));
  return 0;
}
