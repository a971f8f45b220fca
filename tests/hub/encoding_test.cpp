// The Encoding list: what the send box, files and Save as .txt write, and what the receive
// box shows, on a real pty.

#include <algorithm>

#include "hub/send_file_fixture.h"
#include "support/encoded_samples.h"
#include "support/file_bytes.h"

namespace {

class EncodingTest : public SendFileTest {};

TEST_F(EncodingTest, EachEncodingCarriesTextOfItsScriptBothWaysThroughThePort) {
  StartOpen(1252);
  for (const auto& sample : testsupport::EncodedSamples()) {
    SCOPED_TRACE(text::ToUtf8(sample.encoding));
    PickEncoding(sample.encoding);
    Send(sample.text);
    EXPECT_EQ(pty.ReadExactly(sample.bytes.size()), Bytes(sample.bytes));
    W().Click(IDC_RX_CLEAR);
    ASSERT_TRUE(pty.WriteAll(sample.bytes.data(), sample.bytes.size()));
    EXPECT_TRUE(toolkit.PumpUntil([&] { return Text(IDC_RX_EDIT) == sample.text; })) << text::ToUtf8(Text(IDC_RX_EDIT));
  }
  EXPECT_TRUE(toolkit.messageBoxes.empty());
  EXPECT_EQ(Setting(u"Encoding"), u"KOI8-R");
}

TEST_F(EncodingTest, FilesAndSavedTextUseTheChosenEncoding) {
  StartOpen(1252);
  PickEncoding(u"GB18030");
  // UTF-16LE 中ÿ CR LF, then the same text already in GB18030.
  for (const std::string& bytes : {std::string("\xFF\xFE\x2D\x4E\xFF\x00\r\x00\n\x00", 10),
                                   std::string("\xD6\xD0\x81\x30\x8B\x37\r\n")}) {
    Choose(MakeFile("file.txt", bytes));
    ASSERT_TRUE(PumpUntilFilesDone());
    EXPECT_EQ(pty.ReadExactly(7), Bytes("\xD6\xD0\x81\x30\x8B\x37\n"));
  }

  Receive("\xD6\xD0\x81\x30\x8B\x37");
  const auto file = folder.Path() / "saved.txt";
  SaveAs(file);
  EXPECT_EQ(testsupport::ReadFileBytes(file), "\xD6\xD0\x81\x30\x8B\x37\r\n");
  EXPECT_TRUE(toolkit.messageBoxes.empty());
}

TEST_F(EncodingTest, CharactersTheEncodingLacksGoAsQuestionMarksAndAreReportedOncePerSend) {
  StartOpen(1252);
  PickEncoding(u"Windows-1252");
  Send(u"a\u4E2Db\u6587\U0001F600");
  EXPECT_EQ(pty.ReadExactly(5), Bytes("a?b??"));
  ASSERT_EQ(MessageTexts(), std::vector<std::u16string>{
                                u"Windows-1252 cannot write every character: 3 went as \"?\", the first \u4E2D (U+4E2D)."});

  // Auto send says it once per run, not at every tick.
  W().Replace(IDC_TX_EDIT, u"\u00E9\u4E2D");
  W().Replace(IDC_TX_INTERVAL, u"10");
  W().Click(IDC_TX_AUTOSEND);
  for (int tick = 0; tick < 3; ++tick) toolkit.AdvanceClock(std::chrono::milliseconds(10));
  EXPECT_TRUE(toolkit.PumpUntil([&] { return dlg->GetSender().TxCount() >= 11; }));
  W().Click(IDC_TX_AUTOSEND);
  EXPECT_EQ(MessageTexts().size(), 2u);
  pty.ReadUntilQuiet();

  // A file: once, when it is done.
  Choose(MakeFile("wide.txt", std::string("\xFF\xFE\x2D\x4E\x41\x00", 6)));
  ASSERT_TRUE(PumpUntilFilesDone());
  EXPECT_EQ(pty.ReadExactly(2), Bytes("?A"));
  ASSERT_EQ(MessageTexts().size(), 3u);
  EXPECT_EQ(MessageTexts().back(),
            u"Windows-1252 cannot write every character: 1 went as \"?\", the first \u4E2D (U+4E2D).");
}

}  // namespace
