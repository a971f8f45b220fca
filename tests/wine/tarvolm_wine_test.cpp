// The Windows build, run under Wine and driven from outside through its windows, with a
// pseudo-terminal behind COM5 as the far end of the line.

#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "platform/text.h"
#include "platform/window_messages.h"
#include "res/resource.h"
#include "res/string_table.h"
#include "support/byte_pattern.h"
#include "support/file_bytes.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "tarvolm_version.h"
#include "wine/window_driver_client.h"
#include "wine/wine_session.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using winetest::WindowDriverClient;
using winetest::WineSession;

// Paths the build may give; the environment overrides them.
#ifndef TARVOLM_WIN_EXE
#define TARVOLM_WIN_EXE ""
#endif
#ifndef TARVOLM_WINDOW_DRIVER
#define TARVOLM_WINDOW_DRIVER ""
#endif
#ifndef TARVOLM_WIN_DEVICE_TESTS
#define TARVOLM_WIN_DEVICE_TESTS ""
#endif

constexpr auto kExitTimeout = 20s;
constexpr char kWaitMs[] = "10000";
constexpr int kVirtualKeyUp = 0x26;  // VK_UP

std::string Configured(const char* name, const char* built) {
  const char* value = std::getenv(name);
  return value && *value ? value : built;
}

std::string Caption(int englishId, int languageBase = 0) {
  return text::ToUtf8(FindResourceString(englishId + languageBase));
}

std::string Id(int controlId) { return std::to_string(controlId); }

std::string Bytes(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

bool LocaleInstalled(const std::string& locale) {
  const locale_t handle = ::newlocale(LC_ALL_MASK, locale.c_str(), nullptr);
  if (handle) ::freelocale(handle);
  return handle != nullptr;
}

// The settings file's section names and "key=value" lines, in file order.
std::vector<std::string> SettingsLines(const fs::path& file) {
  std::string content = testsupport::ReadFileBytes(file);
  if (content.starts_with("\xFF\xFE")) content = text::ToUtf8(testsupport::FromUtf16LeBytes(content.substr(2)));
  std::vector<std::string> lines;
  std::istringstream stream(content);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

class TarvolmUnderWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_exe = Configured("TARVOLM_WIN_EXE", TARVOLM_WIN_EXE);
    s_driver = Configured("TARVOLM_WINDOW_DRIVER", TARVOLM_WINDOW_DRIVER);
    if (s_exe.empty() || !fs::exists(s_exe) || s_driver.empty() || !fs::exists(s_driver)) {
      s_skip =
          "set TARVOLM_WIN_EXE and TARVOLM_WINDOW_DRIVER to the Windows build of tarvolm.exe and window_driver.exe";
      return;
    }
    if (const auto missing = WineSession::MissingTools(); !missing.empty()) {
      s_skip = "not installed: " + missing;
      return;
    }
    // The logs outlive the run, for a look after a failure; the next run starts them afresh.
    const std::string user = std::to_string(::getuid());
    s_logs = fs::temp_directory_path() / ("tarvolm-wine-logs-" + user);
    fs::remove_all(s_logs);
    fs::create_directories(s_logs);
    const std::string prefix = Configured("TARVOLM_WINEPREFIX", "");
    try {
      s_session = std::make_unique<WineSession>(
          prefix.empty() ? fs::temp_directory_path() / ("tarvolm-wine-" + user) : fs::path(prefix), s_logs);
    } catch (const std::exception& e) {
      s_failure = e.what();
    }
  }

  static void TearDownTestSuite() { s_session.reset(); }

  void SetUp() override {
    if (!s_skip.empty()) GTEST_SKIP() << s_skip;
    ASSERT_TRUE(s_session) << s_failure;
    s_session->PointPortAt(m_line.SlavePath());
  }

  void TearDown() override {
    m_driver.reset();
    m_program.reset();  // kills it if it did not end
    if (HasFailure()) std::cerr << "Wine logs: " << s_logs << '\n';
  }

  // Starts a copy of the program in a fresh folder, so its settings file lands there.
  void StartProgram(const std::string& locale, const std::vector<std::string>& arguments = {}) {
    fs::copy_file(s_exe, m_folder.Path() / "tarvolm.exe");
    std::vector<std::string> argv{(m_folder.Path() / "tarvolm.exe").string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    m_program = s_session->Start(argv, locale);
    m_driver = std::make_unique<WindowDriverClient>(s_session->Start({s_driver}, "", true));
    const auto window = Drive({"window", text::ToUtf8(kProgramTitle), "30000"});
    ASSERT_TRUE(window.ok) << window.text;
  }

  WindowDriverClient::Reply Drive(const std::vector<std::string>& words) { return (*m_driver)(words); }

  // The control's text once it equals `expected`, or the failure with the text it has.
  ::testing::AssertionResult TextBecomes(int control, const std::string& expected, bool contains = false) {
    const auto reply = Drive({"wait-text", Id(control), contains ? "contains" : "equals", expected, kWaitMs});
    if (reply.ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "control " << control << " waiting for \"" << expected
                                         << "\": " << reply.text;
  }

  // A click is posted, so its effect shows only once the program has handled it.
  // `query` is "checked" or "enabled".
  ::testing::AssertionResult BecomesSet(const char* query, int control) {
    const auto until = std::chrono::steady_clock::now() + 10s;
    std::string state;
    do {
      state = Drive({query, Id(control)}).text;
      if (state == "1") return ::testing::AssertionSuccess();
      std::this_thread::sleep_for(20ms);
    } while (std::chrono::steady_clock::now() < until);
    return ::testing::AssertionFailure() << "control " << control << " stays " << query << " " << state;
  }

  void CloseProgram() {
    ASSERT_TRUE(Drive({"close"}).ok);
    EXPECT_EQ(m_program->Wait(kExitTimeout), std::optional<int>(0))
        << "the program does not end after its window closed";
  }

  fs::path SettingsFile() const { return m_folder.Path() / "Sorvane.ini"; }

  static inline std::string s_exe, s_driver, s_skip, s_failure;
  static inline fs::path s_logs;
  static inline std::unique_ptr<WineSession> s_session;

  testsupport::PtyPair m_line;
  testsupport::TempDir m_folder;
  std::unique_ptr<winetest::ChildProcess> m_program;
  std::unique_ptr<WindowDriverClient> m_driver;
};

TEST_F(TarvolmUnderWine, OpensComPortThenReceivesAndSendsInTextAndHex) {
  ASSERT_NO_FATAL_FAILURE(StartProgram("en_US.UTF-8"));

  const auto ports = Drive({"items", Id(IDC_PORT)});
  ASSERT_TRUE(ports.ok) << ports.text;
  EXPECT_NE(std::find(ports.fields.begin(), ports.fields.end(), WineSession::kPortName), ports.fields.end())
      << "the port list reads " << ports.text;
  if (!Drive({"select", Id(IDC_PORT), WineSession::kPortName}).ok)
    Drive({"set-text", Id(IDC_PORT), WineSession::kPortName});
  Drive({"click", Id(IDC_OPEN)});
  ASSERT_TRUE(TextBecomes(IDC_OPEN, Caption(IDS_CLOSE))) << "message box: " << Drive({"box", "0"}).text;
  EXPECT_TRUE(BecomesSet("enabled", IDC_RX_PAUSE));

  // Receiving: characters, then hexadecimal pairs each followed by a space.
  ASSERT_TRUE(m_line.WriteAll("AB\r\nC", 5));
  EXPECT_TRUE(TextBecomes(IDC_RX_EDIT, "AB\r\nC", true));
  EXPECT_TRUE(TextBecomes(IDC_RX_COUNT, "RX:5"));
  Drive({"click", Id(IDC_RX_HEX)});
  ASSERT_TRUE(BecomesSet("checked", IDC_RX_HEX));
  ASSERT_TRUE(m_line.WriteAll("AB", 2));
  EXPECT_TRUE(TextBecomes(IDC_RX_EDIT, "AB\r\nC41 42 ", true));
  EXPECT_TRUE(TextBecomes(IDC_RX_COUNT, "RX:7"));

  // Sending text with Enter: line ends go out as "\n" and the box empties.
  ASSERT_TRUE(Drive({"set-text", Id(IDC_TX_EDIT), "hi\r\nthere"}).ok);
  ASSERT_TRUE(Drive({"focus", Id(IDC_TX_EDIT)}).ok);
  Drive({"key", Id(IDC_TX_EDIT), std::to_string(VK_RETURN)});
  EXPECT_EQ(Bytes(m_line.ReadExactly(8)), "hi\nthere");
  EXPECT_TRUE(TextBecomes(IDC_TX_COUNT, "TX:8"));
  EXPECT_TRUE(TextBecomes(IDC_TX_EDIT, ""));

  // Sending hexadecimal pairs; Ignore Space is checked from the start.
  Drive({"click", Id(IDC_TX_HEX)});
  ASSERT_TRUE(BecomesSet("checked", IDC_TX_HEX));
  ASSERT_TRUE(Drive({"set-text", Id(IDC_TX_EDIT), "41 42 0d"}).ok);
  ASSERT_TRUE(Drive({"focus", Id(IDC_TX_EDIT)}).ok);
  Drive({"key", Id(IDC_TX_EDIT), std::to_string(VK_RETURN)});
  EXPECT_EQ(m_line.ReadExactly(3), (std::vector<std::uint8_t>{0x41, 0x42, 0x0D}));
  EXPECT_TRUE(TextBecomes(IDC_TX_COUNT, "TX:11"));
  EXPECT_TRUE(m_line.ReadUntilQuiet().empty()) << "more was sent than asked";

  Drive({"click", Id(IDC_OPEN)});
  EXPECT_TRUE(TextBecomes(IDC_OPEN, Caption(IDS_OPEN)));
  EXPECT_FALSE(Drive({"box", "0"}).ok) << "unexpected message box";
  CloseProgram();

  // Written at the first start and again when the port opened, in this order of keys; the
  // line control's keys come after the others, on open.
  const std::regex expected[] = {std::regex(R"(\[Setting\])"),  std::regex("COMPORT=COM5"), std::regex("BaudRate=9600"),
                                 std::regex("Parity=NONE"),     std::regex("DataBits=8"),   std::regex("StopBits=1"),
                                 std::regex("Interval=1000"), std::regex("Path=.+"),      std::regex("Filter="),
                                 std::regex("_bCheck=0"),       std::regex("FlowControl=None"),
                                 std::regex("DTR=1"),           std::regex("RTS=1")};
  const auto lines = SettingsLines(SettingsFile());
  ASSERT_EQ(lines.size(), std::size(expected)) << "settings file " << SettingsFile();
  for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(std::regex_match(lines[i], expected[i])) << lines[i];
}

TEST_F(TarvolmUnderWine, IntervalArrowsWritePlainDigits) {
  ASSERT_NO_FATAL_FAILURE(StartProgram("en_US.UTF-8"));
  ASSERT_TRUE(Drive({"set-text", Id(IDC_TX_INTERVAL), "999"}).ok);
  ASSERT_TRUE(Drive({"focus", Id(IDC_TX_INTERVAL)}).ok);
  Drive({"key", Id(IDC_TX_INTERVAL), std::to_string(kVirtualKeyUp)});
  EXPECT_TRUE(TextBecomes(IDC_TX_INTERVAL, "1000"));
  CloseProgram();
}

TEST_F(TarvolmUnderWine, MissingPortIsReportedInMessageBox) {
  ASSERT_NO_FATAL_FAILURE(StartProgram("en_US.UTF-8"));
  Drive({"set-text", Id(IDC_PORT), "COM9"});
  Drive({"click", Id(IDC_OPEN)});
  const auto box = Drive({"box", kWaitMs});
  ASSERT_TRUE(box.ok) << box.text;
  EXPECT_EQ(box.fields.back(), "Open COM9 error");
  ASSERT_TRUE(Drive({"dismiss"}).ok);
  EXPECT_EQ(Drive({"text", Id(IDC_OPEN)}).text, Caption(IDS_OPEN));
  CloseProgram();
}

TEST_F(TarvolmUnderWine, ThePortGivenOnTheCommandLineIsShownAndOpenedWithOpen) {
  ASSERT_NO_FATAL_FAILURE(StartProgram("en_US.UTF-8", {WineSession::kPortName, "--open"}));
  ASSERT_TRUE(TextBecomes(IDC_OPEN, Caption(IDS_CLOSE))) << "message box: " << Drive({"box", "0"}).text;
  EXPECT_EQ(Drive({"text", Id(IDC_PORT)}).text, WineSession::kPortName);
  ASSERT_TRUE(m_line.WriteAll("up", 2));
  EXPECT_TRUE(TextBecomes(IDC_RX_EDIT, "up", true));
  CloseProgram();
}

// A GUI program started from a console answers there, without a window.
TEST_F(TarvolmUnderWine, VersionAndAnUnknownOptionAnswerOnTheConsole) {
  const auto version = s_session->Start({s_exe, "--version"}, "", true);
  EXPECT_EQ(version->ReadLine(20s), std::optional<std::string>(std::string("Tarvolm ") + TARVOLM_VERSION));
  EXPECT_EQ(version->Wait(kExitTimeout), std::optional<int>(0));
  const auto refused = s_session->Start({s_exe, "--no-such-option"}, "", true);
  EXPECT_EQ(refused->Wait(kExitTimeout), std::optional<int>(2));
}

// The Win32 comm device on COM5: the Windows device test plays the port end and announces
// each step with a marker; this end checks the termios Wine made of its DCB, stops the line
// with XOFF and releases it.
TEST_F(TarvolmUnderWine, TheCommDevicesFlowControlReachesTheLineAndXoffHoldsItsWrites) {
  const std::string tests = Configured("TARVOLM_WIN_DEVICE_TESTS", TARVOLM_WIN_DEVICE_TESTS);
  if (tests.empty() || !fs::exists(tests)) GTEST_SKIP() << "set TARVOLM_WIN_DEVICE_TESTS to device_tests.exe";
  ::setenv("TARVOLM_FAR_END_PORT", WineSession::kPortName, 1);
  auto device = s_session->Start({tests, "--gtest_filter=CommPortWin32OnALine.*"}, "");
  ::unsetenv("TARVOLM_FAR_END_PORT");
  const auto flags = [&] {
    termios t{};
    EXPECT_EQ(tcgetattr(m_line.MasterFd(), &t), 0);
    return std::make_pair(t.c_cflag & CRTSCTS, t.c_iflag & (IXON | IXOFF));
  };
  using Flags = std::pair<tcflag_t, tcflag_t>;

  ASSERT_EQ(Bytes(m_line.ReadExactly(1, 60s)), "1");
  EXPECT_EQ(flags(), Flags(CRTSCTS, 0));
  ASSERT_TRUE(m_line.WriteAll("a", 1));

  ASSERT_EQ(Bytes(m_line.ReadExactly(1)), "2");
  EXPECT_EQ(flags(), Flags(0, IXON | IXOFF));
  termios t{};
  ASSERT_EQ(tcgetattr(m_line.MasterFd(), &t), 0);
  EXPECT_EQ(t.c_cc[VSTART], 0x11);
  EXPECT_EQ(t.c_cc[VSTOP], 0x13);
  ASSERT_TRUE(m_line.WriteAll("\x13H", 2));
  EXPECT_EQ(Bytes(m_line.ReadUntilQuiet(500ms)), "") << "XOFF holds the write";
  ASSERT_TRUE(m_line.WriteAll("\x11", 1));
  EXPECT_EQ(m_line.ReadExactly(4096), testsupport::Pattern(4096));

  ASSERT_EQ(Bytes(m_line.ReadExactly(1)), "3");
  EXPECT_EQ(flags(), Flags(0, 0));
  EXPECT_EQ(device->Wait(60s), std::optional<int>(0)) << "the device test failed, see " << s_logs;
}

struct Language {
  const char* locale;
  int base;  // added to the English string ids
};

class TarvolmLanguageUnderWine : public TarvolmUnderWine, public ::testing::WithParamInterface<Language> {};

TEST_P(TarvolmLanguageUnderWine, CaptionsFollowTheLocale) {
  const auto [locale, base] = GetParam();
  if (!LocaleInstalled(locale)) GTEST_SKIP() << locale << " is not generated (locale-gen)";
  ASSERT_NO_FATAL_FAILURE(StartProgram(locale));
  EXPECT_EQ(Drive({"text", Id(IDC_OPEN)}).text, Caption(IDS_OPEN, base));
  EXPECT_EQ(Drive({"text", Id(IDC_GRP_SETTING)}).text, Caption(IDS_SETTING, base));
  EXPECT_EQ(Drive({"text", Id(IDC_GRP_RXCTRL)}).text, Caption(IDS_RX_CONTROL, base));
  EXPECT_EQ(Drive({"text", Id(IDC_SEND)}).text, Caption(IDS_SEND_BUTTON, base));
  EXPECT_EQ(Drive({"text", Id(IDC_RX_COUNT)}).text, "RX:0");
  CloseProgram();
}

INSTANTIATE_TEST_SUITE_P(Locales, TarvolmLanguageUnderWine,
                         ::testing::Values(Language{"en_US.UTF-8", 0}, Language{"zh_CN.UTF-8", 100},
                                           Language{"zh_TW.UTF-8", 200}),
                         [](const auto& info) { return std::string(info.param.locale).substr(0, 5); });

}  // namespace
