#include "upload/upload_transfer.h"

#include <gtest/gtest.h>

#include "formats/format_code.h"
#include "upload/multipart_body.h"
#include "upload_fakes.h"

namespace pagewell {
namespace {

using testing::AttemptScript;
using testing::FakeClient;
using testing::FakeUi;
using testing::Log;
using Calls = std::vector<std::string>;

std::string noRegistry(const std::string&) { return {}; }

UploadRequestSettings settingsFor(unsigned char authenticationType = 0) {
  UploadRequestSettings settings;
  settings.authenticationType = authenticationType;
  settings.timeoutSeconds = 7;
  settings.fileName = "scan.tif";
  settings.format = fcTIFF;
  settings.registeredContentType = noRegistry;
  return settings;
}

// An encoded file whose body comes to exactly `bodySize` bytes.
TMemoryStream fileForBodyOf(std::size_t bodySize, const std::vector<std::string>& vars = {}) {
  TMemoryStream body, one(std::vector<std::uint8_t>{'x'});
  std::string header;
  BuildMultipartBody(body, one, header, vars, "scan.tif", "Pagewell", fcTIFF, noRegistry);
  return TMemoryStream(std::vector<std::uint8_t>(bodySize - (body.Size() - 1), 'f'));
}

UrlParts urlOf(const std::string& scheme, const std::string& user = "", const std::string& password = "") {
  UrlParts url;
  url.scheme = scheme;
  url.host = "uploads.example";
  url.port = 8080;
  url.path = "/in/save.php";
  url.extraInfo = "?job=4";
  url.userName = user;
  url.password = password;
  return url;
}

// One request on a fake server, the way TransferUpload opens it.
struct UploadRun {
  Log log;
  FakeClient client{log};
  FakeUi ui{log};
  UploadMemory memory;
  UploadRequestSettings settings = settingsFor();
  std::vector<std::string> vars{"a=1"};
  TMemoryStream file = fileForBodyOf(10000, {"a=1"});

  std::unique_ptr<HttpSession> session;
  std::unique_ptr<HttpRequestChannel> request;

  bool send() {
    memory.host = "uploads.example";
    session = client.openSession(1000);
    request = session->openRequest(HttpTarget{});
    log.calls.clear();
    return SendUploadRequest(*request, ui, memory, settings, file, vars);
  }
  bool transfer(const std::optional<UrlParts>& url) {
    return TransferUpload(client, ui, memory, url, settings, file, vars);
  }
};

TEST(SendUploadRequest, SendsPiecesOf4096AndShowsTheirPercentages) {
  UploadRun run;
  run.client.reply = {"thanks", 6};
  EXPECT_TRUE(run.send());
  EXPECT_EQ(run.log.calls, (Calls{"begin 10000", "timeout 7000", "write 4096", "write 4096", "write 1808", "write 0",
                                  "end", "status", "read 6"}));
  EXPECT_EQ(run.ui.labels, (std::vector<std::wstring>{L"Uploading... 40%", L"Uploading... 81%",
                                                      L"Uploading... 100%", L"Uploading... 100%"}));
  EXPECT_EQ(run.ui.percents, (std::vector<int>{40, 81, 100, 100}));
  EXPECT_EQ(run.memory.status, 200);
  EXPECT_EQ(run.memory.returnString, "thanks");
  TMemoryStream expected;
  std::string header;
  BuildMultipartBody(expected, run.file, header, run.vars, "scan.tif", "Pagewell", fcTIFF, noRegistry);
  ASSERT_EQ(run.log.bodies.size(), 1u);
  EXPECT_EQ(run.log.bodies[0], std::string(expected.Bytes().begin(), expected.Bytes().end()));
}

TEST(SendUploadRequest, UsesThePagesUploadingText) {
  UploadRun run;
  run.settings.uploadingText = L"Sending";
  run.file = fileForBodyOf(400, run.vars);
  run.send();
  EXPECT_EQ(run.ui.labels.front(), L"Sending... 100%");
}

TEST(SendUploadRequest, StatusCasesAndCredentialRetry) {
  const UploadCredentials known{"ann", "pw"};
  const struct {
    const char* what;
    unsigned char authenticationType;
    std::optional<UploadCredentials> effective;
    std::vector<AttemptScript> attempts;
    std::vector<std::optional<UploadCredentials>> dialog;
    bool result;
    int status;
    Calls credentialCalls;  // the calls about credentials, in order
  } cases[] = {
      {"200 at once", 0, known, {{}}, {}, true, 200, {}},
      {"500 keeps its status", 0, known, {{true, {}, 500}}, {}, false, 500, {}},
      {"no status line", 0, known, {{true, {}, 0}}, {}, false, 0, {}},
      {"401 then 200 with known credentials", 0, known, {{true, {}, 401}, {}}, {}, true, 200,
       {"credentials ann:pw"}},
      {"401 twice ends the upload", 0, known, {{true, {}, 401}, {true, {}, 401}}, {}, false, 401,
       {"credentials ann:pw"}},
      {"401 without credentials asks once", 0, std::nullopt, {{true, {}, 401}, {true, {}, 401}},
       {UploadCredentials{"typed", "secret"}}, false, 401, {"dialog uploads.example", "credentials typed:secret"}},
      {"401 answered from the dialog", 0, UploadCredentials{"ann", ""}, {{true, {}, 401}, {}},
       {UploadCredentials{"typed", "secret"}}, true, 200, {"dialog uploads.example", "credentials typed:secret"}},
      {"401 and the dialog cancelled", 0, std::nullopt, {{true, {}, 401}}, {std::nullopt}, false, 401,
       {"dialog uploads.example"}},
      {"credentials up front: a bodiless request first", 1, known, {{}}, {}, true, 200,
       {"send without body"}},
  };
  for (const auto& c : cases) {
    UploadRun run;
    run.settings.authenticationType = c.authenticationType;
    run.memory.effective = c.effective.value_or(UploadCredentials{});
    run.client.attempts.assign(c.attempts.begin(), c.attempts.end());
    run.ui.dialogAnswers.assign(c.dialog.begin(), c.dialog.end());
    EXPECT_EQ(run.send(), c.result) << c.what;
    EXPECT_EQ(run.memory.status, c.status) << c.what;
    Calls credentialCalls;
    for (const auto& call : run.log.calls)
      if (call.rfind("credentials", 0) == 0 || call.rfind("dialog", 0) == 0 || call == "send without body")
        credentialCalls.push_back(call);
    EXPECT_EQ(credentialCalls, c.credentialCalls) << c.what;
    EXPECT_EQ(run.log.bodies.size(), c.attempts.size()) << c.what;
    for (const auto& body : run.log.bodies) EXPECT_EQ(body, run.log.bodies.front()) << c.what << ": same body again";
    if (c.authenticationType == 1) {
      EXPECT_EQ(run.log.calls.front(), "send without body") << c.what;
    }
  }
}

TEST(SendUploadRequest, TypedCredentialsAreRemembered) {
  UploadRun run;
  run.client.attempts = {{true, {}, 401}, {}};
  run.ui.dialogAnswers = {UploadCredentials{"typed", "secret"}};
  EXPECT_TRUE(run.send());
  EXPECT_EQ(run.memory.effective.user, "typed");
  EXPECT_EQ(run.memory.effective.password, "secret");
}

TEST(SendUploadRequest, FailuresWhileSending) {
  const struct {
    const char* what;
    AttemptScript attempt;
    Calls calls;
  } cases[] = {
      {"connection dropped after 5000 bytes: ended, status kept, not a success",
       {true, 5000, 200},
       {"begin 10000", "timeout 7000", "write 4096", "write 4096", "end", "status", "read 0"}},
      {"request could not be started: still ended and asked for its status",
       {false, {}, 0},
       {"begin 10000", "end", "status", "read 0"}},
  };
  for (const auto& c : cases) {
    UploadRun run;
    run.client.attempts = {c.attempt};
    EXPECT_FALSE(run.send()) << c.what;
    EXPECT_EQ(run.memory.status, static_cast<int>(c.attempt.status)) << c.what;
    EXPECT_EQ(run.log.calls, c.calls) << c.what;
  }
}

TEST(SendUploadRequest, AbortStopsAtOnceWithoutEndingTheRequest) {
  UploadRun run;
  run.client.reply = {"never read", 10};
  run.memory.status = 0;
  run.memory.returnString = "from the last upload";
  run.ui.abortAtMessages = 2;
  EXPECT_FALSE(run.send());
  EXPECT_EQ(run.log.calls, (Calls{"begin 10000", "timeout 7000", "write 4096", "write 4096"}));
  EXPECT_EQ(run.memory.returnString, "");
  EXPECT_EQ(run.memory.status, 0);
}

TEST(ReadUploadReply, LimitsLoopsAndZeroBytes) {
  const std::string big(60000, 'r');
  const struct {
    const char* what;
    testing::ReplyScript reply;
    std::string expected;
  } cases[] = {
      {"announced length", {"hello", 5}, "hello"},
      {"announced 60000: the first 51200", {big, 60000}, big.substr(0, 51200)},
      {"no length: the first 2000", {big, 0}, big.substr(0, 2000)},
      {"arriving in pieces: read until the limit", {big, 60000, 1000}, big.substr(0, 51200)},
      {"shorter than announced: read until the end", {"short", 100, 2}, "short"},
      {"cut at the first zero byte", {std::string("ab\0cd", 5), 5}, "ab"},
      {"starts with a zero byte", {std::string("\0abc", 4), 4}, ""},
      {"empty", {"", 0}, ""},
  };
  for (const auto& c : cases) {
    UploadRun run;
    run.client.reply = c.reply;
    run.send();
    EXPECT_EQ(run.memory.returnString, c.expected) << c.what;
  }
}

TEST(ReadUploadReply, ReadOnEveryStatus) {
  UploadRun run;
  run.client.attempts = {{true, {}, 500}};
  run.client.reply = {"<h1>Internal error</h1>", 23};
  EXPECT_FALSE(run.send());
  EXPECT_EQ(run.memory.returnString, "<h1>Internal error</h1>");
}

TEST(TransferUpload, CredentialsFromTheUrlThenThePropertiesThenKept) {
  const struct {
    const char* what;
    int previousStatus;
    UploadCredentials previous;
    std::string urlUser, urlPassword, username, password;
    UploadCredentials expected;
  } cases[] = {
      {"URL wins", 0, {}, "u", "p", "prop", "propw", {"u", "p"}},
      {"properties when the URL has none", 0, {}, "", "", "prop", "propw", {"prop", "propw"}},
      {"user from URL, password from property", 0, {}, "u", "", "prop", "propw", {"u", "propw"}},
      {"user name replaced even by empty; password kept when none given", 401, {"old", "oldpw"}, "", "", "", "",
       {"", "oldpw"}},
      {"after a 200 nothing is replaced", 200, {"typed", "secret"}, "u", "p", "prop", "propw", {"typed", "secret"}},
  };
  for (const auto& c : cases) {
    UploadRun run;
    run.memory.status = c.previousStatus;
    run.memory.effective = c.previous;
    run.settings.username = c.username;
    run.settings.password = c.password;
    run.transfer(urlOf("http", c.urlUser, c.urlPassword));
    EXPECT_EQ(run.memory.effective.user, c.expected.user) << c.what;
    EXPECT_EQ(run.memory.effective.password, c.expected.password) << c.what;
    ASSERT_EQ(run.log.targets.size(), 1u) << c.what;
    EXPECT_EQ(run.log.targets[0].user, c.expected.user) << c.what;
    EXPECT_EQ(run.log.targets[0].password, c.expected.password) << c.what;
  }
}

TEST(TransferUpload, OpensTheRequestTheUrlNames) {
  for (const char* scheme : {"http", "https"}) {
    UploadRun run;
    EXPECT_TRUE(run.transfer(urlOf(scheme)));
    ASSERT_EQ(run.log.targets.size(), 1u);
    const HttpTarget& target = run.log.targets[0];
    EXPECT_EQ(target.host, "uploads.example");
    EXPECT_EQ(target.port, 8080);
    EXPECT_EQ(target.secure, std::string(scheme) == "https");
    EXPECT_EQ(target.pathAndQuery, "/in/save.php?job=4");
    EXPECT_EQ(run.log.sessionTimeout, 7000u);
    EXPECT_EQ(run.log.calls.back(), "close session") << "request closed first, then the session";
    EXPECT_EQ(run.log.calls[run.log.calls.size() - 2], "close request");
  }
}

TEST(TransferUpload, NoRequestMadeGivesStatusZero) {
  const struct {
    const char* what;
    std::optional<UrlParts> url;
    bool sessionOpens, requestOpens;
    bool requestAsked;
  } cases[] = {
      {"URL did not split", std::nullopt, true, true, false},
      {"ftp", urlOf("ftp"), true, true, false},
      {"scheme compared exactly", urlOf("HTTP"), true, true, false},
      {"empty scheme", urlOf(""), true, true, false},
      {"no internet session", urlOf("http"), false, true, false},
      {"connection or request would not open", urlOf("http"), true, false, true},
  };
  for (const auto& c : cases) {
    UploadRun run;
    run.memory.status = 200;
    run.memory.returnString = "kept";
    run.client.sessionOpens = c.sessionOpens;
    run.client.requestOpens = c.requestOpens;
    EXPECT_FALSE(run.transfer(c.url)) << c.what;
    EXPECT_EQ(run.memory.status, 0) << c.what;
    EXPECT_EQ(run.log.targets.size(), c.requestAsked ? 1u : 0u) << c.what;
    EXPECT_TRUE(run.log.bodies.empty()) << c.what;
  }
}

TEST(TransferUpload, CredentialsAskedBeforeTheRequest) {
  const struct {
    const char* what;
    unsigned char authenticationType;
    std::string username, password;
    std::optional<UploadCredentials> answer;
    bool dialogShown, requestOpened;
  } cases[] = {
      {"known credentials: no dialog", 1, "ann", "pw", std::nullopt, false, true},
      {"password missing: dialog, OK", 1, "ann", "", UploadCredentials{"typed", "secret"}, true, true},
      {"dialog cancelled: no request", 1, "", "", std::nullopt, true, false},
      {"no credentials wanted up front", 0, "", "", std::nullopt, false, true},
  };
  for (const auto& c : cases) {
    UploadRun run;
    run.settings.authenticationType = c.authenticationType;
    run.settings.username = c.username;
    run.settings.password = c.password;
    if (c.answer) run.ui.dialogAnswers = {c.answer};
    run.transfer(urlOf("http"));
    EXPECT_EQ(run.ui.dialogHosts.size(), c.dialogShown ? 1u : 0u) << c.what;
    if (c.dialogShown) {
      EXPECT_EQ(run.ui.dialogHosts[0], "uploads.example") << c.what;
    }
    EXPECT_EQ(run.log.targets.size(), c.requestOpened ? 1u : 0u) << c.what;
    if (c.answer) {
      EXPECT_EQ(run.log.targets.at(0).user, "typed") << c.what;
    }
    if (!c.requestOpened) {
      EXPECT_EQ(run.memory.status, 0) << c.what;
    }
  }
}

TEST(TransferUpload, AbortSeenAfterTheRequestGivesStatusOne) {
  const struct {
    const char* what;
    int abortAtMessages;
    bool result;
  } cases[] = {
      {"while sending", 1, false},
      // The whole body went out and the server said 200; the click came
      // in while the form caught up.
      {"after the request", 4, true},
  };
  for (const auto& c : cases) {
    UploadRun run;
    run.file = fileForBodyOf(5000, run.vars);
    run.ui.abortAtMessages = c.abortAtMessages;
    EXPECT_EQ(run.transfer(urlOf("http")), c.result) << c.what;
    EXPECT_EQ(run.memory.status, 1) << c.what;
  }
}

TEST(TransferUpload, ReceiveTimeoutInMillisecondsWithinFourBytes) {
  const struct {
    int seconds;
    std::uint32_t ms;
  } cases[] = {{60, 60000}, {0, 1000} /* 0 would be no limit at all */, {4294967, 4294967000u},
               {2147483647, 0xFFFFFFFFu}};
  for (const auto& c : cases) {
    UploadRun run;
    run.settings.timeoutSeconds = c.seconds;
    run.transfer(urlOf("http"));
    EXPECT_EQ(run.log.sessionTimeout, c.ms) << c.seconds;
  }
}

}  // namespace
}  // namespace pagewell
