#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "wine/child_process.h"

namespace winetest {

// Wine on an X server of its own, with a prefix of its own whose COM5 leads, through a link
// the tests point at a pseudo-terminal, to the far end of the line.
//
// The wine server runs in the foreground as our child: a daemonised server is a session
// leader and would take the first terminal it opens (the port) as its controlling terminal.
// Wine's background services keep the output of the program that started them, so they are
// started at once with output to the log, never by a program whose output we read.
class WineSession {
 public:
  static constexpr char kPortName[] = "COM5";

  // What is missing to run Wine tests here; empty when nothing is.
  static std::string MissingTools();

  // Creates the prefix on first use (about a minute). Throws std::runtime_error.
  WineSession(std::filesystem::path prefix, std::filesystem::path logDir);
  ~WineSession();
  WineSession(const WineSession&) = delete;
  WineSession& operator=(const WineSession&) = delete;

  // From now on the port opens `device`.
  void PointPortAt(const std::string& device);

  // Starts a Windows program under Wine; `locale` sets LANG and LC_ALL when not empty.
  std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv, const std::string& locale,
                                      bool pipes = false) const;

  const std::filesystem::path& LogDir() const { return m_logDir; }

 private:
  std::vector<std::string> Environment() const;
  // Runs a Windows program to its end with its output in `output`; its exit status.
  int Run(const std::vector<std::string>& argv, const std::filesystem::path& output) const;
  void StartServer();
  void StopServer();
  bool PortMapped() const;

  std::filesystem::path m_prefix;
  std::filesystem::path m_logDir;
  std::filesystem::path m_portLink;
  std::string m_display;
  std::unique_ptr<ChildProcess> m_xserver;
  std::unique_ptr<ChildProcess> m_wineserver;
};

}  // namespace winetest
