#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {
// One QApplication for the whole test binary, on the main thread, offscreen unless the
// caller chose a platform.
class QtApplicationEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "widget_tests";
    static char* argv[] = {name, nullptr};
    m_application = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { m_application.reset(); }

 private:
  std::unique_ptr<QApplication> m_application;
};

[[maybe_unused]] const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);
}  // namespace
