#pragma once

namespace platform {

// Has the UI thread call one handler soon: how a worker's hand-over reaches the window.
// Several wakes asked for before the handler runs may come as one call, so the handler
// takes everything that is waiting. The waker is destroyed on the UI thread, and no call
// of the handler follows its destruction. Wake may be called from any thread while the
// waker exists, Resume from the UI thread only. Both return false when the request could not be made.
class Waker {
 public:
  virtual ~Waker() = default;
  // Before the painting and input the UI thread has waiting, where the platform can.
  virtual bool Wake() = 0;
  // After the painting, input and timers already waiting: for a handler that ran out of
  // its time and comes back for the rest.
  virtual bool Resume() = 0;
};

}  // namespace platform
