#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "platform/comm.h"
#include "platform/port_identity.h"
#include "platform/port_watcher.h"
#include "support/change_reports.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::CommPort;
using testsupport::PtyPair;

std::string ReadSome(CommPort& port) {
  std::uint8_t buffer[64];
  if (port.WaitReadable(5000) != CommPort::WaitResult::Readable) return {};
  const int n = port.Read(buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, buffer + n) : std::string();
}

// What a connection does when its device goes and comes back: the identity taken at open,
// the watcher following it, the report, the identity resolved to the new device, opened.
TEST(PortReturn, ADeviceThatComesBackBehindTheTypedLinkIsFoundReportedAndOpened) {
  testsupport::TempDir home;
  const fs::path link = home.Path() / "my-board";
  auto first = std::make_unique<PtyPair>();
  fs::create_symlink(first->SlavePath(), link);

  auto port = CommPort::Open(link.u16string());
  ASSERT_TRUE(port);
  const std::u16string identity = platform::IdentityOfPort(link.u16string());
  ASSERT_TRUE(first->WriteAll("old", 3));
  EXPECT_EQ(ReadSome(*port), "old");

  testsupport::ChangeReports reports;
  auto watcher = platform::PortWatcher::Start(reports.Callback());
  ASSERT_TRUE(watcher);
  watcher->FollowPath(identity);

  PtyPair second;
  first->CloseMaster();  // unplugged
  EXPECT_EQ(port->WaitReadable(5000), CommPort::WaitResult::Gone);
  port.reset();
  first.reset();
  EXPECT_EQ(platform::ResolvePortIdentity(identity), std::nullopt);

  fs::remove(link);
  fs::create_symlink(second.SlavePath(), link);
  ASSERT_TRUE(reports.WaitFor(1, 1s)) << "no report of the link pointed at the new device";
  const auto device = platform::ResolvePortIdentity(identity);
  ASSERT_TRUE(device);
  EXPECT_EQ(*device, second.PortName());
  port = CommPort::Open(*device);
  ASSERT_TRUE(port);
  ASSERT_TRUE(second.WriteAll("new", 3));
  EXPECT_EQ(ReadSome(*port), "new");
}

}  // namespace
