#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

#include "support/headless/dialog_headless.h"
#include "res/dialog_template.h"
#include "serial/serial_port.h"
#include "support/byte_pattern.h"
#include "support/process_entries.h"
#include "support/pty_pair.h"

namespace {

// Keeps every chunk the reader hands over, on a headless window's UI thread.
class ChunkRecorder {
 public:
  ChunkRecorder()
      : port(PortReader::Sink{[this](std::span<const std::uint8_t> chunk) {
                                chunks.emplace_back(chunk.begin(), chunk.end());
                                if (onChunk) onChunk();
                              },
                              [this] { ++handOvers; }, {}}) {}
  bool Open(const std::u16string& name) {
    const auto result = port.Open(name, LineSettingTexts{115200, u"NONE", u"8", u"1"}, {},
                                  [this](std::function<void()> handler) { return window.Window()->CreateWaker(handler); });
    return result.opened == SerialPort::Opened::Yes && result.readerStarted;
  }
  std::vector<std::uint8_t> All() const {
    std::vector<std::uint8_t> all;
    for (const auto& chunk : chunks) all.insert(all.end(), chunk.begin(), chunk.end());
    return all;
  }

  CDialogEx window{MainDialogTemplate()};
  SerialPort port;
  std::vector<std::vector<std::uint8_t>> chunks;
  int handOvers = 0;
  std::function<void()> onChunk;
};

class SerialPortTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(recorder.window.Create()); }
  void OpenPort() { ASSERT_TRUE(recorder.Open(pty.PortName())); }
  bool WaitForBytes(std::size_t count) {
    return toolkit.PumpUntil([&] { return recorder.All().size() >= count; }, std::chrono::seconds(20));
  }

  HeadlessToolkit toolkit;
  ChunkRecorder recorder;
  testsupport::PtyPair pty;
};

using testsupport::Pattern;

int OpenDescriptors() { return testsupport::ProcessEntries("fd"); }
int Threads() { return testsupport::ProcessEntries("task"); }

}  // namespace

TEST_F(SerialPortTest, ABurstArrivesInOrderInChunksOfAtMost500AndIsHandedOverInBatches) {
  OpenPort();
  const auto burst = Pattern(1200);
  ASSERT_TRUE(pty.WriteAll(burst));
  ASSERT_TRUE(WaitForBytes(burst.size()));
  EXPECT_EQ(recorder.All(), burst);
  EXPECT_GE(recorder.chunks.size(), 3u);
  for (const auto& chunk : recorder.chunks) EXPECT_LE(chunk.size(), 500u);
  // The window hears of the end of a hand-over once per batch, not once per chunk.
  EXPECT_GE(recorder.handOvers, 1);
  EXPECT_LE(recorder.handOvers, static_cast<int>(recorder.chunks.size()));
  recorder.port.Close();
}

TEST_F(SerialPortTest, LargeTransferArrivesCompleteIncludingZeroBytes) {
  OpenPort();
  auto data = Pattern(200 * 1024);
  data[0] = 0;
  data[777] = 0;
  std::thread writer([&] { pty.WriteAll(data); });
  EXPECT_TRUE(WaitForBytes(data.size()));
  writer.join();
  EXPECT_EQ(recorder.All(), data);
  recorder.port.Close();
}

TEST_F(SerialPortTest, PausedPortKeepsBytesQueuedUntilResume) {
  OpenPort();
  recorder.port.Pause();
  const auto bytes = Pattern(300);
  ASSERT_TRUE(pty.WriteAll(bytes));
  toolkit.PumpUntil([] { return false; }, std::chrono::milliseconds(200));
  EXPECT_TRUE(recorder.chunks.empty());
  recorder.port.Resume();
  ASSERT_TRUE(WaitForBytes(bytes.size()));
  EXPECT_EQ(recorder.All(), bytes);
  recorder.port.Close();
}

TEST_F(SerialPortTest, CloseWhileAChunkIsInHandOverDropsItWithoutDeadlock) {
  OpenPort();
  ASSERT_TRUE(pty.WriteAll(Pattern(2000)));
  // A chunk is handed over once its drain is posted; the UI thread never takes it.
  ASSERT_TRUE(toolkit.WaitForPosted(std::chrono::milliseconds(2000)));
  recorder.port.Close();
  EXPECT_FALSE(recorder.port.IsOpen());
  // Anything the reader had posted is not delivered after the close.
  toolkit.ProcessPosted();
  EXPECT_TRUE(recorder.chunks.empty());
}

TEST_F(SerialPortTest, ClosingWhileTheHandlerRunsStopsTheReader) {
  OpenPort();
  recorder.onChunk = [&] {
    if (recorder.chunks.size() == 1) recorder.port.Close();
  };
  std::thread writer([&] { pty.WriteAll(Pattern(50000), std::chrono::milliseconds(2000)); });
  toolkit.PumpUntil([&] { return !recorder.port.IsOpen(); });
  writer.join();
  toolkit.ProcessPosted();
  EXPECT_EQ(recorder.chunks.size(), 1u);
}

TEST_F(SerialPortTest, FarEndGoneLeavesAQuietReaderAndCloseStillWorks) {
  OpenPort();
  pty.CloseMaster();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::uint8_t byte = 0x55;
  EXPECT_TRUE(recorder.port.Port()->Write(&byte, 1).failed);
  recorder.port.Close();
  EXPECT_FALSE(recorder.port.IsOpen());
}

TEST_F(SerialPortTest, RepeatedOpenAndCloseLeaksNeitherDescriptorsNorThreads) {
  OpenPort();
  recorder.port.Close();
  const int descriptors = OpenDescriptors();
  const int threads = Threads();
  for (int i = 0; i < 200; ++i) {
    OpenPort();
    recorder.port.Close();
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(Threads(), threads);
}

TEST_F(SerialPortTest, ASecondOpenOfTheSamePortFails) {
  OpenPort();
  ChunkRecorder other;
  ASSERT_TRUE(other.window.Create());
  EXPECT_FALSE(other.Open(pty.PortName()));
  EXPECT_FALSE(other.port.IsOpen());
  recorder.port.Close();
}
