#include "send/file_text_converter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"
#include "support/file_bytes.h"
#include "support/sent_text.h"

namespace {

// What a file of this text must give, whole: the Send command's line-end rule, then the
// code page.
using testsupport::SentText;

std::string ConvertInPieces(FileEncoding encoding, unsigned codePage, const std::string& file,
                            const std::vector<std::size_t>& cuts) {
  FileTextConverter converter(encoding, codePage);
  std::string sent;
  std::string piece;
  std::size_t start = 0;
  for (std::size_t end : cuts) {
    converter.Convert(reinterpret_cast<const std::uint8_t*>(file.data()) + start, end - start, piece);
    sent += piece;
    start = end;
  }
  converter.Convert(reinterpret_cast<const std::uint8_t*>(file.data()) + start, file.size() - start, piece);
  sent += piece;
  converter.Finish(piece);
  return sent + piece;
}

using testsupport::Utf16LeBytes;

// Texts crowded with what a cut can split: runs of "\r" before "\n", characters of several
// bytes, a surrogate pair.
std::u16string RandomText(std::mt19937& random) {
  static const std::u16string kPieces[] = {u"\r", u"\r", u"\n", u"a", u"\u00E9", u"\u4E2D", u"\U0001F600", u"\r\r\n"};
  std::u16string text;
  const int length = std::uniform_int_distribution<int>(0, 24)(random);
  for (int i = 0; i < length; ++i) text += kPieces[std::uniform_int_distribution<std::size_t>(0, 7)(random)];
  return text;
}

std::vector<std::size_t> RandomCuts(std::mt19937& random, std::size_t size) {
  std::vector<std::size_t> cuts;
  for (std::size_t at = 0; size > 0;) {
    at += std::uniform_int_distribution<std::size_t>(0, 4)(random);
    if (at > size) break;
    cuts.push_back(at);
  }
  return cuts;
}

TEST(FileTextConverter, WhereTheFileIsCutNeverChangesWhatIsSent) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    const std::u16string text = RandomText(random);
    for (unsigned codePage : {65001u, 936u}) {
      const std::string file = platform::WideToMultiByte(codePage, text);
      EXPECT_EQ(ConvertInPieces(FileEncoding::CodePage, codePage, file, RandomCuts(random, file.size())),
                SentText(codePage, text))
          << "code page " << codePage << ", round " << round;
    }
    const std::string file = Utf16LeBytes(text);
    EXPECT_EQ(ConvertInPieces(FileEncoding::Utf16Le, 65001, file, RandomCuts(random, file.size())),
              SentText(65001, text))
        << "UTF-16, round " << round;
  }
}

TEST(FileTextConverter, AnUnfinishedCharacterAtTheEndBecomesTheReplacement) {
  EXPECT_EQ(ConvertInPieces(FileEncoding::CodePage, 936, "a\xD6", {1}), "a?");
  EXPECT_EQ(ConvertInPieces(FileEncoding::Utf16Le, 936, Utf16LeBytes(u"ab") + "c", {3}), "ab?");
  // A high surrogate with nothing after it, and a "\r" that no "\n" followed.
  EXPECT_EQ(ConvertInPieces(FileEncoding::Utf16Le, 936, Utf16LeBytes(u"a\r\r\xD83D"), {2}), "a\r\r?");
}

TEST(FileTextConverter, ZeroBytesAreTextLikeAnyOther) {
  const std::string file("a\0b\r\n", 5);
  EXPECT_EQ(ConvertInPieces(FileEncoding::CodePage, 65001, file, {}), std::string("a\0b\n", 4));
  EXPECT_EQ(ConvertInPieces(FileEncoding::Utf16Le, 65001, Utf16LeBytes(std::u16string(u"x\0y", 3)), {1}),
            std::string("x\0y", 3));
}

}  // namespace
