#pragma once

#include <dirent.h>

#include <string>

namespace testsupport {

// The entries of a /proc/self folder ("fd", "task"), to see descriptors or threads left behind.
inline int ProcessEntries(const char* folder) {
  int count = 0;
  if (DIR* dir = opendir((std::string("/proc/self/") + folder).c_str())) {
    while (const dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
    closedir(dir);
  }
  return count;
}

}  // namespace testsupport
