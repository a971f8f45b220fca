#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

// The last ten files sent, newest first. Paths are the keys; names are what the list
// shows, and may repeat.
class FileHistory {
 public:
  struct Entry {
    std::u16string name;
    std::u16string path;
  };
  void Add(const std::u16string& name, const std::u16string& path);
  const Entry* At(int index) const;  // null outside the list
  std::vector<std::u16string> Names() const;
  std::size_t Size() const { return m_entries.size(); }

 private:
  std::deque<Entry> m_entries;
};
