#pragma once
// Temporary folders, files, and running the real decoders and peer tools
// (djpeg, ImageMagick, exiftool, qpdf, poppler, pngcheck, giflib) that check
// our files. The tools exist only on the Linux build machines: tests that
// need them skip themselves in the Windows builds.
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

struct TCommandResult {
  int exitCode = -1;
  std::string output;  // stdout and stderr together
};

inline TCommandResult RunCommand(const std::string& command) {
  TCommandResult result;
#ifndef _WIN32
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#else
  (void)command;
#endif
  return result;
}

// True when the program can be run here (never in the Windows builds).
inline bool HaveTool(const std::string& name) {
#ifdef _WIN32
  (void)name;
  return false;
#else
  return RunCommand("command -v " + name + " >/dev/null").exitCode == 0;
#endif
}

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TTempDir {
 public:
  TTempDir() {
    const auto base = std::filesystem::temp_directory_path();
    std::random_device random;
    for (;;) {
      path_ = base / ("pagewell-test-" + std::to_string(random()));
      if (std::filesystem::create_directory(path_)) break;
    }
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

inline void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace pagewell::testing
