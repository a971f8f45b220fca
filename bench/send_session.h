#pragma once

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/serial_port_app.h"
#include "app/main_window.h"
#include "platform/codepage.h"
#include "support/headless/dialog_headless.h"
#include "platform/text.h"
#include "res/resource.h"
#include "serial/port_discovery.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

// The far end of a line, drained by its own thread as fast as it can.
class DrainedLine {
 public:
  DrainedLine()
      : m_reader([this] {
          std::vector<char> buffer(1 << 16);
          while (!m_stop.load()) {
            pollfd p{m_pair.MasterFd(), POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const auto n = ::read(m_pair.MasterFd(), buffer.data(), buffer.size());
            if (n > 0) m_received.fetch_add(static_cast<std::uint64_t>(n));
          }
        }) {}
  ~DrainedLine() {
    m_stop.store(true);
    m_reader.join();
  }
  DrainedLine(const DrainedLine&) = delete;
  DrainedLine& operator=(const DrainedLine&) = delete;

  std::u16string PortName() const { return m_pair.PortName(); }
  std::uint64_t Received() const { return m_received.load(); }

 private:
  testsupport::PtyPair m_pair;
  std::atomic<bool> m_stop{false};
  std::atomic<std::uint64_t> m_received{0};
  std::thread m_reader;
};

// Where the send benchmarks start: the main window on the headless backend, its settings in
// a folder of its own, text in UTF-8, its port open on a drained line.
struct SendSession {
  SendSession() {
    g_strAppDir = text::FromUtf8(folder.Path().string());
    SetPortDiscovery([] { return std::vector<platform::SerialDeviceInfo>{}; });
    platform::SetACPForTesting(65001);
  }
  ~SendSession() {
    if (dlg.GetConnection().IsOpen()) Window().Click(IDC_OPEN);
  }

  // False, with a message, when the window or the port does not open.
  bool Open() {
    if (!dlg.Create()) return false;
    Window().Replace(IDC_PORT, line.PortName());
    Window().Click(IDC_OPEN);
    if (dlg.GetConnection().IsOpen()) return true;
    std::fprintf(stderr, "cannot open %s\n", text::ToUtf8(line.PortName()).c_str());
    return false;
  }
  HeadlessWindow& Window() { return toolkit.WindowOf(dlg); }

  testsupport::TempDir folder;
  HeadlessToolkit toolkit;
  DrainedLine line;
  MainWindow dlg;
};
