#include "platform/port_identity.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/text.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::IdentityOfPort;
using platform::ResolvePortIdentity;
using testsupport::PtyPair;

std::u16string U(const fs::path& path) { return text::FromUtf8(path.string()); }

// A folder standing for /dev/serial/by-id, with links to pseudo-terminals for adapters.
class PortIdentityTest : public ::testing::Test {
 protected:
  fs::path ById() const { return folder.Path() / "by-id"; }
  fs::path Link(const std::string& name, const PtyPair& target) const {
    fs::create_directories(folder.Path() / "by-id");
    const fs::path link = (name.find('/') == std::string::npos ? ById() : folder.Path()) / name;
    fs::remove(link);
    fs::create_symlink(target.SlavePath(), link);
    return link;
  }

  testsupport::TempDir folder;
};

TEST_F(PortIdentityTest, ADeviceIsKnownByItsByIdLinkWhereThereIsOne) {
  PtyPair adapter, other;
  Link("usb-Other_Cable_B2-if00-port0", other);
  const fs::path byId = Link("usb-FTDI_FT232R_A10-if00-port0", adapter);
  EXPECT_EQ(IdentityOfPort(adapter.PortName(), ById().string()), U(byId));
  // As a name below /dev, the way the port list shows ports.
  EXPECT_EQ(IdentityOfPort(adapter.PortName().substr(5), ById().string()), U(byId));
  // Typed as the link itself.
  EXPECT_EQ(IdentityOfPort(U(byId), ById().string()), U(byId));

  PtyPair onBoard;
  EXPECT_EQ(IdentityOfPort(onBoard.PortName(), ById().string()), onBoard.PortName()) << "no link: the path";
  EXPECT_EQ(IdentityOfPort(onBoard.PortName(), "/nonexistent/by-id"), onBoard.PortName());
  EXPECT_EQ(IdentityOfPort(u"ttyNoSuchPort7", ById().string()), u"/dev/ttyNoSuchPort7");
}

// The reconnect case: the link the user typed is followed afresh, so a device that comes back
// elsewhere is found behind the same link.
TEST_F(PortIdentityTest, ATypedLinkIsTheIdentityAndIsFollowedEachTime) {
  auto first = std::make_unique<PtyPair>();
  const fs::path typed = Link("my-board", *first);
  Link("usb-Arduino_Uno_7573-if00", *first);
  const std::u16string identity = IdentityOfPort(U(typed), ById().string());
  EXPECT_EQ(identity, U(typed)) << "the user's own name wins over the by-id link";
  EXPECT_EQ(ResolvePortIdentity(identity), first->PortName());

  PtyPair second;  // made first, so it cannot take the number the first one frees
  const std::string firstNode = first->SlavePath();
  first.reset();  // unplugged: the device node goes
  // Another program's new pty may take the freed number at once (tests run side by side);
  // the link leads nowhere exactly while the node is absent.
  const bool taken = fs::exists(firstNode);
  EXPECT_EQ(ResolvePortIdentity(identity).has_value(), taken);
  Link("my-board", second);
  EXPECT_EQ(ResolvePortIdentity(identity), second.PortName());
}

TEST_F(PortIdentityTest, OnlyACharacterDeviceIsPresent) {
  std::ofstream(folder.Path() / "plain-file") << "x";
  fs::create_symlink(folder.Path() / "plain-file", folder.Path() / "link-to-file");
  fs::create_symlink(folder.Path() / "missing", folder.Path() / "dangling");
  for (const fs::path& path : {folder.Path() / "plain-file", folder.Path() / "link-to-file",
                               folder.Path() / "dangling", folder.Path()}) {
    EXPECT_EQ(ResolvePortIdentity(U(path)), std::nullopt) << path;
  }
  EXPECT_EQ(ResolvePortIdentity(u""), std::nullopt);
  EXPECT_EQ(ResolvePortIdentity(std::u16string(u"/dev/null\0x", 11)), std::nullopt);
}

}  // namespace
