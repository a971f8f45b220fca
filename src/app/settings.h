#pragma once

#include <filesystem>
#include <string>

#include "platform/profile.h"

// The settings file Sorvane.ini, section "Setting": the port and line settings as the boxes
// showed them, the auto-send interval, the remembered folder, the receive filter's
// conditions and its Only reserve flag. Written whole, or the interval alone, then marked
// hidden.
struct StoredSettings {
  std::u16string port;
  std::u16string baudRate;
  std::u16string parity;
  std::u16string dataBits;
  std::u16string stopBits;
  std::u16string interval;
  std::u16string folder;  // key Path
  std::u16string filter;
  bool keepOnly = false;  // key _bCheck
};

// A file that exists but cannot be read as settings is left alone: its keys load as their
// defaults and nothing is written to it while the program runs.
class SettingsFile {
 public:
  explicit SettingsFile(std::filesystem::path path) : m_path(std::move(path)) {}
  // Every key, with its default where the file lacks it (no folder: empty).
  StoredSettings Load();
  // What is wrong with the file, as the last Load found it.
  platform::ProfileProblem Problem() const { return m_problem; }
  void Save(const StoredSettings& settings) const;
  void SaveInterval(std::u16string_view interval) const;
  // The keys of the options beyond those above, read and written one at a time: a key the
  // file lacks is added after the others, so older files keep their order.
  std::u16string LoadKey(std::u16string_view key, std::u16string_view fallback) const;
  void SaveKey(std::u16string_view key, std::u16string_view value) const;
  const std::filesystem::path& Path() const { return m_path; }

 private:
  const std::filesystem::path m_path;
  platform::ProfileProblem m_problem = platform::ProfileProblem::None;
};
