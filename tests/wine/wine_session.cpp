#include "wine/wine_session.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace winetest {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kBootTimeout = 300s;  // creating a prefix takes about a minute
constexpr auto kRunTimeout = 60s;
constexpr char kPortsKey[] = R"(HKLM\Software\Wine\Ports)";

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');)
    if (!folder.empty() && ::access((fs::path(folder) / program).c_str(), X_OK) == 0) return true;
  return false;
}

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

std::string WineSession::MissingTools() {
  std::string missing;
  for (const char* tool : {"wine", "wineserver", "Xvfb"})
    if (!OnPath(tool)) missing += std::string(missing.empty() ? "" : ", ") + tool;
  return missing;
}

WineSession::WineSession(fs::path prefix, fs::path logDir)
    : m_prefix(std::move(prefix)), m_logDir(std::move(logDir)), m_portLink(m_prefix / "tarvolm-com5") {
  // -displayfd picks a free display and tells us its number.
  m_xserver = std::make_unique<ChildProcess>(
      std::vector<std::string>{"Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
      ChildProcess::Options{{}, (m_logDir / "xvfb.log").string(), true});
  const auto display = m_xserver->ReadLine(30s);
  if (!display || display->empty())
    throw std::runtime_error("Xvfb did not start, see " + (m_logDir / "xvfb.log").string());
  m_display = ":" + *display;

  StopServer();  // a server left running by an earlier run may hold other settings
  if (!fs::exists(m_prefix / "system.reg")) {
    fs::create_directories(m_prefix);
    Run({"wine", "wineboot", "-i"}, m_logDir / "wineboot.log");
    StopServer();
  }
  StartServer();
  // mountmgr reads the port table only when the services start.
  if (!PortMapped()) {
    Run({"wine", "reg", "add", kPortsKey, "/v", kPortName, "/d", m_portLink.string(), "/f"}, m_logDir / "reg.log");
    StopServer();
    StartServer();
    if (!PortMapped())
      throw std::runtime_error(std::string("Wine does not take ") + kPortName + ", see the logs in " +
                               m_logDir.string());
  }
}

WineSession::~WineSession() {
  StopServer();
  m_xserver.reset();
}

void WineSession::PointPortAt(const std::string& device) {
  const fs::path fresh = m_portLink.string() + ".new";
  fs::remove(fresh);
  fs::create_symlink(device, fresh);
  fs::rename(fresh, m_portLink);  // never a moment without a link
}

std::unique_ptr<ChildProcess> WineSession::Start(const std::vector<std::string>& argv, const std::string& locale,
                                                 bool pipes) const {
  auto environment = Environment();
  if (!locale.empty()) {
    environment.push_back("LANG=" + locale);
    environment.push_back("LC_ALL=" + locale);
  }
  std::vector<std::string> command{"wine"};
  command.insert(command.end(), argv.begin(), argv.end());
  const auto log = m_logDir / (fs::path(argv.at(0)).stem().string() + ".log");
  return std::make_unique<ChildProcess>(command, ChildProcess::Options{environment, log.string(), pipes});
}

std::vector<std::string> WineSession::Environment() const {
  return {"WINEPREFIX=" + m_prefix.string(), "DISPLAY=" + m_display, "WINEDEBUG=-all",
          "WINEDLLOVERRIDES=mscoree,mshtml=",  // no offer to install Mono or Gecko
          "WAYLAND_DISPLAY="};
}

int WineSession::Run(const std::vector<std::string>& argv, const fs::path& output) const {
  ChildProcess process(argv, {Environment(), output.string(), false});
  const auto status = process.Wait(argv.at(1) == "wineboot" ? kBootTimeout : kRunTimeout);
  if (!status) throw std::runtime_error("wine " + argv.at(1) + " does not end, see " + output.string());
  return *status;
}

void WineSession::StartServer() {
  m_wineserver = std::make_unique<ChildProcess>(
      std::vector<std::string>{"wineserver", "--persistent", "--foreground"},
      ChildProcess::Options{Environment(), (m_logDir / "wineserver.log").string(), false});
  Run({"wine", "wineboot"}, m_logDir / "services.log");  // starts the services with output to a log
}

void WineSession::StopServer() {
  ChildProcess kill({"wineserver", "--kill"}, {Environment(), (m_logDir / "wineserver.log").string(), false});
  kill.Wait(kRunTimeout);
  if (m_wineserver) m_wineserver->Wait(kRunTimeout);
  m_wineserver.reset();
}

bool WineSession::PortMapped() const {
  const auto output = m_logDir / "ports.txt";
  Run({"wine", "reg", "query", kPortsKey, "/v", kPortName}, output);
  return ReadAll(output).find(m_portLink.string()) != std::string::npos;
}

}  // namespace winetest
