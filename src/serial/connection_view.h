#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/comm.h"
#include "platform/waker.h"
#include "serial/line_settings.h"

// What the connection needs from the window: the port box and the line settings, the
// Open button and what it locks, messages and the language, a waker for the reader's
// hand-over, and who to tell that a port opened or closed.
class ConnectionView {
 public:
  virtual ~ConnectionView() = default;

  virtual std::u16string PortText() const = 0;
  virtual void SetPortText(std::u16string_view text) = 0;
  virtual bool ReconnectChecked() const = 0;
  virtual bool ReceivePaused() const = 0;  // a port opened again stays paused then
  virtual LineSettingTexts LineTexts() const = 0;  // with the flow control chosen
  virtual platform::OutputLines OutputLinesChecked() const = 0;  // the DTR and RTS boxes
  // Replaces the port list (the box may lose its text, as the platform's combos do).
  virtual void SetPortEntries(const std::vector<std::u16string>& entries) = 0;
  // Selects the first entry that begins with `text` (no case); false when none does.
  virtual bool SelectPortEntry(std::u16string_view text) = 0;
  virtual void SelectFirstPortEntry() = 0;
  // Open: the Open button reads `buttonCaption`, the port and line settings and Refresh are
  // locked, Pause and Break work; closed the other way round.
  virtual void ShowPortOpen(bool open, std::u16string_view buttonCaption) = 0;
  // The RTS box is off limits while the driver owns the line (RTS/CTS flow control).
  virtual void EnableRtsBox(bool enable) = 0;
  // The CTS, DSR, DCD and RI indicators; nullopt greys them (closed, or no modem lines).
  virtual void ShowInputLines(const std::optional<platform::InputLines>& lines) = 0;
  // Beside the line controls: the port gone, or waited for; empty while all is well.
  virtual void ShowPortStatus(std::u16string_view text) = 0;

  virtual void ShowMessage(std::u16string_view text) = 0;
  virtual std::u16string Text(int stringId) = 0;  // in the window's language
  virtual std::unique_ptr<platform::Waker> CreateWaker(std::function<void()> handler) = 0;

  // The port is open with the line settings shown; writes go to `port` until PortClosed.
  virtual void PortOpened(const std::shared_ptr<platform::CommPort>& port) = 0;
  virtual void PortClosed() = 0;
};
