#include "send/file_history.h"

#include <algorithm>

namespace {
constexpr std::size_t kFileHistorySize = 10;
}  // namespace

void FileHistory::Add(const std::u16string& name, const std::u16string& path) {
  std::erase_if(m_entries, [&path](const Entry& entry) { return entry.path == path; });
  m_entries.push_front(Entry{name, path});
  if (m_entries.size() > kFileHistorySize) m_entries.pop_back();
}

const FileHistory::Entry* FileHistory::At(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size()) return nullptr;
  return &m_entries[static_cast<std::size_t>(index)];
}

std::vector<std::u16string> FileHistory::Names() const {
  std::vector<std::u16string> names;
  for (const Entry& entry : m_entries) names.push_back(entry.name);
  return names;
}
