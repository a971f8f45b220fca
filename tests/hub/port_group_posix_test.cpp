#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "res/resource.h"
#include "support/as_nobody.h"
#include "support/hub_fixture.h"

namespace {

using PortGroupTest = HubTest;

// The port is a plain file standing in for a device node of the dialout group (a test cannot
// make a serial device); the window runs as a user outside that group.
TEST_F(PortGroupTest, AFailedOpenNamesTheGroupToJoinAndTheCommandOnceInEveryLanguage) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to hand the port to dialout and to become another user";
  const group* dialout = ::getgrnam("dialout");
  if (dialout == nullptr) GTEST_SKIP() << "this system has no dialout group";
  ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);  // the settings file is written there
  const std::string device = (folder.Path() / "ttyFake0").string();
  std::ofstream(device).put('x');
  ASSERT_EQ(::chown(device.c_str(), 0, dialout->gr_gid), 0);
  ASSERT_EQ(::chmod(device.c_str(), 0660), 0);
  const std::u16string port = text::FromUtf8(device);

  struct Case {
    unsigned codePage;
    const char16_t* join;    // a piece of the advice in the window's language
  };
  for (const Case c : {Case{1252, u"Only members of the group dialout may open it"},
                       Case{936, u"只有用户组 dialout 的成员"}, Case{950, u"只有群組 dialout 的成員"}}) {
    const std::string failure = testsupport::RunAsNobody({}, [&]() -> std::string {
      Start(c.codePage);
      W().Replace(IDC_PORT, port);
      W().Click(IDC_OPEN);
      W().Click(IDC_OPEN);
      const auto texts = MessageTexts();
      if (texts.size() != 2) return "messages: " + std::to_string(texts.size());
      const std::u16string plain = texts[1];
      const std::u16string first = texts[0];
      std::string wrong;
      if (!first.starts_with(plain + u"\n\n")) wrong += "the advice does not follow the usual message; ";
      if (first.find(c.join) == std::u16string::npos) wrong += "not in the window's language; ";
      if (first.find(u"sudo usermod -aG dialout $USER") == std::u16string::npos) wrong += "no command; ";
      if (plain != u"Open " + port + u" error") wrong += "the usual message changed; ";
      if (PortOpen()) wrong += "the port opened; ";
      return wrong.empty() ? "" : wrong + text::ToUtf8(first);
    });
    EXPECT_EQ(failure, "") << c.codePage;
  }
}

}  // namespace
