// The receive filter after each chunk against whole-text passes over the same text: for
// each condition in order, every leftmost non-overlapping occurrence goes.
#include <vector>

#include "fuzz/fuzz_input.h"
#include "receive/receive_filter.h"

namespace {
constexpr std::uint8_t kNextChunk = 0xFF;
constexpr std::uint8_t kNextCondition = 0xFE;
constexpr std::uint8_t kClear = 0xFD;        // Clear Receive: the text empties
constexpr std::uint8_t kConditionsSwap = 0xFC;  // the filter's list changes

// A small alphabet, so that conditions match often.
std::u16string Text(std::string_view bytes) {
  std::u16string text;
  for (const char b : bytes) text += static_cast<char16_t>(u'a' + (static_cast<std::uint8_t>(b) & 3));
  return text;
}

void WholeTextPasses(std::u16string& text, const std::vector<std::u16string>& conditions) {
  for (const std::u16string& condition : conditions) {
    if (condition.empty()) continue;
    std::u16string kept;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(condition, from)) != std::u16string::npos; from = at + condition.size()) {
      kept.append(text, from, at - from);
    }
    kept.append(text, from);
    text = std::move(kept);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  std::vector<std::u16string> conditions;
  const std::string_view list = input.Until(kNextChunk);
  fuzz::Input split(reinterpret_cast<const std::uint8_t*>(list.data()), list.size());
  while (!split.Empty()) conditions.push_back(Text(split.Until(kNextCondition)));
  ReceiveFilter filter;
  std::u16string text;
  std::u16string expected;
  while (!input.Empty()) {
    std::string_view chunk = input.Until(kNextChunk);
    if (!chunk.empty() && static_cast<std::uint8_t>(chunk.front()) == kClear) {
      text.clear();
      expected.clear();
      filter.Reset();
      chunk.remove_prefix(1);
    }
    if (!chunk.empty() && static_cast<std::uint8_t>(chunk.front()) == kConditionsSwap && conditions.size() > 1) {
      std::swap(conditions.front(), conditions.back());
      chunk.remove_prefix(1);
    }
    const std::u16string before = text;
    const std::size_t oldLength = text.size();
    text += Text(chunk);
    expected += Text(chunk);
    const std::size_t firstChange = filter.Apply(text, oldLength, conditions);
    WholeTextPasses(expected, conditions);
    FUZZ_CHECK(text == expected);
    FUZZ_CHECK(firstChange <= oldLength && text.compare(0, firstChange, before, 0, firstChange) == 0);
  }
  return 0;
}
