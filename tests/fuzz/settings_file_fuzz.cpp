// Sorvane.ini as a user may have edited it: any bytes. The file is checked, every key is read
// and parsed as the window parses it, then the settings are saved back and one key is given
// a new value: what was read must read back, and no other key may change.
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/settings.h"
#include "fuzz/fuzz_input.h"
#include "platform/text.h"
#include "serial/line_settings.h"

namespace {
namespace fs = std::filesystem;

// Every key the program keeps, and one it does not know.
constexpr std::array<std::u16string_view, 10> kKeys = {u"COMPORT",  u"BaudRate", u"Parity", u"DataBits", u"StopBits",
                                                       u"Interval", u"Path",     u"Filter", u"_bCheck",  u"Later"};
constexpr std::u16string_view kMissing = u"\uFFFF(missing)";

// Files in memory where the system has such a folder: the backend syncs every write.
struct Folder {
  Folder() { fs::create_directories(path); }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  const fs::path path = (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                        ("tarvolm-fuzz-" + std::to_string(::getpid()));
};

const fs::path& SettingsPath() {
  static const Folder folder;
  static const fs::path path = folder.path / "Sorvane.ini";
  return path;
}

std::string FileBytes() {
  std::ifstream in(SettingsPath(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::array<std::u16string, kKeys.size()> AllKeys(const SettingsFile& file) {
  std::array<std::u16string, kKeys.size()> values;
  for (std::size_t i = 0; i < kKeys.size(); ++i) values[i] = file.LoadKey(kKeys[i], kMissing);
  return values;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const std::size_t changedKey = input.Byte() % kKeys.size();
  const std::u16string newValue = text::FromUtf8(input.Until(0xFF));
  const std::string bytes(input.Rest());
  std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc) << bytes;

  SettingsFile file(SettingsPath());
  const StoredSettings loaded = file.Load();
  const LineRequest line =
      RequestedLine({text::ParseInt(loaded.baudRate), loaded.parity, loaded.dataBits, loaded.stopBits});
  FUZZ_CHECK(line.complete == (line.missing == platform::CommSetting::None));
  text::ParseInt(loaded.interval);

  file.Save(loaded);
  if (file.Problem() != platform::ProfileProblem::None) {
    file.SaveKey(kKeys[changedKey], newValue);
    FUZZ_CHECK(FileBytes() == bytes);  // never written over
    return 0;
  }
  SettingsFile again(SettingsPath());
  const StoredSettings reloaded = again.Load();
  FUZZ_CHECK(again.Problem() == platform::ProfileProblem::None);
  FUZZ_CHECK(reloaded.port == loaded.port && reloaded.baudRate == loaded.baudRate && reloaded.parity == loaded.parity &&
             reloaded.dataBits == loaded.dataBits && reloaded.stopBits == loaded.stopBits &&
             reloaded.interval == loaded.interval && reloaded.folder == loaded.folder &&
             reloaded.filter == loaded.filter && reloaded.keepOnly == loaded.keepOnly);

  const auto before = AllKeys(again);
  const std::string saved = FileBytes();
  again.SaveKey(kKeys[changedKey], newValue);
  const auto after = AllKeys(again);
  if (newValue.find(u'\0') != std::u16string::npos) {
    FUZZ_CHECK(FileBytes() == saved);  // a value that cannot be stored changes nothing
    return 0;
  }
  for (std::size_t i = 0; i < kKeys.size(); ++i) FUZZ_CHECK(after[i] == (i == changedKey ? newValue : before[i]));
  return 0;
}
