#include "platform/port_watcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>

#include "platform/text.h"

namespace platform {
namespace {

constexpr std::uint32_t kNodeEvents = IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO;
// One folder may be watched for two reasons (a followed link in the device folder): a watch
// only ever widens what its folder reports.
constexpr std::uint32_t kFolder = IN_ONLYDIR | IN_MASK_ADD;

// The names in the device folder that can be serial ports (what /sys/class/tty lists with a
// device behind it), and the folder the stable links live in.
bool MayBeSerialNode(std::string_view name) {
  return name.starts_with("tty") || name.starts_with("rfcomm") || name.starts_with("ircomm") || name == "serial";
}

}  // namespace

class PortWatcher::Source {
 public:
  // nullptr when inotify cannot be had.
  static std::unique_ptr<Source> Create(ChangeDebouncer& debouncer, const std::string& deviceFolder) {
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0) return nullptr;
    const int stop = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (stop < 0) {
      ::close(inotify);
      return nullptr;
    }
    std::unique_ptr<Source> source(new Source(debouncer, deviceFolder, inotify, stop));
    source->m_deviceWatch = ::inotify_add_watch(inotify, deviceFolder.c_str(), kNodeEvents | kFolder);
    if (source->m_deviceWatch < 0) return nullptr;
    source->ArmSerialFolder();
    source->m_thread = std::thread([s = source.get()] { s->Run(); });
    return source;
  }

  ~Source() {
    if (m_thread.joinable()) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const auto written = ::write(m_stop, &one, sizeof one);
      m_thread.join();
    }
    ::close(m_stop);
    ::close(m_inotify);
  }
  Source(const Source&) = delete;
  Source& operator=(const Source&) = delete;

  void Follow(const std::string& path) {
    const std::lock_guard lock(m_mutex);
    if (m_followWatch >= 0 && m_followWatch != m_deviceWatch && m_followWatch != m_serialWatch &&
        m_followWatch != m_byIdWatch) {
      ::inotify_rm_watch(m_inotify, m_followWatch);
    }
    m_followWatch = -1;
    m_followName.clear();
    if (path.empty()) return;
    const std::filesystem::path followed(path);
    m_followWatch = ::inotify_add_watch(m_inotify, followed.parent_path().c_str(), kNodeEvents | kFolder);
    if (m_followWatch >= 0) m_followName = followed.filename().string();
  }

 private:
  Source(ChangeDebouncer& debouncer, const std::string& deviceFolder, int inotify, int stop)
      : m_debouncer(debouncer),
        m_serialFolder(deviceFolder + "/serial"),
        m_byIdFolder(deviceFolder + "/serial/by-id"),
        m_inotify(inotify),
        m_stop(stop) {}

  // serial/ and serial/by-id/ are made with the first USB serial device and removed with the
  // last: each is watched from its parent's creation event, and looked for right after its
  // parent's watch is set, in case it was made in between.
  void ArmSerialFolder() {
    m_serialWatch = ::inotify_add_watch(m_inotify, m_serialFolder.c_str(), IN_CREATE | IN_MOVED_TO | kFolder);
    if (m_serialWatch >= 0) ArmByIdFolder();
  }
  void ArmByIdFolder() { m_byIdWatch = ::inotify_add_watch(m_inotify, m_byIdFolder.c_str(), kNodeEvents | kFolder); }

  // True when the event may change the port list.
  bool Take(const inotify_event& event) {
    const std::string_view name = event.len ? std::string_view(event.name) : std::string_view();
    if (event.mask & IN_IGNORED) {  // the folder went
      if (event.wd == m_serialWatch) m_serialWatch = -1;
      if (event.wd == m_byIdWatch) m_byIdWatch = -1;
      if (event.wd == m_followWatch) m_followWatch = -1;
      return false;
    }
    if (event.wd == m_followWatch && name == m_followName) return true;
    const bool made = event.mask & (IN_CREATE | IN_MOVED_TO);
    if (event.wd == m_deviceWatch) {
      if (!MayBeSerialNode(name)) return false;
      if (name == "serial" && made) ArmSerialFolder();
      return true;
    }
    if (event.wd == m_serialWatch) {
      if (name != "by-id") return false;
      ArmByIdFolder();
      return true;
    }
    return event.wd == m_byIdWatch;
  }

  void Run() {
    pollfd fds[2] = {{m_inotify, POLLIN, 0}, {m_stop, POLLIN, 0}};
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      if (::poll(fds, 2, -1) < 0 && errno != EINTR) return;
      if (fds[1].revents) return;
      bool changed = false;
      const std::lock_guard lock(m_mutex);
      for (;;) {
        const ssize_t length = ::read(m_inotify, buffer, sizeof buffer);
        if (length <= 0) break;
        for (ssize_t at = 0; at < length;) {
          const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
          // An overflowed queue lost events: the list must be looked at again.
          changed |= (event->mask & IN_Q_OVERFLOW) || Take(*event);
          at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
      }
      if (changed) m_debouncer.Notify();
    }
  }

  ChangeDebouncer& m_debouncer;
  const std::string m_serialFolder;
  const std::string m_byIdFolder;
  const int m_inotify;
  const int m_stop;
  int m_deviceWatch = -1;
  int m_serialWatch = -1;
  int m_byIdWatch = -1;
  int m_followWatch = -1;
  std::string m_followName;
  std::mutex m_mutex;  // the watches: the thread re-arms them, Follow changes one
  std::thread m_thread;
};

PortWatcher::PortWatcher(Changed changed, const Options& options) : m_debouncer(std::move(changed), options.timing) {}

PortWatcher::~PortWatcher() = default;

void PortWatcher::FollowPath(std::u16string_view path) { m_source->Follow(text::ToUtf8(path)); }

std::unique_ptr<PortWatcher> PortWatcher::Start(Changed changed, const Options& options) {
  std::unique_ptr<PortWatcher> watcher(new PortWatcher(std::move(changed), options));
  watcher->m_source = Source::Create(watcher->m_debouncer, options.deviceFolder);
  if (!watcher->m_source) return nullptr;
  return watcher;
}

}  // namespace platform
