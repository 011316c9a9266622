#pragma once
// Writes a whole file or nothing: the bytes go to a temporary file in the
// target's folder, which takes the target's name only once it is complete
// and closed. A failure at any point (no space left, the target read-only,
// a folder in the way) leaves the old file as it was and no temporary file
// behind.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "formats/byte_sink.h"

namespace pagewell {

class EFileWriteError : public std::runtime_error {
 public:
  explicit EFileWriteError(const std::string& message) : std::runtime_error(message) {}
};

// A file written front to back in pieces: the pieces go to the temporary
// file at once, and Commit gives it the target's name. Until Commit the old
// target stays as it was; a writer destroyed without Commit (an encoding
// that failed or stopped) removes its temporary file. Every failure raises
// EFileWriteError and removes the temporary file too.
class TAtomicFileWriter final : public TByteSink {
 public:
  // Checks the target and creates the temporary file beside it.
  explicit TAtomicFileWriter(const std::filesystem::path& target);
  ~TAtomicFileWriter() override;
  TAtomicFileWriter(const TAtomicFileWriter&) = delete;
  TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

  using TByteSink::Write;
  void Write(const std::uint8_t* bytes, std::size_t count) override;
  // Closes the temporary file and puts it in the target's place. Once only.
  void Commit();

  const std::filesystem::path& TemporaryPath() const { return temporary_; }

 private:
  // Closes and removes the temporary file, then raises.
  [[noreturn]] void Abandon(const std::string& what, int error);
  void Discard();

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

// The whole file in one piece. Raises EFileWriteError with a message that
// says what went wrong.
void WriteFileAtomically(const std::filesystem::path& target, const std::uint8_t* bytes, std::size_t count);

}  // namespace pagewell
