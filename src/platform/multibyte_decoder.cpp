#include "platform/multibyte_decoder.h"

#include <bit>
#include <cstring>

#include "platform/code_page_layout.h"

namespace platform {

namespace {

constexpr char16_t kReplacement = u'\uFFFD';
// Longer than any character or shift sequence: an "unfinished" tail this long is garbage.
constexpr std::size_t kMaxTail = 16;
// In multi-byte code pages, ASCII runs at least this long are widened by hand rather than
// handed to the converter; shorter ones are not worth an extra converter call.
constexpr std::size_t kLongAsciiRun = 16;

std::size_t AsciiPrefixLength(const std::uint8_t* data, std::size_t size) {
  std::size_t i = 0;
  for (std::uint64_t eight; i + 8 <= size; i += 8) {
    std::memcpy(&eight, data + i, 8);
    if (eight & 0x8080808080808080ull) break;
  }
  while (i < size && data[i] < 0x80) ++i;
  return i;
}

// Four bytes, each moved into the low half of a 16-bit lane.
std::uint64_t Spread(std::uint64_t fourBytes) {
  fourBytes = (fourBytes | (fourBytes << 16)) & 0x0000FFFF0000FFFFull;
  return (fourBytes | (fourBytes << 8)) & 0x00FF00FF00FF00FFull;
}

// Widens ASCII bytes, eight at a time in plain 64-bit arithmetic.
void WidenAscii(const std::uint8_t* data, std::size_t size, char16_t* to) {
  constexpr bool kLittle = std::endian::native == std::endian::little;
  std::size_t i = 0;
  for (std::uint64_t eight; i + 8 <= size; i += 8) {
    std::memcpy(&eight, data + i, 8);
    const std::uint64_t first = Spread(kLittle ? eight & 0xFFFFFFFF : eight >> 32);
    const std::uint64_t second = Spread(kLittle ? eight >> 32 : eight & 0xFFFFFFFF);
    std::memcpy(to + i, &first, 8);
    std::memcpy(to + i + 4, &second, 8);
  }
  for (; i < size; ++i) to[i] = data[i];
}

}  // namespace

MultiByteDecoder::MultiByteDecoder(unsigned codePage)
    : layout_(&CodePageLayout::Of(codePage)) {
  if (layout_->kind == CodePageLayout::Kind::AsciiMultiByte || layout_->kind == CodePageLayout::Kind::Other) {
    converter_.emplace(codePage, CharsetConverter::Direction::ToUtf16);
  }
}

void MultiByteDecoder::Append(const std::uint8_t* data, std::size_t size, std::u16string& out) {
  if (size == 0) return;
  if (!tail_.empty()) {
    joined_.assign(tail_.begin(), tail_.end());
    joined_.insert(joined_.end(), data, data + size);
    tail_.clear();
    data = joined_.data();
    size = joined_.size();
  }
  switch (layout_->kind) {
    case CodePageLayout::Kind::Utf8:
      DecodeUtf8(data, size, out);
      break;
    case CodePageLayout::Kind::SingleByte:
      DecodeSingleByte(data, size, out);
      break;
    case CodePageLayout::Kind::AsciiMultiByte:
      DecodeAsciiMultiByte(data, size, out);
      break;
    case CodePageLayout::Kind::Other:
      DecodeConverted(data, data + size, true, out);
      break;
  }
}

void MultiByteDecoder::Flush(std::u16string& out) {
  if (converter_) converter_->Finish(out);
  if (!tail_.empty()) out.push_back(kReplacement);
  tail_.clear();
}

void MultiByteDecoder::Reset() {
  tail_.clear();
  if (converter_) converter_->Reset();
}


void MultiByteDecoder::DecodeUtf8(const std::uint8_t* data, std::size_t size, std::u16string& out) {
  const std::size_t old = out.size();
  out.resize(old + size);  // never more units than bytes
  char16_t* to = out.data() + old;
  std::size_t i = 0;
  while (i < size) {
    const std::uint8_t lead = data[i];
    if (lead < 0x80) {
      const std::size_t run = AsciiPrefixLength(data + i, size - i);
      WidenAscii(data + i, run, to);
      to += run;
      i += run;
      continue;
    }
    // The range of the second byte shuts out overlong forms, surrogates and code points
    // past U+10FFFF, so an accepted prefix can always still become a character.
    std::size_t length;
    char32_t code;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
      if (lead == 0xE0) low = 0xA0;
      if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;
    } else {
      *to++ = kReplacement;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    while (j < size && j - i < length && data[j] >= low && data[j] <= high) {
      code = (code << 6) | (data[j] & 0x3F);
      low = 0x80;
      high = 0xBF;
      ++j;
    }
    if (j - i == length) {
      if (code >= 0x10000) {
        code -= 0x10000;
        *to++ = static_cast<char16_t>(0xD800 + (code >> 10));
        *to++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
      } else {
        *to++ = static_cast<char16_t>(code);
      }
    } else if (j == size) {
      Carry(data + i, size - i);
    } else {
      *to++ = kReplacement;  // a cut-short character is one replacement, not one per byte
    }
    i = j;
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
}

void MultiByteDecoder::DecodeSingleByte(const std::uint8_t* data, std::size_t size, std::u16string& out) const {
  const std::size_t old = out.size();
  out.resize(old + size);
  char16_t* to = out.data() + old;
  std::size_t i = 0;
  while (i < size) {
    const std::size_t run = AsciiPrefixLength(data + i, size - i);
    WidenAscii(data + i, run, to + i);
    i += run;
    if (i < size) {
      to[i] = layout_->byteToUnit[data[i]];
      ++i;
    }
  }
}

void MultiByteDecoder::DecodeAsciiMultiByte(const std::uint8_t* data, std::size_t size, std::u16string& out) {
  const std::uint8_t* at = data;
  const std::uint8_t* end = data + size;
  while (at < end) {
    const std::size_t run = AsciiPrefixLength(at, static_cast<std::size_t>(end - at));
    const std::size_t old = out.size();
    out.resize(old + run);
    WidenAscii(at, run, out.data() + old);
    at += run;
    if (at == end) break;
    // A byte below 0x80 may end a character (as its trail byte) but never leaves one
    // open before another such byte, so the second of two such bytes starts a character.
    const std::uint8_t* stretchEnd = end;
    std::size_t lows = 0;
    for (const std::uint8_t* p = at + 1; p < end; ++p) {
      lows = *p < 0x80 ? lows + 1 : 0;
      if (lows == kLongAsciiRun + 1) {
        stretchEnd = p - kLongAsciiRun + 1;
        break;
      }
    }
    DecodeConverted(at, stretchEnd, stretchEnd == end, out);
    at = stretchEnd;
  }
}

void MultiByteDecoder::DecodeConverted(const std::uint8_t* data, const std::uint8_t* end, bool endsInput,
                                       std::u16string& out) {
  while (data < end) {
    const auto stop = converter_->Decode(data, end, out);
    if (stop == CharsetConverter::Stop::Done) break;
    if (stop == CharsetConverter::Stop::Incomplete && endsInput &&
        static_cast<std::size_t>(end - data) < kMaxTail) {
      Carry(data, static_cast<std::size_t>(end - data));
      break;
    }
    out.push_back(kReplacement);
    ++data;
  }
}

void MultiByteDecoder::Carry(const std::uint8_t* data, std::size_t size) { tail_.assign(data, data + size); }

}  // namespace platform
