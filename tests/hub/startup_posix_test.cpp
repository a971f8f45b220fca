#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/hub_fixture.h"

using StartupMemoryTest = HubTest;

TEST_F(StartupMemoryTest, TheWindowStartsWithoutSettingMemoryAsideForTheReceiveText) {
  const auto addressSpace = [] {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmSize:", 0) == 0) return std::stol(line.substr(7));
    }
    return 0L;
  };
  const long before = addressSpace();
  Start();
  // The text grows with what arrives; 64 MB would be far beyond any window's needs.
  EXPECT_LT(addressSpace() - before, 64L * 1024);
}
