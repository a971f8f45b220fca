// Commands sent one by one and as a sequence, on a real pty.

#include <chrono>

#include "hub/commands_fixture.h"
#include "hub/send_fixture.h"

namespace {

using namespace std::chrono_literals;

constexpr int kKeyF1 = 0x70;

class CommandsSendTest : public SendTest {
 protected:
  // Three commands, each ended its own way: CR; XOR8; the send box's LF.
  void AddThree() {
    AddCommand(W(), {u"one", u"A1", false, 2, 1});
    AddCommand(W(), {u"two", u"02 03", true, 1, 2});
    AddCommand(W(), {u"three", u"C3", false, 0, 0});
    W().PickComboItem(IDC_LINEEND, 2);  // the send box's LF
  }
  static std::vector<std::uint8_t> Round() { return Bytes({'A', '1', '\r', 0x02, 0x03, 0x01, 'C', '3', '\n'}); }
  bool Running() { return dlg->GetCommands().SequenceRunning(); }
  // Lets the written steps be reported, then moves the clock on.
  void Advance(std::chrono::milliseconds by) {
    ASSERT_TRUE(toolkit.PumpUntil([&] { return !dlg->GetSender().WritesPending(); }));
    toolkit.AdvanceClock(by);
  }
  void RunSequence(std::u16string_view delay, std::u16string_view repeat) {
    W().Replace(IDC_CMD_DELAY, delay);
    W().Replace(IDC_CMD_REPEAT, repeat);
    W().Click(IDC_CMD_RUN);
  }
};

TEST_F(CommandsSendTest, ThreeCommandsRepeatedThreeTimesWithoutDelayGoOutWholeAndInOrder) {
  StartOpen();
  AddThree();
  RunSequence(u"0", u"3");
  EXPECT_TRUE(Running());
  EXPECT_FALSE(W().IsEnabled(IDC_CMD_RUN));
  EXPECT_TRUE(W().IsEnabled(IDC_CMD_STOP));
  EXPECT_EQ(Text(IDC_CMD_STATUS), u"Step 1/3, round 1/3");
  for (int i = 0; i < 100 && Running(); ++i) Advance(10ms);
  EXPECT_FALSE(Running());
  const std::vector<std::uint8_t> round = Round();
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), round.begin(), round.end());
  EXPECT_EQ(pty.ReadExactly(expected.size()), expected);
  EXPECT_TRUE(pty.ReadUntilQuiet().empty());
  EXPECT_EQ(Text(IDC_CMD_STATUS), u"Finished");
  EXPECT_TRUE(W().IsEnabled(IDC_CMD_RUN));
  EXPECT_FALSE(W().IsEnabled(IDC_CMD_STOP));
  EXPECT_TRUE(PumpUntilText(IDC_TX_COUNT, u"TX:27")) << "TX counts every step, endings included";
}

TEST_F(CommandsSendTest, EachStepWaitsItsDelayOf50ms) {
  StartOpen();
  AddThree();
  RunSequence(u"50", u"3");
  EXPECT_EQ(pty.ReadExactly(3), Bytes("A1\r")) << "the first step goes at once";
  Advance(49ms);
  EXPECT_TRUE(pty.ReadUntilQuiet(50ms).empty()) << "one millisecond early";
  Advance(1ms);
  EXPECT_EQ(pty.ReadExactly(3), Bytes({0x02, 0x03, 0x01}));
  EXPECT_EQ(Text(IDC_CMD_STATUS), u"Step 2/3, round 1/3");
  for (int i = 0; i < 100 && Running(); ++i) Advance(50ms);
  const std::vector<std::uint8_t> round = Round();
  std::vector<std::uint8_t> rest = Bytes("C3\n");
  for (int i = 1; i < 3; ++i) rest.insert(rest.end(), round.begin(), round.end());
  EXPECT_EQ(pty.ReadExactly(rest.size()), rest);
  EXPECT_TRUE(pty.ReadUntilQuiet().empty());
  EXPECT_EQ(Setting(u"Delay"), u"<missing>") << "the sequence's boxes live in the commands file";
  EXPECT_EQ(ReadCommandsFile(CommandsFile(folder)).text.sequence.delayMs, 50);
}

TEST_F(CommandsSendTest, StopEscAndClosingThePortEndARunningSequenceAtOnce) {
  StartOpen();
  AddThree();
  RunSequence(u"50", u"0");  // until stopped
  Advance(50ms);
  EXPECT_EQ(pty.ReadExactly(6), Bytes({'A', '1', '\r', 0x02, 0x03, 0x01}));
  W().Click(IDC_CMD_STOP);
  EXPECT_FALSE(Running());
  Advance(1000ms);
  EXPECT_TRUE(pty.ReadUntilQuiet().empty());
  EXPECT_EQ(Text(IDC_CMD_STATUS), u"Stopped");

  W().Click(IDC_CMD_RUN);
  for (int i = 0; i < 5; ++i) Advance(50ms);
  EXPECT_EQ(Text(IDC_CMD_STATUS), u"Step 3/3, round 2") << "no end to count towards";
  W().PressKey(VK_ESCAPE);
  EXPECT_FALSE(Running());

  W().Click(IDC_CMD_RUN);
  ASSERT_TRUE(Running());
  W().Click(IDC_OPEN);  // Close
  EXPECT_FALSE(Running());
  pty.ReadUntilQuiet();
  W().Click(IDC_CMD_RUN);
  EXPECT_FALSE(Running());
  EXPECT_EQ(MessageTexts().back(), u"Open a port first: the commands go out through it.");
}

TEST_F(CommandsSendTest, AFailedWriteDuringASequenceSaysSendFailOnceAndEndsIt) {
  StartOpen();
  AddThree();
  RunSequence(u"50", u"0");
  // The port cannot be made to fail a write: the send thread's report of one stands in.
  Sender& sender = dlg->GetSender();
  sender.OnWritten(1, true, sender.CurrentConnection());
  sender.OnWritten(0, true, sender.CurrentConnection());
  EXPECT_FALSE(Running());
  EXPECT_FALSE(PortOpen());
  Advance(500ms);
  EXPECT_EQ(MessageTexts(), std::vector<std::u16string>{u"Send Fail"});
  EXPECT_EQ(Text(IDC_CMD_STATUS), u"Stopped");
}

TEST_F(CommandsSendTest, FunctionKeysEnterAndADoubleClickSendOneCommand) {
  StartOpen();
  AddThree();
  W().Focus(IDC_TX_EDIT);
  W().PressKey(kKeyF1 + 1);
  EXPECT_EQ(pty.ReadExactly(3), Bytes({0x02, 0x03, 0x01}));
  W().PressKey(kKeyF1);
  EXPECT_EQ(pty.ReadExactly(3), Bytes("A1\r"));
  KeyMessage f4{IDC_TX_EDIT, WM_KEYDOWN, kKeyF1 + 3, 0};
  EXPECT_FALSE(dlg->PreTranslateMessage(f4)) << "no fourth command: the key is left alone";
  W().PressKey(kKeyF1 + 2, false, /*alt=*/true);
  EXPECT_TRUE(pty.ReadUntilQuiet().empty()) << "Alt with a function key stays the system's";

  W().DoubleClickListItem(IDC_CMD_LIST, 2);
  EXPECT_EQ(pty.ReadExactly(3), Bytes("C3\n"));
  W().Focus(IDC_CMD_LIST);
  W().PickListItem(IDC_CMD_LIST, 0);
  W().PressKey(VK_RETURN);
  EXPECT_EQ(pty.ReadExactly(3), Bytes("A1\r"));
  W().Click(IDC_CMD_SEND);
  EXPECT_EQ(pty.ReadExactly(3), Bytes("A1\r"));
  EXPECT_EQ(ListItems(W())[0], u"F1  one");
}

}  // namespace
