#pragma once

#include <atomic>
#include <cstdint>
#include <fstream>
#include <string>

#include "platform/text_encoding.h"
#include "send/file_text_converter.h"

// One text file on its way to the port. The UI thread opens it and checks its byte order
// mark; from then on only the send thread reads it. The cancel request, the progress and the
// outcome are shared between the two.
struct FileSendJob {
  enum class Check { Ready, Empty, CannotOpen, ReadFailed, UnsupportedEncoding };
  enum class Outcome { Pending, Finished, Cancelled, ReadFailed, WriteFailed };

  // Opens `path` (a regular file only: a pipe or a device could block the window) and reads
  // its first two bytes: EF BB (UTF-8 mark) and FE FF (UTF-16 big-endian mark) are not
  // supported, FF FE is UTF-16 little-endian, anything else is in the code page.
  Check Open(const std::u16string& path);

  std::u16string path;
  std::ifstream file;
  std::string head;  // the bytes the check read, the mark included
  FileEncoding encoding = FileEncoding::CodePage;
  platform::TextEncoding textEncoding{};  // the window's, when the file was chosen
  unsigned codePage = 0;                  // what it stood for then
  std::uint64_t size = 0;  // when it was opened
  std::uint64_t id = 0;    // given by the send thread when queued

  std::atomic<bool> cancelled{false};
  std::atomic<std::uint64_t> consumed{0};  // bytes of the file read and sent on
  std::atomic<Outcome> outcome{Outcome::Pending};
  // Written by the send thread before the outcome.
  platform::WideEncoder::Replaced replaced;
};
