#pragma once
// Running the peer tools (djpeg, ImageMagick, exiftool, qpdf, poppler) that
// check our files as real decoders do. They exist only on the Linux build
// machines: tests that use them skip themselves in the win32 build.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace pagewell::testing {

struct TToolResult {
  int ExitCode = -1;
  std::string Output;  // standard output and standard error
};

#ifndef _WIN32
inline TToolResult RunTool(const std::string& command) {
  TToolResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.Output.append(buffer, n);
  const int status = pclose(pipe);
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

inline bool HaveTool(const std::string& name) { return RunTool("command -v " + name).ExitCode == 0; }
#endif

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TTempDir {
 public:
  TTempDir() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() / ("pagewell-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace pagewell::testing
