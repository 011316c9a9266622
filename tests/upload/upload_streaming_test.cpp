// The request body sent from a file read piece by piece: the same pieces of
// 4096 bytes, byte for byte, as the body built whole in memory, across the
// seams between the form variables, the file and the closing; the file
// read only as each piece goes out; a failed read ending the attempt as a
// dropped connection does.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "formats/format_code.h"
#include "upload/multipart_body.h"
#include "upload/upload_transfer.h"
#include "upload_fakes.h"

namespace pagewell {
namespace {

using Calls = std::vector<std::string>;
using testing::AttemptScript;

std::string noRegistry(const std::string&) { return {}; }

UploadRequestSettings settings() {
  UploadRequestSettings s;
  s.timeoutSeconds = 7;
  s.fileName = "scan.pdf";
  s.format = fcPDF;
  s.registeredContentType = noRegistry;
  return s;
}

// A file of `size` bytes that notes every read and fails those that reach
// past `readableUpTo`.
class ScriptedFile final : public TUploadData {
 public:
  explicit ScriptedFile(std::size_t size, std::uint64_t readableUpTo = UINT64_MAX) : readableUpTo_(readableUpTo) {
    for (std::size_t i = 0; i < size; ++i) bytes.push_back(static_cast<std::uint8_t>(i * 7 + 1));
  }
  std::uint64_t Size() const override { return bytes.size(); }
  bool ReadAt(std::uint64_t offset, std::uint8_t* into, std::size_t count) override {
    reads.emplace_back(offset, count);
    if (offset + count > readableUpTo_ || offset + count > bytes.size()) return false;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, into);
    return true;
  }
  std::vector<std::uint8_t> bytes;
  std::vector<std::pair<std::uint64_t, std::size_t>> reads;

 private:
  std::uint64_t readableUpTo_;
};

// The body the in-memory path builds, and the write calls its pieces make.
struct InMemoryBody {
  std::string bytes;
  Calls writes;
};
InMemoryBody inMemoryBody(const std::vector<std::uint8_t>& file, const std::vector<std::string>& vars) {
  TMemoryStream body;
  std::string header;
  BuildMultipartBody(body, TMemoryStream(file), header, vars, "scan.pdf", "Pagewell", fcPDF, noRegistry);
  InMemoryBody expected{std::string(body.Bytes().begin(), body.Bytes().end()), {}};
  for (std::size_t at = 0; at < expected.bytes.size(); at += kUploadPieceSize)
    expected.writes.push_back("write " + std::to_string(std::min<std::size_t>(kUploadPieceSize, expected.bytes.size() - at)));
  expected.writes.push_back("write 0");
  return expected;
}

// One request on a fake server.
struct UploadRun {
  testing::Log log;
  testing::FakeClient client{log};
  testing::FakeUi ui{log};
  UploadMemory memory;
  std::unique_ptr<HttpSession> session;
  std::unique_ptr<HttpRequestChannel> request;

  bool send(TUploadData& file, const std::vector<std::string>& vars) {
    session = client.openSession(1000);
    request = session->openRequest(HttpTarget{});
    log.calls.clear();
    return SendUploadRequest(*request, ui, memory, settings(), file, vars);
  }
};

std::size_t frameSize(std::size_t fileSize, const std::vector<std::string>& vars) {
  const TMultipartFrame frame = MakeMultipartFrame(fileSize, vars, "scan.pdf", "Pagewell", fcPDF, noRegistry);
  return frame.beforeFile.size() + frame.afterFile.size();
}

TEST(StreamedUploadBody, SamePiecesAsTheBodyBuiltInMemory) {
  const std::vector<std::string> fewVars{"a=1", "job=scan"};
  // Form variables that end 10 bytes into the second piece, so the seam
  // between them and the file heading falls inside a piece.
  const std::vector<std::string> longVars{"notes=" + std::string(4000, 'n'), "more=" + std::string(100, 'm')};
  const struct {
    const char* name;
    std::size_t fileSize;
    std::vector<std::string> vars;
  } cases[] = {
      {"empty file: no file part", 0, fewVars},
      {"file smaller than a piece", 100, fewVars},
      {"body ending exactly on a piece boundary", 2 * kUploadPieceSize - frameSize(1, fewVars), fewVars},
      {"file spanning three pieces", 3 * kUploadPieceSize + 5, fewVars},
      {"form variables spanning a seam", 9000, longVars},
      {"no form variables", 4097, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UploadRun run;
    ScriptedFile file(c.fileSize);
    EXPECT_TRUE(run.send(file, c.vars));
    const InMemoryBody expected = inMemoryBody(file.bytes, c.vars);
    Calls calls{"begin " + std::to_string(expected.bytes.size()), "timeout 7000"};
    calls.insert(calls.end(), expected.writes.begin(), expected.writes.end());
    calls.insert(calls.end(), {"end", "status", "read 0"});
    EXPECT_EQ(run.log.calls, calls);
    ASSERT_EQ(run.log.bodies.size(), 1u);
    EXPECT_TRUE(run.log.bodies[0] == expected.bytes) << "the bytes sent differ";
    // Read in order, never more than a piece at once, each byte once.
    std::uint64_t next = 0;
    for (const auto& [offset, count] : file.reads) {
      EXPECT_EQ(offset, next);
      EXPECT_LE(count, kUploadPieceSize);
      next = offset + count;
    }
    EXPECT_EQ(next, c.fileSize);
  }
}

// A file that cannot be read for the second piece ends the attempt exactly
// as a connection that drops at the second piece: request ended, status
// kept, the same progress, no success.
TEST(StreamedUploadBody, AFailedReadEndsTheAttemptAsAFailedWrite) {
  UploadRun dropped;
  dropped.client.attempts = {AttemptScript{true, kUploadPieceSize, 200}};
  ScriptedFile whole(10000);
  EXPECT_FALSE(dropped.send(whole, {"a=1"}));

  UploadRun unreadable;
  ScriptedFile failing(10000, 5000);
  EXPECT_FALSE(unreadable.send(failing, {"a=1"}));

  const std::string begin = "begin " + std::to_string(10000 + frameSize(10000, {"a=1"}));
  EXPECT_EQ(dropped.log.calls, (Calls{begin, "timeout 7000", "write 4096", "write 4096", "end", "status", "read 0"}));
  EXPECT_EQ(unreadable.log.calls, (Calls{begin, "timeout 7000", "write 4096", "end", "status", "read 0"}));
  EXPECT_EQ(unreadable.memory.status, 200);
  EXPECT_EQ(unreadable.memory.status, dropped.memory.status);
  EXPECT_EQ(unreadable.ui.percents, (std::vector<int>{39, 39}));
  EXPECT_EQ(unreadable.ui.percents, dropped.ui.percents);
  EXPECT_TRUE(unreadable.log.bodies == dropped.log.bodies);
}

// After a 401 the retry reads the file again from its start.
TEST(StreamedUploadBody, ARetryReadsTheFileAgain) {
  UploadRun run;
  run.memory.effective = {"user", "secret"};
  run.client.attempts = {AttemptScript{true, std::nullopt, 401}, AttemptScript{}};
  ScriptedFile file(6000);
  EXPECT_TRUE(run.send(file, {}));
  ASSERT_EQ(run.log.bodies.size(), 2u);
  EXPECT_TRUE(run.log.bodies[0] == run.log.bodies[1]);
  EXPECT_TRUE(run.log.bodies[1] == inMemoryBody(file.bytes, {}).bytes);
}

}  // namespace
}  // namespace pagewell
