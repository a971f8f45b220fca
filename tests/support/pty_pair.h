#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A real pseudo-terminal pair standing in for a serial device. The test keeps the master end
// and plays the far side of the line; the code under test opens SlavePath() (or PortName())
// as it would open a serial port. The slave is never opened here, so the code under test is
// its only opener. Data written to the master arrives at the slave and the other way round,
// with the kernel's flow control: a writer blocks while the other side does not read.
class PtyPair {
 public:
  static constexpr std::chrono::milliseconds kDefaultTimeout{10000};

  PtyPair();  // throws std::runtime_error when no pair can be made
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  int MasterFd() const { return m_master; }  // non-blocking; -1 after CloseMaster
  const std::string& SlavePath() const { return m_slavePath; }  // e.g. /dev/pts/3
  std::u16string PortName() const;  // the slave path as a port name

  // Hangs the slave up, as unplugging a USB adapter does.
  void CloseMaster();

  // Writes every byte to the master; false when they could not all go within the timeout.
  bool WriteAll(const void* data, std::size_t count, std::chrono::milliseconds timeout = kDefaultTimeout);
  bool WriteAll(const std::vector<std::uint8_t>& bytes, std::chrono::milliseconds timeout = kDefaultTimeout) {
    return WriteAll(bytes.data(), bytes.size(), timeout);
  }
  // Reads from the master until `count` bytes have come or the timeout passed; returns what came.
  std::vector<std::uint8_t> ReadExactly(std::size_t count, std::chrono::milliseconds timeout = kDefaultTimeout);
  // Reads what arrives until nothing more has come for `quiet`.
  std::vector<std::uint8_t> ReadUntilQuiet(std::chrono::milliseconds quiet = std::chrono::milliseconds(100));

 private:
  int m_master = -1;
  std::string m_slavePath;
};

}  // namespace testsupport
