#include "platform/change_debouncer.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "support/change_reports.h"

namespace {

using namespace std::chrono_literals;
using platform::ChangeDebouncer;
using testsupport::ChangeReports;

constexpr ChangeDebouncer::Timing kTiming{100ms, 400ms};

// The test's own thread stands in for the system's event source.
TEST(ChangeDebouncer, ABurstGivesOneReportOnTheDebouncersThreadAndALaterBurstAnother) {
  ChangeReports reports;
  ChangeDebouncer debouncer(reports.Callback(), kTiming);
  std::thread source([&] {
    for (int i = 0; i < 50; ++i) debouncer.Notify();
  });
  const auto sourceId = source.get_id();
  source.join();
  ASSERT_TRUE(reports.WaitFor(1, 1s));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(reports.Count(), 1);
  ASSERT_EQ(reports.Threads().size(), 1u);
  EXPECT_NE(*reports.Threads().begin(), std::this_thread::get_id());
  EXPECT_NE(*reports.Threads().begin(), sourceId);

  debouncer.Notify();
  EXPECT_TRUE(reports.WaitFor(2, 1s));
}

TEST(ChangeDebouncer, ABurstThatDoesNotEndIsReportedAsItGoes) {
  ChangeReports reports;
  ChangeDebouncer debouncer(reports.Callback(), kTiming);
  const auto end = std::chrono::steady_clock::now() + 1300ms;
  while (std::chrono::steady_clock::now() < end) {
    debouncer.Notify();
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_GE(reports.Count(), 2) << "events 20 ms apart never go quiet for 100 ms";
}

TEST(ChangeDebouncer, StoppingDropsAPendingBurstAndWaitsForAReportUnderWay) {
  ChangeReports reports;
  {
    ChangeDebouncer debouncer(reports.Callback(), kTiming);
    debouncer.Notify();
  }
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(reports.Count(), 0);

  std::atomic<bool> started{false}, finished{false};
  {
    ChangeDebouncer debouncer(
        [&] {
          started = true;
          std::this_thread::sleep_for(200ms);
          finished = true;
        },
        kTiming);
    debouncer.Notify();
    while (!started) std::this_thread::sleep_for(5ms);
  }
  EXPECT_TRUE(finished);
}

}  // namespace
