// Writes the Windows resource script of the program: make_rc OUT.rc ICON_PATH MANIFEST_PATH.
// Runs on the build machine during a Windows build.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "res/resource_script.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_rc OUT.rc ICON_PATH MANIFEST_PATH\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::string script = ResourceScript(argv[2], argv[3]);

  // Written beside and renamed, so a failed run never leaves a half script that looks up to date.
  std::filesystem::path partial = out;
  partial += ".partial";
  {
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file.write(script.data(), static_cast<std::streamsize>(script.size()));
    file.close();
    if (!file) {
      std::fprintf(stderr, "make_rc: cannot write %s\n", partial.string().c_str());
      std::error_code ignored;
      std::filesystem::remove(partial, ignored);
      return 1;
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, out, error);
  if (error) {
    std::fprintf(stderr, "make_rc: cannot replace %s: %s\n", out.string().c_str(), error.message().c_str());
    std::filesystem::remove(partial, error);
    return 1;
  }
  return 0;
}
