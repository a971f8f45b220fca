#include "wine/window_driver_client.h"

#include "wine/line_escapes.h"

namespace winetest {
namespace {

using namespace std::chrono_literals;

// Longer than the longest wait a command may be given.
constexpr auto kAnswerTimeout = 60s;

std::string Quoted(const std::string& word) { return '"' + EscapeText(word) + '"'; }

}  // namespace

WindowDriverClient::~WindowDriverClient() {
  m_driver->CloseInput();  // the driver ends at the end of its input
  m_driver->Wait(10s);
}

WindowDriverClient::Reply WindowDriverClient::operator()(const std::vector<std::string>& words) {
  std::string line;
  for (const auto& word : words) line += (line.empty() ? "" : " ") + Quoted(word);
  if (!m_driver->WriteLine(line)) return {false, "the driver has ended", {}};
  const auto answer = m_driver->ReadLine(kAnswerTimeout);
  if (!answer) return {false, "the driver does not answer " + line, {}};

  Reply reply;
  reply.ok = answer->starts_with("ok");
  const auto space = answer->find(' ');
  const std::string raw = space == std::string::npos ? std::string() : answer->substr(space + 1);
  reply.text = UnescapeText(raw);
  std::size_t start = 0;
  for (std::size_t tab; (tab = raw.find('\t', start)) != std::string::npos; start = tab + 1)
    reply.fields.push_back(UnescapeText(raw.substr(start, tab - start)));
  reply.fields.push_back(UnescapeText(raw.substr(start)));
  return reply;
}

}  // namespace winetest
