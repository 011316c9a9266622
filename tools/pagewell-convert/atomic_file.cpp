#include "atomic_file.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace pagewell::convert {

void WriteFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  std::random_device random;
  const fs::path temporary = target.parent_path() / (target.filename().string() + ".part" + std::to_string(random() % 1000000));
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create the file");
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      throw std::runtime_error("cannot write the file");
    }
  }
  std::error_code error;
  fs::rename(temporary, target, error);
  if (error) {
    // Some platforms refuse to rename onto an existing file.
    std::error_code ignored;
    fs::remove(target, ignored);
    fs::rename(temporary, target, error);
  }
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    throw std::runtime_error("cannot write the file: " + error.message());
  }
}

}  // namespace pagewell::convert
