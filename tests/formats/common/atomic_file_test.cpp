// Whole files or nothing: every failure keeps the old file and leaves no
// temporary file behind.
#include "formats/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/external_tools.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace pagewell {
namespace {
namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void Write(const std::string& path, const std::string& text) {
  const auto bytes = Bytes(text);
  WriteFileAtomically(path, bytes.data(), bytes.size());
}

TEST(AtomicFileTest, WritesANewFileAndReplacesAnOldOne) {
  testing::TTempDir dir;
  const std::string target = dir.File("scan.pdf");
  Write(target, "first version, longer");
  EXPECT_EQ(testing::ReadFileBytes(target), Bytes("first version, longer"));
  Write(target, "second");
  EXPECT_EQ(testing::ReadFileBytes(target), Bytes("second"));
  Write(dir.File("empty.pdf"), "");
  EXPECT_TRUE(testing::ReadFileBytes(dir.File("empty.pdf")).empty());
  EXPECT_EQ(Names(fs::path(target).parent_path()), (std::vector<std::string>{"empty.pdf", "scan.pdf"}));
}

TEST(AtomicFileTest, RefusalsKeepTheOldFileAndLeaveNothingBehind) {
  testing::TTempDir dir;
  const fs::path folder = fs::path(dir.File("x")).parent_path();
  testing::WriteFileBytes(dir.File("locked.tif"), Bytes("old"));
  fs::permissions(dir.File("locked.tif"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  fs::create_directory(dir.File("folder.tif"));

  const struct {
    const char* name;
    std::string target;
    const char* message;
  } cases[] = {
      {"read-only file", dir.File("locked.tif"), "the file is read-only"},
      {"folder of that name", dir.File("folder.tif"), "a folder has that name"},
      {"missing folder", dir.File("missing/scan.tif"), "Cannot create the file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      Write(c.target, "new");
      ADD_FAILURE() << "no error";
    } catch (const EFileWriteError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(testing::ReadFileBytes(dir.File("locked.tif")), Bytes("old"));
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"folder.tif", "locked.tif"}));
}

// Written in pieces, the file appears only on Commit; a writer dropped
// without Commit (a stopped or failed encoding) leaves the old file and no
// temporary file.
TEST(AtomicFileTest, PiecesReachTheTargetOnlyOnCommit) {
  testing::TTempDir dir;
  const std::string target = dir.File("scan.pdf");
  const fs::path folder = fs::path(target).parent_path();
  testing::WriteFileBytes(target, Bytes("old"));
  {
    TAtomicFileWriter file(target);
    file.Write(std::string("first "));
    file.Write(std::string("second"));
    EXPECT_EQ(testing::ReadFileBytes(target), Bytes("old"));
    EXPECT_EQ(Names(folder).size(), 2u) << "the temporary file beside the target";
  }
  EXPECT_EQ(testing::ReadFileBytes(target), Bytes("old"));
  EXPECT_EQ(Names(folder), std::vector<std::string>{"scan.pdf"});

  TAtomicFileWriter file(target);
  file.Write(std::string("first "));
  file.Write(std::string("second"));
  file.Commit();
  EXPECT_EQ(testing::ReadFileBytes(target), Bytes("first second"));
  EXPECT_EQ(Names(folder), std::vector<std::string>{"scan.pdf"});
  EXPECT_THROW(file.Write(std::string("late")), EFileWriteError);
}

#ifndef _WIN32
// A disk that fills while the file is written: the file-size limit makes
// the write fail part way, as a full disk does.
TEST(AtomicFileTest, AWriteThatFailsPartWayKeepsTheOldFile) {
  testing::TTempDir dir;
  const std::string target = dir.File("scan.tif");
  testing::WriteFileBytes(target, Bytes("old"));
  const std::vector<std::uint8_t> large(1 << 20, 0x55);

  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string message;
  try {
    WriteFileAtomically(target, large.data(), large.size());
  } catch (const EFileWriteError& e) {
    message = e.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedSignal);

  EXPECT_EQ(message, "Cannot write the file: the file is too large for the disk");
  EXPECT_EQ(testing::ReadFileBytes(target), Bytes("old"));
  EXPECT_EQ(Names(fs::path(target).parent_path()), std::vector<std::string>{"scan.tif"});
}
#endif

}  // namespace
}  // namespace pagewell
