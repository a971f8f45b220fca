#pragma once

#include <memory>
#include <string>
#include <vector>

#include "wine/child_process.h"

namespace winetest {

// Talks to window_driver.exe, started in script mode: one command out, one answer back.
class WindowDriverClient {
 public:
  struct Reply {
    bool ok = false;
    std::string text;                 // the result, or the error message
    std::vector<std::string> fields;  // the result split at its tabs
  };

  explicit WindowDriverClient(std::unique_ptr<ChildProcess> driver) : m_driver(std::move(driver)) {}
  ~WindowDriverClient();
  WindowDriverClient(const WindowDriverClient&) = delete;
  WindowDriverClient& operator=(const WindowDriverClient&) = delete;

  // Runs one command; every word is sent quoted, so it may hold any text.
  Reply operator()(const std::vector<std::string>& words);

 private:
  std::unique_ptr<ChildProcess> m_driver;
};

}  // namespace winetest
