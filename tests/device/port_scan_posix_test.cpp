#include <fcntl.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/port_holders.h"
#include "platform/ports.h"
#include "platform/text.h"
#include "serial/port_discovery.h"
#include "platform/comm.h"
#include "serial/port_list.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::FindPortHolders;
using testsupport::PtyPair;

// The kernel's record of every open of the given device nodes, by anyone.
class OpenRecorder {
 public:
  explicit OpenRecorder(const std::vector<std::string>& paths) : m_inotify(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    for (const auto& path : paths) {
      if (const int watch = ::inotify_add_watch(m_inotify, path.c_str(), IN_OPEN); watch >= 0) m_paths[watch] = path;
    }
  }
  ~OpenRecorder() { ::close(m_inotify); }
  std::size_t Watched() const { return m_paths.size(); }
  std::vector<std::string> Opened() {
    std::vector<std::string> opened;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t length; (length = ::read(m_inotify, buffer, sizeof buffer)) > 0;) {
      for (ssize_t at = 0; at < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->mask & IN_OPEN) opened.push_back(m_paths[event->wd]);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return opened;
  }

 private:
  const int m_inotify;
  std::map<int, std::string> m_paths;
};

// A program of the system's holding a device open on its standard input, as a terminal
// program of the user's would.
class Holder {
 public:
  explicit Holder(const std::string& device) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, device.c_str(), O_RDWR | O_NOCTTY, 0);
    char sleepName[] = "sleep", seconds[] = "60";
    char* argv[] = {sleepName, seconds, nullptr};
    if (posix_spawnp(&m_pid, "sleep", &actions, nullptr, argv, environ) != 0) m_pid = 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~Holder() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
  }
  pid_t Pid() const { return m_pid; }

 private:
  pid_t m_pid = 0;
};

platform::SerialDeviceInfo PortOn(const PtyPair& line, std::u16string friendly) {
  platform::SerialDeviceInfo device;
  device.devicePath = line.PortName();
  device.friendlyName = std::move(friendly);
  device.listing = platform::DeviceListing::PortName;
  return device;
}

// Waits until the spawned holder has the device open.
std::optional<platform::PortHolder> HolderOnceOpen(const std::u16string& device) {
  for (int i = 0; i < 200; ++i) {
    if (auto holder = FindPortHolders({device}).front()) return holder;
    std::this_thread::sleep_for(10ms);
  }
  return std::nullopt;
}

TEST(PortScan, ListsWhatTheSystemHasAndOpensNoPort) {
  PtyPair free, held;
  const Holder holder(held.SlavePath());
  ASSERT_GT(holder.Pid(), 0);
  ASSERT_TRUE(HolderOnceOpen(held.PortName()));

  std::vector<std::string> nodes{free.SlavePath(), held.SlavePath()};
  for (const auto& entry : fs::directory_iterator("/dev")) {
    if (entry.path().filename().string().starts_with("ttyS")) nodes.push_back(entry.path().string());
  }
  for (const auto& device : platform::ListSerialDevices()) nodes.push_back(text::ToUtf8(device.devicePath));
  OpenRecorder recorder(nodes);
  ASSERT_GE(recorder.Watched(), 2u);

  SetPortDiscovery([&] {
    auto devices = platform::ListSerialDevices();
    devices.push_back(PortOn(free, u"Free (ttyV1)"));
    devices.push_back(PortOn(held, u"Held (ttyV2)"));
    return devices;
  });
  const std::vector<PortRecord> ports = ListPorts();
  SetPortDiscovery({});
  const auto holders = FindPortHolders({free.PortName(), held.PortName()});

  EXPECT_EQ(recorder.Opened(), std::vector<std::string>{}) << "the scan opened a port";
  ASSERT_GE(ports.size(), 2u);
  EXPECT_EQ(ports[ports.size() - 2].devicePath, free.PortName());
  EXPECT_EQ(ports.back().devicePath, held.PortName()) << "a busy port is listed";
  EXPECT_FALSE(holders[0]);
  ASSERT_TRUE(holders[1]);
  EXPECT_EQ(holders[1]->processId, static_cast<std::uint32_t>(holder.Pid()));
  EXPECT_EQ(holders[1]->program, u"sleep");

  // The recorder is not blind: an open is seen.
  EXPECT_TRUE(platform::CommPort::Open(free.PortName()));
  EXPECT_EQ(recorder.Opened(), std::vector<std::string>{free.SlavePath()});
}

// The UUCP convention: LCK..<device name> holding the locker's process id.
class LockFolder {
 public:
  const fs::path& Path() const { return m_folder.Path(); }
  void Lock(const PtyPair& line, const std::string& content) const {
    std::ofstream(m_folder.Path() / ("LCK.." + line.SlavePath().substr(5).replace(3, 1, "_")), std::ios::binary)
        << content;
  }

 private:
  testsupport::TempDir m_folder;
};

std::string TenDigits(pid_t pid) {
  char text[16];
  std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
  return text;
}

TEST(PortHolders, ALockFileOfALivingProcessMakesAPortBusyAStaleOneDoesNot) {
  PtyPair ascii, binary, stale, own, garbage, unlocked;
  const Holder locker("/dev/null");
  ASSERT_GT(locker.Pid(), 0);
  pid_t ended = 0;
  {
    const Holder gone("/dev/null");
    ended = gone.Pid();
  }
  LockFolder locks;
  locks.Lock(ascii, TenDigits(locker.Pid()));
  const std::int32_t pid = locker.Pid();
  locks.Lock(binary, std::string(reinterpret_cast<const char*>(&pid), sizeof pid));
  locks.Lock(stale, TenDigits(ended));
  locks.Lock(own, TenDigits(::getpid()));
  locks.Lock(garbage, "not a number\n");

  const auto holders = FindPortHolders(
      {ascii.PortName(), binary.PortName(), stale.PortName(), own.PortName(), garbage.PortName(), unlocked.PortName()},
      platform::PortHolderSources{{"/nonexistent/lock", locks.Path().string()}});
  ASSERT_EQ(holders.size(), 6u);
  for (int i : {0, 1}) {
    ASSERT_TRUE(holders[i]) << i;
    EXPECT_EQ(holders[i]->processId, static_cast<std::uint32_t>(locker.Pid()));
    EXPECT_EQ(holders[i]->program, u"sleep");
  }
  for (int i : {2, 3, 4, 5}) EXPECT_FALSE(holders[i]) << i;
}

TEST(PortHolders, ThisProcessIsNeverAHolderAndAnAbsentDeviceHasNone) {
  PtyPair line;
  const auto open = platform::CommPort::Open(line.PortName());
  ASSERT_TRUE(open);
  const auto holders = FindPortHolders({line.PortName(), u"/dev/ttyNoSuchPort7", u""});
  EXPECT_EQ(holders, (std::vector<std::optional<platform::PortHolder>>(3)));
}

}  // namespace
