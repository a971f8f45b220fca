#include "platform/port_watcher.h"

#include <thread>

#include <gtest/gtest.h>

#include "platform/win32/win32_api.h"
#include "support/change_reports.h"

#include <dbt.h>

namespace {

using namespace std::chrono_literals;
using platform::PortWatcher;
using testsupport::ChangeReports;

// The watcher's hidden window, found by its class.
HWND WatcherWindow() { return ::FindWindowW(L"TarvolmPortWatcher", nullptr); }

// Wine sends no device notifications for its COM ports, so the test delivers to the watcher's
// real window what the system sends when a port driver announces a port.
TEST(PortWatcher, PortArrivalsAndRemovalsReachTheWatcherOtherDevicesDoNot) {
  ChangeReports reports;
  auto watcher = PortWatcher::Start(reports.Callback());
  ASSERT_TRUE(watcher);
  const HWND window = WatcherWindow();
  ASSERT_TRUE(window);

  DEV_BROADCAST_PORT_W port{};
  port.dbcp_size = sizeof port;
  port.dbcp_devicetype = DBT_DEVTYP_PORT;
  ::SendMessageW(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&port));
  EXPECT_TRUE(reports.WaitFor(1, 1s));
  std::this_thread::sleep_for(300ms);
  ::SendMessageW(window, WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(&port));
  EXPECT_TRUE(reports.WaitFor(2, 1s));
  std::this_thread::sleep_for(300ms);

  DEV_BROADCAST_VOLUME volume{};
  volume.dbcv_size = sizeof volume;
  volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
  ::SendMessageW(window, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
  ::SendMessageW(window, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
  ::SendMessageW(window, WM_CLOSE, 0, 0);
  std::this_thread::sleep_for(700ms);
  EXPECT_EQ(reports.Count(), 2);
  EXPECT_EQ(reports.Threads().count(std::this_thread::get_id()), 0u);
}

TEST(PortWatcher, StartsAndStopsAgainCleanly) {
  for (int i = 0; i < 3; ++i) {
    auto watcher = PortWatcher::Start([] {});
    ASSERT_TRUE(watcher);
    EXPECT_TRUE(WatcherWindow());
    watcher.reset();
    EXPECT_FALSE(WatcherWindow()) << "the window goes with the watcher";
  }
}

}  // namespace
