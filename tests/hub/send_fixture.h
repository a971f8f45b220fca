#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <vector>

#include "res/resource.h"
#include "support/hub_fixture.h"
#include "support/pty_pair.h"

// The main dialog with its port open on a pseudo-terminal whose far end the test reads.
class SendTest : public HubTest {
 protected:
  void StartOpen(unsigned codePage = 1252) {
    Start(codePage);
    OpenOn(pty);
  }
  void OpenOn(testsupport::PtyPair& port) {
    W().Replace(IDC_PORT, port.PortName());
    W().Click(IDC_OPEN);
    ASSERT_TRUE(PortOpen()) << (toolkit.messageBoxes.empty() ? "" : text::ToUtf8(MessageTexts().front()));
  }
  void SetTxHex(bool on) {
    if ((W().GetCheck(IDC_TX_HEX) == BST_CHECKED) != on) W().Click(IDC_TX_HEX);
  }
  void SetIgnoreSpace(bool on) { W().SetCheck(IDC_TX_IGNORESPACE, on ? BST_CHECKED : BST_UNCHECKED); }
  void Send(std::u16string_view text) {
    W().Replace(IDC_TX_EDIT, text);
    W().Click(IDC_SEND);
  }
  // Sends a marker and reads it back: whatever was sent before it would arrive first.
  std::vector<std::uint8_t> ReadUpToMarker(std::size_t count) {
    const bool hex = W().GetCheck(IDC_TX_HEX) == BST_CHECKED;
    Send(hex ? u"7E" : u"~");
    auto bytes = pty.ReadExactly(count + 1);
    EXPECT_FALSE(bytes.empty());
    if (!bytes.empty()) {
      EXPECT_EQ(bytes.back(), 0x7E) << "no marker at the end";
      bytes.pop_back();
    }
    return bytes;
  }
  bool PumpUntilText(int id, std::u16string_view text) {
    return toolkit.PumpUntil([&] { return Text(id) == text; });
  }

  testsupport::PtyPair pty;
};

inline std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<std::uint8_t>(v));
  return bytes;
}
inline std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }
