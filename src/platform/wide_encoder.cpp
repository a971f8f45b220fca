#include "platform/wide_encoder.h"

#include "platform/code_page_layout.h"
#include "platform/text.h"

namespace platform {

namespace {

constexpr char kDefaultChar = '?';

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

}  // namespace

WideEncoder::WideEncoder(unsigned codePage) : layout_(&CodePageLayout::Of(codePage)) {
  if (layout_->kind != CodePageLayout::Kind::Utf8) {
    converter_.emplace(codePage, CharsetConverter::Direction::FromUtf16);
  }
}

void WideEncoder::Append(std::u16string_view text, std::string& out) {
  if (text.empty()) return;
  if (heldHighSurrogate_ != 0) {
    joined_.assign(1, heldHighSurrogate_);
    joined_.append(text);
    heldHighSurrogate_ = 0;
    text = joined_;
  }
  if (IsHighSurrogate(text.back())) {
    heldHighSurrogate_ = text.back();
    text.remove_suffix(1);
  }
  switch (layout_->kind) {
    case CodePageLayout::Kind::Utf8:
      out += text::ToUtf8(text);
      break;
    case CodePageLayout::Kind::SingleByte:
    case CodePageLayout::Kind::AsciiMultiByte:
      EncodeAsciiBased(text, out);
      break;
    case CodePageLayout::Kind::Other:
      EncodeConverted(text.data(), text.data() + text.size(), out);
      break;
  }
}

void WideEncoder::Flush(std::string& out) {
  if (heldHighSurrogate_ != 0) {
    if (layout_->kind == CodePageLayout::Kind::Utf8) {
      out += "\xEF\xBF\xBD";  // U+FFFD
    } else {
      Replace(heldHighSurrogate_, out);
    }
    heldHighSurrogate_ = 0;
  }
  if (converter_) converter_->Finish(out);
}

void WideEncoder::Reset() {
  heldHighSurrogate_ = 0;
  if (converter_) converter_->Reset();
}


// ASCII stands for itself in these code pages; only the other stretches need the converter.
void WideEncoder::EncodeAsciiBased(std::u16string_view text, std::string& out) {
  std::size_t i = 0;
  while (i < text.size()) {
    for (; i < text.size() && text[i] < 0x80; ++i) out.push_back(static_cast<char>(text[i]));
    const std::size_t start = i;
    while (i < text.size() && text[i] >= 0x80) ++i;
    EncodeConverted(text.data() + start, text.data() + i, out);
  }
}

void WideEncoder::EncodeConverted(const char16_t* text, const char16_t* end, std::string& out) {
  while (text < end) {
    if (converter_->Encode(text, end, out) == CharsetConverter::Stop::Done) break;
    // One '?' per character: a surrogate pair the code page lacks is skipped whole.
    const bool pair = end - text >= 2 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]);
    Replace(pair ? 0x10000 + ((char32_t{text[0]} - 0xD800) << 10) + (text[1] - 0xDC00) : text[0], out);
    text += pair ? 2 : 1;
  }
}

void WideEncoder::Replace(char32_t character, std::string& out) {
  if (replaced_.count++ == 0) replaced_.first = character;
  out.push_back(kDefaultChar);
}

}  // namespace platform
