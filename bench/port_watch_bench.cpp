// What following the hardware costs: the watcher's CPU while nothing changes, the time from
// a device node appearing to the report, the port list, and the look for who holds a port,
// alone and among as many processes and descriptors as a busy desktop has.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "app/serial_port_app.h"
#include "platform/port_holders.h"
#include "platform/port_watcher.h"
#include "serial/port_list.h"
#include "platform/text.h"
#include "res/resource.h"
#include "support/headless/dialog_headless.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double CpuSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void IdleCpu() {
  auto watcher = platform::PortWatcher::Start([] {});
  if (!watcher) {
    std::printf("idle: no watcher on /dev\n");
    return;
  }
  const double before = CpuSeconds();
  std::this_thread::sleep_for(10s);
  const double used = CpuSeconds() - before;
  std::printf("idle: watcher on /dev for 10 s used %.3f ms of CPU (%.4f %% of a core)\n", used * 1e3,
              used / 10.0 * 100.0);
}

void Latency() {
  testsupport::TempDir dev;
  std::mutex mutex;
  std::condition_variable reported;
  Clock::time_point at;
  auto watcher = platform::PortWatcher::Start(
      [&] {
        const std::lock_guard lock(mutex);
        at = Clock::now();
        reported.notify_all();
      },
      platform::PortWatcher::Options{dev.Path().string(), {}});
  std::vector<double> ms;
  for (int i = 0; i < 15; ++i) {
    std::unique_lock lock(mutex);
    at = {};
    const auto made = Clock::now();
    std::ofstream(dev.Path() / ("ttyUSB" + std::to_string(i))).put('x');
    reported.wait_for(lock, 3s, [&] { return at != Clock::time_point{}; });
    ms.push_back(std::chrono::duration<double, std::milli>(at - made).count());
    lock.unlock();
    std::this_thread::sleep_for(300ms);
  }
  std::sort(ms.begin(), ms.end());
  std::printf("latency: node made to report, 15 plugs: median %.0f ms, worst %.0f ms (quiet 200 ms, longest 600 ms)\n",
              ms[ms.size() / 2], ms.back());
}

double MedianMs(const auto& call) {
  std::vector<double> ms;
  for (int i = 0; i < 21; ++i) {
    const auto start = Clock::now();
    call();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void Scan(const char* setting) {
  std::vector<PortRecord> ports;
  const double scan = MedianMs([&] { ports = ListPorts(); });
  const double holders = MedianMs([] { platform::FindPortHolders({u"/dev/ttyS0"}); });
  std::printf("%s: port list %.2f ms (%zu ports), who holds one port %.2f ms (medians of 21)\n", setting, scan,
              ports.size(), holders);
}

// Processes that each hold descriptors open and wait, as a desktop's do.
std::vector<pid_t> Crowd(int processes, int descriptors) {
  std::vector<pid_t> pids;
  for (int i = 0; i < processes; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) {
      for (int d = 0; d < descriptors; ++d) ::open("/dev/null", O_RDONLY);
      ::pause();
      ::_exit(0);
    }
    if (pid > 0) pids.push_back(pid);
  }
  std::this_thread::sleep_for(500ms);
  return pids;
}

}  // namespace

// Reconnect waiting for a device that is gone: what the program's threads spend meanwhile
// (the window's own thread sleeps; a wait that polled would show here).
void WaitingCpu() {
  testsupport::TempDir folder;
  g_strAppDir = folder.Path().u16string();
  const auto link = folder.Path() / "board";
  testsupport::PtyPair pty;
  std::filesystem::create_symlink(pty.SlavePath(), link);
  HeadlessToolkit toolkit;
  MainWindow dlg;
  if (!dlg.Create()) return;
  HeadlessWindow& w = toolkit.WindowOf(dlg);
  w.Click(IDC_RECONNECT);
  w.Replace(IDC_PORT, text::FromUtf8(link.string()));
  w.Click(IDC_OPEN);
  pty.CloseMaster();
  if (!toolkit.PumpUntil([&] { return dlg.GetConnection().IsWaiting(); })) {
    std::printf("waiting: the wait did not begin\n");
    return;
  }
  const double before = CpuSeconds();
  std::this_thread::sleep_for(5s);
  const double cpu = CpuSeconds() - before;
  std::printf("Reconnect waiting for a gone device: %.3f %% of a core over 5 s (goal <= 0.1 %%)\n", cpu / 5 * 100);
}

int main() {
  IdleCpu();
  WaitingCpu();
  Latency();
  Scan("this machine");
  const auto crowd = Crowd(400, 60);
  Scan("400 more processes with 60 descriptors each");
  for (const pid_t pid : crowd) ::kill(pid, SIGKILL);
  for (const pid_t pid : crowd) ::waitpid(pid, nullptr, 0);
  return 0;
}
