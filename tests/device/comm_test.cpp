#include "platform/comm.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <future>
#include <numeric>
#include <thread>

#include <gtest/gtest.h>

#include "platform/posix/comm_termios2_linux.h"
#include "support/byte_pattern.h"
#include "support/process_entries.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "support/xoff_hold.h"

namespace {

using platform::CommPort;
using platform::CommSetting;
using platform::CommState;
using testsupport::PtyPair;
using namespace std::chrono_literals;

// The pty master answers termios requests for its slave, so this is what the device holds,
// read through a descriptor the port does not own.
termios DeviceTermios(const PtyPair& pty) {
  termios t{};
  EXPECT_EQ(tcgetattr(pty.MasterFd(), &t), 0);
  return t;
}

std::uint32_t DeviceBaud(const PtyPair& pty) {
  std::uint32_t baud = 0;
  EXPECT_TRUE(platform::termios2::ReadBaud(pty.MasterFd(), baud));
  return baud;
}

std::vector<std::uint8_t> ReadFromPort(CommPort& port, std::size_t count) {
  std::vector<std::uint8_t> received;
  std::uint8_t chunk[500];
  while (received.size() < count) {
    const int n = port.Read(chunk, sizeof chunk);
    if (n < 0) break;
    if (n > 0) {
      received.insert(received.end(), chunk, chunk + n);
    } else if (port.WaitReadable(10000) != CommPort::WaitResult::Readable) {
      break;
    }
  }
  return received;
}

using testsupport::Pattern;

int OpenDescriptorCount() { return testsupport::ProcessEntries("fd"); }

CommState Line(std::uint32_t baud, std::uint8_t byteSize = 8, std::uint8_t parity = 0, std::uint8_t stopBits = 0) {
  CommState s;
  s.baudRate = baud;
  s.byteSize = byteSize;
  s.parity = parity;
  s.stopBits = stopBits;
  return s;
}

TEST(CommPort, DevicePathPutsPlainNamesUnderDev) {
  EXPECT_EQ(CommPort::DevicePath(u"ttyUSB0"), "/dev/ttyUSB0");
  EXPECT_EQ(CommPort::DevicePath(u"/dev/serial/by-id/usb-x"), "/dev/serial/by-id/usb-x");
  EXPECT_EQ(CommPort::DevicePath(u"tty\u00e9"), "/dev/tty\xc3\xa9");
}

TEST(CommPort, OpenRefusesWhatIsNotAFreeTerminal) {
  EXPECT_EQ(CommPort::Open(u"/dev/tarvolm-no-such-port"), nullptr);
  EXPECT_EQ(CommPort::Open(u""), nullptr);
  EXPECT_EQ(CommPort::Open(u"/dev/null"), nullptr);

  const testsupport::TempDir folder;
  const auto fileName = folder.Path() / "plain-file";
  std::ofstream(fileName) << "keep";
  EXPECT_EQ(CommPort::Open(fileName.u16string()), nullptr);
  std::ifstream file(fileName);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "keep");

  PtyPair pty;
  std::u16string withNul = pty.PortName();
  withNul.insert(5, 1, u'\0');  // "/dev/\0pts/..." must not open "/dev/"
  EXPECT_EQ(CommPort::Open(withNul), nullptr);
}

TEST(CommPort, OpenIsExclusiveWithinAndAcrossProcesses) {
  PtyPair pty;
  auto first = CommPort::Open(pty.PortName());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(CommPort::Open(pty.PortName()), nullptr);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(CommPort::Open(pty.PortName()) == nullptr ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child could open a port held here";

  first.reset();
  EXPECT_NE(CommPort::Open(pty.PortName()), nullptr) << "closing must release the port";

  // Another program that made the line exclusive without a lock keeps even root out.
  const int other = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(ioctl(other, TIOCEXCL), 0);
  EXPECT_EQ(CommPort::Open(pty.PortName()), nullptr);
  close(other);
}

TEST(CommPort, OpenCloseLeavesNoDescriptorBehind) {
  PtyPair pty;
  const int before = OpenDescriptorCount();
  for (int i = 0; i < 200; ++i) ASSERT_NE(CommPort::Open(pty.PortName()), nullptr) << "round " << i;
  EXPECT_EQ(OpenDescriptorCount(), before);
}

TEST(CommPort, EveryByteValuePassesUnchangedBothWays) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  std::vector<std::uint8_t> all(256);
  std::iota(all.begin(), all.end(), 0);  // NUL, CR, LF, XON/XOFF, ^C, DEL, 0xFF among them

  ASSERT_TRUE(pty.WriteAll(all));
  EXPECT_EQ(ReadFromPort(*port, all.size()), all);

  EXPECT_EQ(port->Write(all.data(), 256).written, 256u);
  EXPECT_EQ(pty.ReadExactly(all.size()), all);
  EXPECT_TRUE(pty.ReadUntilQuiet(50ms).empty()) << "nothing added (no echo, no CR/LF mapping)";
}

// Both directions at once, as the reader and the send threads use one port.
TEST(CommPort, LargeTransfersArriveCompleteAndInOrderBothWaysAtOnce) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  const auto toPort = Pattern(200 * 1024);
  auto fromPort = Pattern(200 * 1024 + 1);
  fromPort.erase(fromPort.begin());

  auto farEndWriter = std::async(std::launch::async, [&] { return pty.WriteAll(toPort); });
  auto portReader = std::async(std::launch::async, [&] { return ReadFromPort(*port, toPort.size()); });
  auto portWriter = std::async(std::launch::async,
                               [&] { return port->Write(fromPort.data(), static_cast<std::uint32_t>(fromPort.size())).written; });
  EXPECT_EQ(pty.ReadExactly(fromPort.size()), fromPort);
  EXPECT_EQ(portReader.get(), toPort);
  EXPECT_TRUE(farEndWriter.get());
  EXPECT_EQ(portWriter.get(), fromPort.size());
}

// A pty keeps what a line discipline needs of the flags but, on current kernels, forces CS8
// and no parity. So each result is checked against what the device really holds afterwards.
TEST(CommPort, LineSettingsReachTheDeviceOrAreReportedRefused) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
  const tcflag_t parities[] = {0, PARENB | PARODD, PARENB, PARENB | CMSPAR | PARODD, PARENB | CMSPAR};
  for (std::uint8_t byteSize = 5; byteSize <= 8; ++byteSize) {
    for (std::uint8_t parity = 0; parity <= 4; ++parity) {
      // 1.5 stop bits exist only with 5 data bits, 2 only without (CSTOPB either way).
      for (std::uint8_t stopBits : {0, byteSize == 5 ? 1 : 2}) {
        SCOPED_TRACE(testing::Message() << "data bits " << int(byteSize) << ", parity " << int(parity)
                                        << ", stop bits " << int(stopBits));
        const CommSetting result = port->SetState(Line(9600, byteSize, parity, stopBits));
        const tcflag_t held = DeviceTermios(pty).c_cflag;
        const CommSetting expected = (held & CSIZE) != sizes[byteSize - 5] ? CommSetting::ByteSize
                                     : (held & (PARENB | PARODD | CMSPAR)) != parities[parity] ? CommSetting::Parity
                                     : bool(held & CSTOPB) != (stopBits != 0) ? CommSetting::StopBits
                                                                              : CommSetting::None;
        EXPECT_EQ(result, expected);
        // What the pty does not override must be exactly what was asked for.
        EXPECT_EQ(held & (PARODD | CMSPAR), parities[parity] & (PARODD | CMSPAR));
        EXPECT_EQ(bool(held & CSTOPB), stopBits != 0);
        EXPECT_EQ(DeviceBaud(pty), 9600u);
        CommState read;
        ASSERT_TRUE(port->GetState(read));
        if (result == CommSetting::None) {
          EXPECT_EQ(read.byteSize, byteSize);
          EXPECT_EQ(read.parity, parity);
          EXPECT_EQ(read.stopBits, stopBits);
        }
      }
    }
  }
  EXPECT_EQ(port->SetState(Line(9600, 8, 0, 0)), CommSetting::None);
  EXPECT_EQ(port->SetState(Line(9600, 8, 0, 2)), CommSetting::None);
}

TEST(CommPort, BaudRatesStandardAndArbitraryReachTheDevice) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  CommState read;

  ASSERT_EQ(port->SetState(Line(115200)), CommSetting::None);
  termios t = DeviceTermios(pty);
  EXPECT_EQ(cfgetospeed(&t), speed_t{B115200});
  ASSERT_TRUE(port->GetState(read));
  EXPECT_EQ(read.baudRate, 115200u);

  // A pty keeps any rate it is given, so the arbitrary rate must be reported as taken.
  EXPECT_EQ(port->SetState(Line(12345, 8, 0, 2)), CommSetting::None);
  EXPECT_EQ(DeviceBaud(pty), 12345u);
  EXPECT_TRUE(DeviceTermios(pty).c_cflag & CSTOPB);
  ASSERT_TRUE(port->GetState(read));
  EXPECT_EQ(read.baudRate, 12345u);

  // Back from an arbitrary rate to a standard one.
  ASSERT_EQ(port->SetState(Line(9600)), CommSetting::None);
  EXPECT_EQ(DeviceBaud(pty), 9600u);
  t = DeviceTermios(pty);
  EXPECT_EQ(cfgetospeed(&t), speed_t{B9600});
}

TEST(CommPort, ImpossibleValuesAreRefusedAndChangeNothing) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  ASSERT_EQ(port->SetState(Line(9600, 8, 0, 2)), CommSetting::None);
  const tcflag_t before = DeviceTermios(pty).c_cflag;

  EXPECT_EQ(port->SetState(Line(0)), CommSetting::BaudRate);  // B0 would hang the line up
  EXPECT_EQ(port->SetState(Line(19200, 4)), CommSetting::ByteSize);
  EXPECT_EQ(port->SetState(Line(19200, 9)), CommSetting::ByteSize);
  EXPECT_EQ(port->SetState(Line(19200, 8, 5)), CommSetting::Parity);
  // 1.5 stop bits need 5 data bits; 2 with 5 data bits would come out as 1.5.
  EXPECT_EQ(port->SetState(Line(19200, 8, 0, 1)), CommSetting::StopBits);
  EXPECT_EQ(port->SetState(Line(19200, 5, 0, 2)), CommSetting::StopBits);
  EXPECT_EQ(port->SetState(Line(19200, 8, 0, 3)), CommSetting::StopBits);
  EXPECT_EQ(port->SetState(Line(0, 4, 5, 1)), CommSetting::BaudRate) << "the first refused setting";

  EXPECT_EQ(DeviceTermios(pty).c_cflag, before);
  EXPECT_EQ(DeviceBaud(pty), 9600u);
  const std::uint8_t byte = 0x5A;
  EXPECT_EQ(port->Write(&byte, 1).written, 1u) << "the line is still up";
}

TEST(CommPort, HangUpIsReportedByReadWaitAndWrite) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  std::uint8_t buffer[16];
  EXPECT_EQ(port->Read(buffer, sizeof buffer), 0);

  pty.CloseMaster();
  EXPECT_EQ(port->WaitReadable(5000), CommPort::WaitResult::Gone);
  EXPECT_EQ(port->Read(buffer, sizeof buffer), -1);
  EXPECT_TRUE(port->Write(buffer, sizeof buffer).failed);
}

TEST(CommPort, WaitReadableWakesForDataWakeAndTimeout) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);

  auto blocked = std::async(std::launch::async, [&] { return port->WaitReadable(-1); });
  EXPECT_EQ(blocked.wait_for(50ms), std::future_status::timeout);
  port->Wake();
  ASSERT_EQ(blocked.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(blocked.get(), CommPort::WaitResult::Woken);

  port->Wake();  // before anyone waits: kept for the next wait, then used up
  port->Wake();
  EXPECT_EQ(port->WaitReadable(-1), CommPort::WaitResult::Woken);
  EXPECT_EQ(port->WaitReadable(20), CommPort::WaitResult::TimedOut);

  ASSERT_TRUE(pty.WriteAll("x", 1));
  EXPECT_EQ(port->WaitReadable(10000), CommPort::WaitResult::Readable);
}

// Fills the line until the pty takes no more, with nobody reading the master.
void FillLine(CommPort& port) {
  const std::uint8_t byte = 0x55;
  for (bool wrote = true; wrote;) {
    wrote = false;
    while (write(static_cast<int>(port.NativeHandle()), &byte, 1) == 1) wrote = true;
    std::this_thread::sleep_for(50ms);  // the kernel moves queued bytes on and may make room
  }
}

TEST(CommPort, CancelWritesReleasesAWriteStuckOnAFullLine) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  FillLine(*port);
  const std::vector<std::uint8_t> data(64 * 1024, 0xAA);

  auto stuck = std::async(std::launch::async, [&] { return port->Write(data.data(), static_cast<std::uint32_t>(data.size())); });
  EXPECT_EQ(stuck.wait_for(100ms), std::future_status::timeout);
  port->CancelWrites();
  ASSERT_EQ(stuck.wait_for(10s), std::future_status::ready);
  const auto cut = stuck.get();
  EXPECT_LT(cut.written, data.size());
  EXPECT_FALSE(cut.failed) << "a cancel is no failure";

  pty.ReadUntilQuiet(50ms);  // room again, yet a cancelled port writes nothing more
  const auto after = port->Write(data.data(), 16);
  EXPECT_EQ(after.written, 0u);
  EXPECT_FALSE(after.failed);
}

TEST(CommPort, WriteGivesUpWhenItsBoundRunsOut) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  FillLine(*port);

  const std::uint8_t bytes[2] = {1, 2};
  const auto start = std::chrono::steady_clock::now();
  const auto result = port->Write(bytes, 2);
  EXPECT_EQ(result.written, 0u);
  EXPECT_TRUE(result.failed) << "nothing moved within the bound";
  EXPECT_GE(std::chrono::steady_clock::now() - start, 700ms) << "2 bytes may take 100 ms each + 500 ms";
}

CommState Flow(platform::FlowControl flow) {
  CommState s = Line(9600);
  s.flowControl = flow;
  return s;
}

TEST(CommPort, FlowControlReachesTheDeviceAndReadsBack) {
  using platform::FlowControl;
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  for (const FlowControl flow : {FlowControl::XonXoff, FlowControl::RtsCts, FlowControl::None, FlowControl::XonXoff}) {
    SCOPED_TRACE(static_cast<int>(flow));
    ASSERT_EQ(port->SetState(Flow(flow)), CommSetting::None);
    const termios t = DeviceTermios(pty);
    EXPECT_EQ(bool(t.c_cflag & CRTSCTS), flow == FlowControl::RtsCts);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | IXANY), flow == FlowControl::XonXoff ? tcflag_t(IXON | IXOFF) : 0);
    EXPECT_TRUE(t.c_cflag & CLOCAL) << "DSR and DCD never hold the line";
    if (flow == FlowControl::XonXoff) {
      EXPECT_EQ(t.c_cc[VSTART], 0x11);
      EXPECT_EQ(t.c_cc[VSTOP], 0x13);
    }
    CommState read;
    ASSERT_TRUE(port->GetState(read));
    EXPECT_EQ(read.flowControl, flow);
  }
  CommState unknown = Flow(FlowControl::None);
  unknown.flowControl = static_cast<FlowControl>(7);
  EXPECT_EQ(port->SetState(unknown), CommSetting::FlowControl);
  EXPECT_EQ(DeviceTermios(pty).c_iflag & (IXON | IXOFF), tcflag_t(IXON | IXOFF)) << "changed nothing";
}

using testsupport::HoldWithXoff;
using testsupport::ReleaseWithXon;

TEST(CommPort, XoffHoldsAWriteAndXonReleasesItWithNothingLost) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  ASSERT_EQ(port->SetState(Flow(platform::FlowControl::XonXoff)), CommSetting::None);
  ASSERT_NO_FATAL_FAILURE(HoldWithXoff(pty, *port));

  const auto data = Pattern(64 * 1024);
  auto held = std::async(std::launch::async,
                         [&] { return port->Write(data.data(), static_cast<std::uint32_t>(data.size())); });
  EXPECT_TRUE(pty.ReadUntilQuiet(300ms).empty()) << "the line is held";
  EXPECT_EQ(held.wait_for(0ms), std::future_status::timeout);

  ASSERT_NO_FATAL_FAILURE(ReleaseWithXon(pty));
  EXPECT_EQ(pty.ReadExactly(data.size()), data);
  ASSERT_EQ(held.wait_for(10s), std::future_status::ready);
  const auto result = held.get();
  EXPECT_EQ(result.written, data.size());
  EXPECT_FALSE(result.failed);
  EXPECT_TRUE(pty.ReadUntilQuiet(50ms).empty());
}

// A full pty stands in for a line held by CTS: it cannot show CTS itself.
TEST(CommPort, UnderFlowControlAHeldWriteOutlastsTheBoundWithoutFailing) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  ASSERT_EQ(port->SetState(Flow(platform::FlowControl::RtsCts)), CommSetting::None);
  FillLine(*port);

  const std::uint8_t bytes[2] = {1, 2};
  auto held = std::async(std::launch::async, [&] { return port->Write(bytes, 2); });
  EXPECT_EQ(held.wait_for(1s), std::future_status::timeout) << "2 bytes would have given up after 700 ms";
  std::vector<std::uint8_t> received;
  auto reader = std::async(std::launch::async, [&] { return pty.ReadUntilQuiet(300ms); });
  ASSERT_EQ(held.wait_for(10s), std::future_status::ready);
  const auto result = held.get();
  EXPECT_EQ(result.written, 2u);
  EXPECT_FALSE(result.failed);
  received = reader.get();
  ASSERT_GE(received.size(), 2u);
  EXPECT_EQ(std::vector<std::uint8_t>(received.end() - 2, received.end()), (std::vector<std::uint8_t>{1, 2}));
}

TEST(CommPort, AHeldWriteEndsAtOnceForCancelOrAbandonWithoutFailing) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  ASSERT_EQ(port->SetState(Flow(platform::FlowControl::XonXoff)), CommSetting::None);
  const auto data = Pattern(4096);
  // A write the line holds, ended by `end`.
  const auto heldThenEnded = [&](const std::atomic<bool>* abandon, const std::function<void()>& end) {
    auto held = std::async(std::launch::async, [&] { return port->Write(data.data(), 4096, abandon); });
    EXPECT_EQ(held.wait_for(100ms), std::future_status::timeout);
    const auto start = std::chrono::steady_clock::now();
    end();
    EXPECT_EQ(held.wait_for(5s), std::future_status::ready);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    const auto result = held.get();
    EXPECT_EQ(result.written, 0u);
    EXPECT_FALSE(result.failed);
  };

  // Abandoned: the file send's cancel. The port stays usable.
  ASSERT_NO_FATAL_FAILURE(HoldWithXoff(pty, *port));
  std::atomic<bool> abandon{false};
  heldThenEnded(&abandon, [&] { abandon.store(true); });
  ASSERT_NO_FATAL_FAILURE(ReleaseWithXon(pty));
  EXPECT_EQ(port->Write(data.data(), 10).written, 10u);
  EXPECT_EQ(pty.ReadExactly(10), std::vector<std::uint8_t>(data.begin(), data.begin() + 10));

  // Cancelled: the close.
  ASSERT_NO_FATAL_FAILURE(HoldWithXoff(pty, *port));
  heldThenEnded(nullptr, [&] { port->CancelWrites(); });
}

TEST(CommPort, AWriteCutShortByAHangUpCountsWhatWentOutAndFails) {
  PtyPair pty;
  auto port = CommPort::Open(pty.PortName());
  ASSERT_NE(port, nullptr);
  const auto data = Pattern(1 << 20);
  auto writing = std::async(std::launch::async,
                            [&] { return port->Write(data.data(), static_cast<std::uint32_t>(data.size())); });
  const auto arrived = pty.ReadExactly(10000);
  ASSERT_EQ(arrived.size(), 10000u);
  pty.CloseMaster();
  ASSERT_EQ(writing.wait_for(10s), std::future_status::ready);
  const auto result = writing.get();
  EXPECT_TRUE(result.failed);
  EXPECT_GE(result.written, arrived.size());
  EXPECT_LT(result.written, data.size());
}

}  // namespace
