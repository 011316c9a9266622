#pragma once
// A scripted HTTP client and form for driving the upload procedure: each
// attempt of a request answers as its script says, and every call is
// written to one log so a test can check the exact sequence.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "upload/upload_transfer.h"

namespace pagewell::testing {

struct AttemptScript {
  bool beginSucceeds = true;
  // Bytes after which writes fail (the connection dropped); none: never.
  std::optional<std::uint64_t> failAfter;
  std::uint32_t status = 200;
};

struct ReplyScript {
  std::string body;
  std::uint32_t contentLength = 0;  // 0: none announced
  std::uint32_t chunk = 0xFFFFFFFF;  // most bytes one read gives
};

struct Log {
  std::vector<std::string> calls;
  std::vector<std::string> bodies;  // the bytes each attempt sent
  std::vector<HttpTarget> targets;
  std::uint32_t sessionTimeout = 0;
};

class FakeRequest final : public HttpRequestChannel {
 public:
  FakeRequest(Log& log, std::deque<AttemptScript> attempts, ReplyScript reply)
      : log_(log), attempts_(std::move(attempts)), reply_(std::move(reply)) {}
  ~FakeRequest() override { log_.calls.push_back("close request"); }

  void sendWithoutBody() override { log_.calls.push_back("send without body"); }
  bool beginBody(const std::string& header, std::uint64_t total) override {
    current_ = attempts_.empty() ? AttemptScript{} : attempts_.front();
    if (!attempts_.empty()) attempts_.pop_front();
    log_.calls.push_back("begin " + std::to_string(total));
    log_.bodies.emplace_back();
    sentThisAttempt_ = 0;
    return current_.beginSucceeds;
  }
  void setReceiveTimeout(std::uint32_t ms) override { log_.calls.push_back("timeout " + std::to_string(ms)); }
  bool writeBody(const std::uint8_t* bytes, std::uint32_t count, std::uint32_t& written) override {
    log_.calls.push_back("write " + std::to_string(count));
    written = count;
    if (current_.failAfter && sentThisAttempt_ + count > *current_.failAfter) {
      written = static_cast<std::uint32_t>(*current_.failAfter - sentThisAttempt_);
      current_.failAfter = sentThisAttempt_ + written;  // and nothing more after that
    }
    log_.bodies.back().append(reinterpret_cast<const char*>(bytes), written);
    sentThisAttempt_ += written;
    return written == count;
  }
  void endBody() override { log_.calls.push_back("end"); }
  std::uint32_t statusCode() override {
    log_.calls.push_back("status");
    return current_.status;
  }
  std::uint32_t contentLength() override { return reply_.contentLength; }
  void setCredentials(const std::string& user, const std::string& password) override {
    log_.calls.push_back("credentials " + user + ":" + password);
  }
  std::uint32_t readReply(std::uint8_t* into, std::uint32_t count) override {
    const std::size_t n = std::min<std::size_t>({count, reply_.chunk, reply_.body.size() - readPosition_});
    std::copy_n(reply_.body.begin() + static_cast<std::ptrdiff_t>(readPosition_), n, into);
    readPosition_ += n;
    log_.calls.push_back("read " + std::to_string(n));
    return static_cast<std::uint32_t>(n);
  }

 private:
  Log& log_;
  std::deque<AttemptScript> attempts_;
  ReplyScript reply_;
  AttemptScript current_;
  std::uint64_t sentThisAttempt_ = 0;
  std::size_t readPosition_ = 0;
};

class FakeSession final : public HttpSession {
 public:
  FakeSession(Log& log, bool requestOpens, std::deque<AttemptScript> attempts, ReplyScript reply)
      : log_(log), requestOpens_(requestOpens), attempts_(std::move(attempts)), reply_(std::move(reply)) {}
  ~FakeSession() override { log_.calls.push_back("close session"); }
  std::unique_ptr<HttpRequestChannel> openRequest(const HttpTarget& target) override {
    log_.calls.push_back("open request");
    log_.targets.push_back(target);
    if (!requestOpens_) return nullptr;
    return std::make_unique<FakeRequest>(log_, attempts_, reply_);
  }

 private:
  Log& log_;
  bool requestOpens_;
  std::deque<AttemptScript> attempts_;
  ReplyScript reply_;
};

class FakeClient final : public HttpClient {
 public:
  explicit FakeClient(Log& log) : log_(log) {}
  bool sessionOpens = true;
  bool requestOpens = true;
  std::deque<AttemptScript> attempts;
  ReplyScript reply;

  std::unique_ptr<HttpSession> openSession(std::uint32_t timeoutMs) override {
    log_.calls.push_back("open session");
    log_.sessionTimeout = timeoutMs;
    if (!sessionOpens) return nullptr;
    return std::make_unique<FakeSession>(log_, requestOpens, attempts, reply);
  }

 private:
  Log& log_;
};

class FakeUi final : public UploadUi {
 public:
  explicit FakeUi(Log& log) : log_(log) {}
  std::vector<int> percents;
  std::vector<std::wstring> labels;
  // The abort flag goes up during this call of processMessages (1-based),
  // as a click on Abort would; 0: never.
  int abortAtMessages = 0;
  std::deque<std::optional<UploadCredentials>> dialogAnswers;
  std::vector<std::string> dialogHosts;

  void showProgress(int percent, const std::wstring& label) override {
    percents.push_back(percent);
    labels.push_back(label);
  }
  void processMessages() override {
    if (++messageRounds_ == abortAtMessages) aborted_ = true;
  }
  bool abortRequested() override { return aborted_; }
  std::optional<UploadCredentials> askCredentials(const std::string& host) override {
    log_.calls.push_back("dialog " + host);
    dialogHosts.push_back(host);
    if (dialogAnswers.empty()) return std::nullopt;
    auto answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
  }

 private:
  Log& log_;
  bool aborted_ = false;
  int messageRounds_ = 0;
};

}  // namespace pagewell::testing
