// Sending a large text file: MB/s from the drop to the far end of a drained pseudo-terminal
// (goal: at least 20 MB/s), and the peak resident memory while it goes out, above the idle
// window, sampled while it goes out (goal: flat whatever the size, under 30 MB).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "send_session.h"

namespace {
using Clock = std::chrono::steady_clock;

// Text lines with CRLF ends, in the code page (UTF-8 here) or UTF-16LE with its mark;
// returns the bytes that reach the line.
std::uint64_t WriteTextFile(const std::filesystem::path& path, std::uint64_t size, bool utf16) {
  const std::string line = "The quick brown fox jumps over the lazy dog 0123456789 \xC3\xA9t\xC3\xA9\r\n";
  const std::u16string wide = u"The quick brown fox jumps over the lazy dog 0123456789 \u00E9t\u00E9\r\n";
  std::string block;
  std::uint64_t sentPerBlock = 0;
  if (utf16) {
    for (int i = 0; i < 512; ++i) {
      for (char16_t unit : wide) {
        block += static_cast<char>(unit & 0xFF);
        block += static_cast<char>(unit >> 8);
      }
      sentPerBlock += line.size() - 1;
    }
  } else {
    for (int i = 0; i < 1024; ++i) block += line;
    sentPerBlock = 1024 * (line.size() - 1);
  }
  std::ofstream out(path, std::ios::binary);
  if (utf16) out << "\xFF\xFE";
  std::uint64_t sent = 0;
  for (std::uint64_t written = 0; written < size; written += block.size()) {
    out << block;
    sent += sentPerBlock;
  }
  return sent;
}

// A kilobyte figure of this process's status, e.g. its resident size.
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::strtol(line.c_str() + std::string(field).size(), nullptr, 10);
  }
  return -1;
}

void Run(const char* label, const std::filesystem::path& file, std::uint64_t expected, SendSession& session) {
  HeadlessToolkit& toolkit = session.toolkit;
  DrainedLine& line = session.line;
  MainWindow& dlg = session.dlg;
  HeadlessWindow& window = session.Window();
  const std::uint64_t start = line.Received();
  const std::uint64_t txBefore = dlg.GetSender().TxCount();
  const long idleKb = StatusKb("VmRSS:");
  long peakKb = idleKb;
  const auto began = Clock::now();
  window.DropFiles({file.u16string()});
  toolkit.PumpUntil(
      [&] {
        peakKb = std::max(peakKb, StatusKb("VmRSS:"));
        return line.Received() - start >= expected;
      },
      std::chrono::minutes(5));
  const std::chrono::duration<double> spent = Clock::now() - began;
  toolkit.PumpUntil([&] { return !dlg.GetSender().IsSendingFile() && dlg.GetSender().TxCount() - txBefore == expected; });
  std::printf("%-32s %8.1f MB/s   resident %6.1f MB idle, peak %+7.2f MB above it\n", label,
              static_cast<double>(expected) / 1e6 / spent.count(), static_cast<double>(idleKb) / 1024,
              static_cast<double>(peakKb - idleKb) / 1024);
  if (line.Received() - start != expected || dlg.GetSender().TxCount() - txBefore != expected) {
    std::printf("  unexpected count: %llu bytes arrived, TX counted %llu, %llu expected\n",
                static_cast<unsigned long long>(line.Received() - start),
                static_cast<unsigned long long>(dlg.GetSender().TxCount() - txBefore), static_cast<unsigned long long>(expected));
  }
}
}  // namespace

int main() {
  SendSession session;
  const std::filesystem::path dir = session.folder.Path();
  const std::uint64_t mb = 1 << 20;
  const auto small = WriteTextFile(dir / "5mb.txt", 5 * mb, false);
  const auto large = WriteTextFile(dir / "50mb.txt", 50 * mb, false);
  const auto wide = WriteTextFile(dir / "50mb-utf16.txt", 50 * mb, true);
  if (!session.Open()) return 1;
  Run("5 MB, code page (UTF-8), CRLF:", dir / "5mb.txt", small, session);
  Run("50 MB, code page (UTF-8), CRLF:", dir / "50mb.txt", large, session);
  Run("50 MB, UTF-16LE, CRLF:", dir / "50mb-utf16.txt", wide, session);
  std::printf("(goals: at least 20 MB/s; peak flat whatever the size, under 30 MB)\n");
  return 0;
}
