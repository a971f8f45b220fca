#include "platform/port_watcher.h"

#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "support/change_reports.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::PortWatcher;
using testsupport::ChangeReports;

constexpr auto kWithin = 1s;

// A real inotify watch on a folder that stands for /dev.
class PortWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    watcher = PortWatcher::Start(reports.Callback(), PortWatcher::Options{dev.Path().string(), {}});
    ASSERT_TRUE(watcher);
  }
  const fs::path& Dev() const { return dev.Path(); }
  // Waits for the next report, then until the burst behind it is over.
  bool NextReport() {
    const int next = reports.Count() + 1;
    const bool came = reports.WaitFor(next, kWithin);
    std::this_thread::sleep_for(300ms);
    return came;
  }

  testsupport::TempDir dev;
  ChangeReports reports;
  std::unique_ptr<PortWatcher> watcher;
};

TEST_F(PortWatcherTest, PortNodesThatComeAndGoAreReportedOtherNodesAreNot) {
  std::ofstream(Dev() / "ttyUSB7").put('x');
  EXPECT_TRUE(NextReport()) << "made";
  fs::permissions(Dev() / "ttyUSB7", fs::perms::owner_read);
  EXPECT_TRUE(NextReport()) << "given another mode";
  fs::remove(Dev() / "ttyUSB7");
  EXPECT_TRUE(NextReport()) << "removed";
  fs::create_symlink("ttyS0", Dev() / "rfcomm0");
  EXPECT_TRUE(NextReport()) << "a Bluetooth port";

  const int before = reports.Count();
  std::ofstream(Dev() / "sda1").put('x');
  fs::create_directory(Dev() / "input");
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(reports.Count(), before) << "not a port";
}

// serial/by-id is made with the first USB serial adapter and removed with the last; a link
// made in it alone must be seen each time it is back.
TEST_F(PortWatcherTest, TheByIdFolderIsWatchedEachTimeItComesBack) {
  for (int round = 0; round < 2; ++round) {
    fs::create_directories(Dev() / "serial" / "by-id");
    EXPECT_TRUE(NextReport()) << "round " << round;
    fs::create_symlink("../../ttyUSB0", Dev() / "serial" / "by-id" / "usb-FTDI_FT232R_A10-if00-port0");
    EXPECT_TRUE(NextReport()) << "a link in by-id, round " << round;
    fs::remove_all(Dev() / "serial");
    EXPECT_TRUE(NextReport()) << "round " << round;
  }
  // Made before the watcher started.
  fs::create_directories(Dev() / "serial" / "by-id");
  watcher = PortWatcher::Start(reports.Callback(), PortWatcher::Options{Dev().string(), {}});
  fs::create_symlink("../../ttyACM0", Dev() / "serial" / "by-id" / "usb-Arduino_Uno_7573-if00");
  EXPECT_TRUE(NextReport());
}

// A link of the user's own, pointed at a new device when the old one went.
TEST_F(PortWatcherTest, AFollowedLinkIsReportedWhenItChangesItsNeighboursAreNot) {
  testsupport::TempDir home;
  const fs::path link = home.Path() / "my-board";
  fs::create_symlink("/dev/pts/1", link);
  watcher->FollowPath(link.u16string());
  fs::remove(link);
  fs::create_symlink("/dev/pts/2", link);
  EXPECT_TRUE(NextReport());

  const int before = reports.Count();
  std::ofstream(home.Path() / "notes.txt").put('x');
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(reports.Count(), before) << "another name in the folder";

  watcher->FollowPath(u"");
  fs::remove(link);
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(reports.Count(), before) << "no longer followed";
  // Following a name in the device folder leaves its port nodes watched.
  watcher->FollowPath((Dev() / "arduino").u16string());
  fs::create_symlink("ttyACM0", Dev() / "arduino");
  EXPECT_TRUE(NextReport());
  watcher->FollowPath(u"");
  std::ofstream(Dev() / "ttyUSB3").put('x');
  EXPECT_TRUE(NextReport());
}

TEST(PortWatcher, AFolderThatCannotBeWatchedGivesNoWatcher) {
  EXPECT_FALSE(PortWatcher::Start([] {}, PortWatcher::Options{"/nonexistent/tarvolm-dev", {}}));
}

}  // namespace
