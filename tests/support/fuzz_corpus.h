#pragma once
// Replays a fuzz target's corpus in the ordinary tests: every file of
// fuzz/corpus/<target>/ goes through the target's own entry point, so the
// replay checks exactly what the fuzzing checked (a failed check aborts the
// test program, which fails the test).
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "support/external_tools.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace pagewell::testing {

// Answers the number of files replayed.
inline int ReplayFuzzCorpus(const std::string& target) {
  const std::filesystem::path corpus = std::filesystem::path(PAGEWELL_SOURCE_DIR) / "fuzz" / "corpus" / target;
  EXPECT_TRUE(std::filesystem::is_directory(corpus)) << corpus;
  if (!std::filesystem::is_directory(corpus)) return 0;
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
    if (!entry.is_regular_file()) continue;
    SCOPED_TRACE(entry.path().filename().string());
    const auto bytes = ReadFileBytes(entry.path().string());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    ++files;
  }
  return files;
}

}  // namespace pagewell::testing
