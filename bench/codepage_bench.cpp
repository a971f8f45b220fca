// Decoding cost per 500-byte receive chunk (the read thread's largest read), through one
// stateful decoder appending to a text that is cleared now and then, as the receive
// display does.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace {

constexpr std::size_t kChunk = 500;

std::vector<std::uint8_t> Stream(unsigned codePage, std::u16string_view line, std::size_t size) {
  std::string bytes;
  while (bytes.size() < size) bytes += platform::WideToMultiByte(codePage, line);
  return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)};
}

void Measure(const char* name, unsigned codePage, std::u16string_view line) {
  const auto stream = Stream(codePage, line, kChunk * 4096);
  const std::size_t chunks = stream.size() / kChunk;
  platform::MultiByteDecoder decoder(codePage);
  std::u16string text;
  text.reserve(1 << 20);
  double best = 1e30;
  for (int pass = 0; pass < 7; ++pass) {
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < chunks; ++i) {
      if (text.size() > (1 << 19)) text.clear();
      decoder.Append(stream.data() + i * kChunk, kChunk, text);
    }
    const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count() / static_cast<double>(chunks));
  }
  std::printf("%-26s %8.1f ns per %zu-byte chunk (best of 7)\n", name, best, kChunk);
}

}  // namespace

int main() {
  Measure("UTF-8, ASCII", 65001, u"T=25.3 C, RH=40%, fan on, status OK, counter 000123\r\n");
  Measure("UTF-8, Chinese", 65001, u"温度二十五点三度，湿度百分之四十，风扇开启，状态正常\r\n");
  Measure("UTF-8, mixed", 65001, u"温度 T=25.3℃ 湿度 RH=40% status OK\r\n");
  Measure("UTF-8, log with Chinese", 65001, u"[12:00:01.250] INFO sensor 温度 value=25.3 unit=C status=OK\r\n");
  Measure("GBK, ASCII", 936, u"T=25.3 C, RH=40%, fan on, status OK, counter 000123\r\n");
  Measure("GBK, Chinese", 936, u"温度二十五点三度，湿度百分之四十，风扇开启，状态正常\r\n");
  Measure("GBK, mixed", 936, u"温度 T=25.3℃ 湿度 RH=40% status OK\r\n");
  Measure("GBK, log with Chinese", 936, u"[12:00:01.250] INFO sensor 温度 value=25.3 unit=C status=OK\r\n");
  Measure("CP1252", 1252, u"Température 25,3 °C, humidité 40 %\r\n");
  return 0;
}
