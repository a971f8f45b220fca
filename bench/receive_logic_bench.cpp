// Cost per 500-byte chunk of the receive logic the UI thread runs for every chunk, at growing
// amounts of text already received. The goal is a flat row: the cost must follow the chunk,
// not the text (20 MB within twice the 10 KB figure).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "receive/display_line_counter.h"
#include "receive/hex_format.h"
#include "receive/receive_filter.h"

namespace {

constexpr std::size_t kChunkBytes = 500;
constexpr int kChunksPerRound = 20;
constexpr int kRounds = 60;
const std::size_t kSizes[] = {10'000, 1'000'000, 20'000'000};

// Device-like traffic: short lines, a third of them carrying a condition.
std::u16string MakeTraffic(std::size_t length, std::uint32_t seed) {
  static const char* const kLines[] = {"AT+CSQ\r\n", "+CSQ: 23,99\r\n",     "OK\r\n",           "TEMP=23.5 HUM=40\r\n",
                                       "ERR 5\r\n",  "ADC 1023 512 7\r\n", "status ready OK\r\n"};
  std::mt19937 random(seed);
  std::u16string text;
  while (text.size() < length) {
    for (const char* c = kLines[random() % std::size(kLines)]; *c != '\0'; ++c) {
      text.push_back(static_cast<char16_t>(*c));
    }
  }
  text.resize(length);
  return text;
}

// Median over rounds of the mean microseconds per chunk; `prepare` brings the state back to
// the starting size before each round, untimed.
double MeasureMicroseconds(const std::function<void()>& prepare, const std::function<void(int)>& chunk) {
  std::vector<double> rounds;
  for (int r = 0; r < kRounds; ++r) {
    prepare();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kChunksPerRound; ++i) {
      chunk(i);
    }
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    rounds.push_back(spent.count() / kChunksPerRound);
  }
  std::nth_element(rounds.begin(), rounds.begin() + kRounds / 2, rounds.end());
  return rounds[kRounds / 2];
}

double HexFormat(std::size_t size) {
  std::vector<std::uint8_t> bytes(kChunkBytes);
  std::mt19937 random(1);
  for (auto& b : bytes) {
    b = static_cast<std::uint8_t>(random());
  }
  std::u16string text = MakeTraffic(size, 2);
  text.reserve(size + 3 * kChunkBytes * kChunksPerRound);
  return MeasureMicroseconds([&] { text.resize(size); },
                             [&](int) { AppendHex(bytes.data(), static_cast<int>(bytes.size()), true, text); });
}

double Filter(std::size_t size) {
  const std::vector<std::u16string> conditions = {u"OK", u"ERR"};
  std::vector<std::u16string> chunks;
  for (int i = 0; i < kChunksPerRound; ++i) {
    chunks.push_back(MakeTraffic(kChunkBytes, 100 + static_cast<std::uint32_t>(i)));
  }
  std::u16string text = MakeTraffic(size + size / 4, 3);
  ReceiveFilter filter;
  filter.Apply(text, 0, conditions);
  // Ending on a line break, no round's removal reaches back into the base text, so putting
  // back the filter's state restores the steady state without a new whole-text pass (which
  // would also flush the caches that a steady flood keeps warm).
  text.resize(text.rfind(u'\n', size) + 1);
  const std::size_t baseSize = text.size();
  filter.Reset();
  filter.Apply(text, baseSize, conditions);
  const ReceiveFilter primed = filter;
  return MeasureMicroseconds(
      [&] {
        text.resize(baseSize);
        filter = primed;
      },
      [&](int i) {
        const std::size_t oldLength = text.size();
        text += chunks[static_cast<std::size_t>(i)];
        filter.Apply(text, oldLength, conditions);
      });
}

double LineCount(std::size_t size, bool hex) {
  std::u16string text = MakeTraffic(size, 4);
  std::u16string chunk = MakeTraffic(kChunkBytes, 5);
  if (hex) {
    std::fill(text.begin(), text.end(), u'A');
    std::fill(chunk.begin(), chunk.end(), u'A');
    chunk.resize(3 * kChunkBytes);
  }
  DisplayLineCounter counter(600, [](char16_t) { return 8; });
  counter.Update(text, 0);
  return MeasureMicroseconds(
      [&] {
        text.resize(size);
        counter.Update(text, size);
      },
      [&](int) {
        const std::size_t oldLength = text.size();
        text += chunk;
        counter.Update(text, oldLength);
      });
}

}  // namespace

int main() {
  struct Row {
    const char* name;
    std::function<double(std::size_t)> run;
  };
  const Row rows[] = {
      {"hex format, Add Space", HexFormat},
      {"filter, 2 conditions, text", Filter},
      {"line count, text lines", [](std::size_t size) { return LineCount(size, false); }},
      {"line count, hex (no breaks)", [](std::size_t size) { return LineCount(size, true); }},
  };
  std::printf("us per 500-byte chunk, median of %d rounds of %d chunks\n", kRounds, kChunksPerRound);
  std::printf("%-30s %10s %10s %10s %10s\n", "text already received", "10 KB", "1 MB", "20 MB", "20MB/10KB");
  for (const Row& row : rows) {
    double figures[3];
    for (int i = 0; i < 3; ++i) {
      figures[i] = row.run(kSizes[i]);
    }
    std::printf("%-30s %10.2f %10.2f %10.2f %10.2f\n", row.name, figures[0], figures[1], figures[2],
                figures[2] / figures[0]);
  }
  return 0;
}
