#include "support/temp_dir.h"

#include <random>
#include <stdexcept>
#include <string>

namespace testsupport {

TempDir::TempDir() {
  // create_directory fails on an existing name, so a fresh folder is ours alone.
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto candidate = std::filesystem::temp_directory_path() / ("tarvolm-test-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      m_path = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

}  // namespace testsupport
