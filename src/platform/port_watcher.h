#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/change_debouncer.h"

namespace platform {

// Watches the system for serial ports that appear or go away, so the port list can follow
// the hardware without a click. It only tells that the set of ports may have changed; what
// changed is for a fresh scan to say. A burst of changes gives one report, at most
// `timing.longest` (plus the system's own delay) after its first change.
//
// Linux: an inotify watch of the device folder for tty*, rfcomm* and ircomm* nodes (made,
// removed, given their owner and mode), and of its serial/by-id folder, which comes and goes
// with the last USB serial device: its parent is watched and the watch re-armed.
// Windows: a hidden window of the watcher's own thread receives the COM-port interface
// arrivals and removals it registered for, and the port broadcasts every top-level window gets.
class PortWatcher {
 public:
  struct Options {
    std::string deviceFolder = "/dev";  // for tests; not used on Windows
    ChangeDebouncer::Timing timing;
  };

  // Runs on a thread of the watcher's own, never on the UI thread: a window hops over with
  // DialogWindow::PostTask. Never runs once the destructor has returned, and must not destroy
  // the watcher itself.
  using Changed = std::function<void()>;

  // nullptr when the system gives no way to watch (no inotify, no window for the
  // notifications); the list then changes on Refresh and drop-down only.
  static std::unique_ptr<PortWatcher> Start(Changed changed, const Options& options);
  static std::unique_ptr<PortWatcher> Start(Changed changed) { return Start(std::move(changed), Options{}); }

  // Thread-safe: also reports when the entry of this path changes in its folder (a link of
  // the user's own made, removed or pointed elsewhere), as a connection waiting for the
  // device behind an identity needs; it replaces the path followed before, and an empty path
  // follows none. A path whose folder does not exist is not followed. Windows: nothing to
  // do, COM names come and go with the notifications.
  void FollowPath(std::u16string_view path);

  // Stops watching and waits for a report under way; a burst not yet reported is dropped.
  ~PortWatcher();
  PortWatcher(const PortWatcher&) = delete;
  PortWatcher& operator=(const PortWatcher&) = delete;

 private:
  class Source;  // the system's events, one kind per backend
  explicit PortWatcher(Changed changed, const Options& options);

  ChangeDebouncer m_debouncer;
  std::unique_ptr<Source> m_source;  // after the debouncer: it goes first, since it notifies it
};

}  // namespace platform
