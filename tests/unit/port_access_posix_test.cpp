#include "platform/port_access.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/text.h"
#include "support/as_nobody.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

gid_t UnnamedGroup() {
  gid_t gid = 4242;
  while (::getgrgid(gid) != nullptr) ++gid;
  return gid;
}

// Stand-ins for device nodes: the permission rules are the same for a plain file, and a test
// cannot make a serial device. Each is asked about from a process that is not root.
TEST(PortAccess, NamesTheGroupOnlyWhenJoiningItWouldLetThePortOpen) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to hand files to other groups and to become another user";
  const group* dialout = ::getgrnam("dialout");
  if (dialout == nullptr) GTEST_SKIP() << "this system has no dialout group";
  const gid_t serial = dialout->gr_gid;
  const passwd* nobody = ::getpwnam("nobody");
  const uid_t nobodyUid = nobody ? nobody->pw_uid : 65534;
  const gid_t unnamed = UnnamedGroup();

  testsupport::TempDir folder;
  fs::permissions(folder.Path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  struct Case {
    const char* what;
    uid_t owner;
    gid_t group;
    mode_t mode;
    std::vector<gid_t> memberOf;
    std::string expected;
  };
  const Case cases[] = {
      {"a dialout device, user not in dialout", 0, serial, 0660, {}, "dialout"},
      {"the same with the user in another group", 0, serial, 0660, {unnamed}, "dialout"},
      {"the user in dialout: it would open", 0, serial, 0660, {serial}, ""},
      {"open to everyone", 0, serial, 0666, {}, ""},
      {"the group may only read", 0, serial, 0640, {}, ""},
      {"root's alone: no group helps", 0, serial, 0600, {}, ""},
      {"the user owns it without rights: the owner's bits decide", nobodyUid, serial, 0060, {}, ""},
      {"a group without a name is given by its number", 0, unnamed, 0660, {}, std::to_string(unnamed)},
  };
  int index = 0;
  for (const Case& c : cases) {
    const fs::path device = folder.Path() / ("ttyFake" + std::to_string(index++));
    std::ofstream(device).put('x');
    ASSERT_EQ(::chown(device.c_str(), c.owner, c.group), 0);
    ASSERT_EQ(::chmod(device.c_str(), c.mode), 0);
    const std::u16string port = text::FromUtf8(device.string());
    const std::string failure = testsupport::RunAsNobody(c.memberOf, [&]() -> std::string {
      const std::string got = text::ToUtf8(platform::GroupToJoinFor(port));
      return got == c.expected ? "" : "got \"" + got + "\"";
    });
    EXPECT_EQ(failure, "") << c.what;
  }

  // A port that is not there, or in a folder the user cannot enter, names no group.
  const fs::path closed = folder.Path() / "closed";
  fs::create_directory(closed);
  const fs::path hidden = closed / "ttyFake";
  std::ofstream(hidden).put('x');
  ASSERT_EQ(::chown(hidden.c_str(), 0, serial), 0);
  ASSERT_EQ(::chmod(hidden.c_str(), 0660), 0);
  fs::permissions(closed, fs::perms::owner_all);
  for (const fs::path& path : {folder.Path() / "ttyMissing", hidden}) {
    const std::u16string port = text::FromUtf8(path.string());
    EXPECT_EQ(testsupport::RunAsNobody({}, [&]() -> std::string {
                return platform::GroupToJoinFor(port).empty() ? "" : "a group was named";
              }),
              "")
        << path;
  }
}

}  // namespace
